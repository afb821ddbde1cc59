#pragma once
// Small sound files made by the tests themselves: RIFF WAVE tones and Standard MIDI Files, byte by byte.

#include "host/win32.h"

#include <cstddef>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

/// A chunk: four-character tag, 32-bit size (little-endian for RIFF, big-endian for MIDI), body.
Bytes riffChunk(const char* tag, const Bytes& body);
Bytes midiChunk(const char* tag, const Bytes& body);

/// The 16 bytes of a fmt chunk's body for the layout given.
Bytes waveFormat(WORD formatTag, WORD channels, DWORD samplesPerSecond, WORD bitsPerSample);
/// A RIFF WAVE file of the chunks given, in order.
Bytes riffWave(const std::vector<Bytes>& chunks);
/// A 16-bit mono 8 kHz wave: a square tone at a quarter of full scale lasting the frames given.
Bytes toneWave(std::size_t frames);

/// A format-0 MIDI file with one track of the events given (each with its delta time), then end of track.
Bytes midiFile(const Bytes& events);
/// Piano notes in a row, each ticks long at 96 ticks per quarter note and 120 beats a minute.
Bytes melodyMidi(int notes, int ticks = 48);

/// Writes the bytes to the file, replacing it.
void writeFile(const std::string& name, const Bytes& bytes);
