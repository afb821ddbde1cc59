#pragma once
// The game's music: an original General MIDI piece, composed in code and written as a Standard MIDI File.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen
{

/// One note: when it starts and how long it lasts, in ticks; MIDI key number and velocity (1 to 127).
struct MidiNote
{
    int tick;
    int length;
    int key;
    int velocity;
};

/// One instrument's track: its MIDI channel (0-based; 9 is General MIDI's drum channel), its program
/// (0-based General MIDI number), mixer settings (0 to 127) and its notes.
struct MidiTrack
{
    std::string name;
    int channel;
    int program;
    int volume;
    int pan;
    int reverb;
    std::vector<MidiNote> notes;
};

/// A whole piece: tempo and length, and its tracks.
struct MidiSong
{
    std::string title;
    int ticksPerQuarter;
    int beatsPerMinute;
    int lengthTicks; // the end of every track: the loop point
    std::vector<MidiTrack> tracks;
};

/// "gametrack.mid": 48 bars in A minor at 126 beats per minute (about 91 s) for drums, bass, pad, arpeggio and
/// lead. The last bar leads back into the first and no note sounds past the end, so the piece loops seamlessly.
MidiSong composeGameTrack();

/// The song as a format 1 Standard MIDI File: a first track with the title, tempo and time signature, then one
/// track per instrument, each starting with its program and mixer settings and ending at the song's length.
std::vector<std::uint8_t> standardMidiFile(const MidiSong& song);

} // namespace datagen
