#pragma once
// The sound files of the DirectMusic stand-in, inside the host layer: reading a file and checking its content
// whole before any of it reaches the mixer, so that a broken file is one result code and never half an object.
//   RIFF WAVE: 8, 16, 24 or 32-bit integer PCM or 32-bit float, 1 to 8 channels, 1 to 192 kHz, at most
//              MAX_WAVE_SECONDS long; the chunks must lie inside the file, fmt and data exactly once each.
//   Standard MIDI File: format 0 or 1 with ticks per quarter note; every event of every track must be whole
//              and each track must end with its end-of-track event.

#include "host/win32.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

/// Files larger than this are not read (bytes).
constexpr std::size_t MAX_SOUND_FILE_BYTES = 64u << 20;
/// Samples longer than this are not played: it bounds the memory the mixer's conversion takes (seconds).
constexpr DWORD MAX_WAVE_SECONDS = 600;

enum class DMSoundKind
{
    WAVE, // a sample
    MIDI, // music
};

/// The PCM layout of a wave: WAVE_FORMAT_PCM (1) or WAVE_FORMAT_IEEE_FLOAT (3).
struct DMWaveFormat
{
    WORD formatTag;
    WORD channels;
    DWORD samplesPerSecond;
    WORD bitsPerSample;
};

/// A checked sound file: for a wave its format and whole frames of sound data, for MIDI the file's bytes.
struct DMSoundFile
{
    DMSoundKind kind;
    DMWaveFormat format;
    std::vector<BYTE> bytes;
};

/// Reads the file at the UTF-8 path into bytes: S_OK, DMUS_E_LOADER_FILENOTFOUND when nothing has that name,
/// DMUS_E_LOADER_FAILEDOPEN when it cannot be opened or is no regular file (a FIFO, a device or a folder, refused
/// without waiting on it), DMUS_E_UNSUPPORTED_STREAM when it is larger than MAX_SOUND_FILE_BYTES.
HRESULT readSoundFile(const std::string& path, std::vector<BYTE>& bytes);

/// Checks the content and fills file: S_OK, DMUS_E_LOADER_FORMATNOTSUPPORTED when it is neither RIFF WAVE nor
/// Standard MIDI, DMUS_E_INVALIDFILE when it is malformed, DMUS_E_UNSUPPORTED_STREAM when it is well formed but
/// of a kind the mixer does not play.
HRESULT parseSoundFile(std::span<const BYTE> content, DMSoundFile& file);

/// A canonical RIFF WAVE file of the wave (one fmt chunk of 16 bytes, one data chunk), for the mixer's reader.
std::vector<BYTE> canonicalWaveFile(const DMSoundFile& wave);
