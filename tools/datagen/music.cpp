// The game track, "Quillom Drift": a driving synth piece in A minor.
//
// Form (bars): intro 1-8 (pad, arpeggio, drums and bass; the backbeat joins in bar 5), A 9-24 (the hook twice, full
// band), B 25-32 (a breakdown over D minor to E major that builds back up), A' 33-48 (the hook with the lead doubled an
// octave down). Bar 48 ends on G with a tom fill that falls into bar 1, so the loop has no seam. Standard MIDI File
// layout after the MIDI 1.0 standard's "Standard MIDI Files 1.0" (format 1).

#include "tools/datagen/music.h"

#include "tools/datagen/random.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

namespace datagen
{

namespace
{

constexpr int TICKS_PER_QUARTER = 480;
constexpr int SIXTEENTH = TICKS_PER_QUARTER / 4;
constexpr int BAR = 16 * SIXTEENTH;
constexpr int BAR_COUNT = 48;

// General MIDI drum keys (channel 10).
constexpr int KICK = 36;
constexpr int SNARE = 38;
constexpr int CLAP = 39;
constexpr int CLOSED_HAT = 42;
constexpr int OPEN_HAT = 46;
constexpr int CRASH = 49;
constexpr int RIDE = 51;
constexpr int LOW_TOM = 45;
constexpr int MID_TOM = 47;
constexpr int HIGH_TOM = 50;

/// A chord: the bass's root (MIDI key in octave 2) and the pad's three voices, voiced to move by small steps.
struct Chord
{
    int root;
    std::array<int, 3> voices;
};

const Chord A_MINOR{45, {57, 60, 64}};
const Chord F_MAJOR{41, {57, 60, 65}};
const Chord C_MAJOR{48, {55, 60, 64}};
const Chord G_MAJOR{43, {55, 59, 62}};
const Chord D_MINOR{38, {57, 62, 65}};
const Chord E_MAJOR{40, {56, 59, 64}};

const Chord& chordOfBar(int bar) // bar from 0
{
    static const Chord* const VERSE[] = {&A_MINOR, &F_MAJOR, &C_MAJOR, &G_MAJOR};
    static const Chord* const BRIDGE[] = {&D_MINOR, &A_MINOR, &F_MAJOR, &E_MAJOR};
    return (bar >= 24 && bar < 32) ? *BRIDGE[bar % 4] : *VERSE[bar % 4];
}

/// A melody note within a bar: key, start and length in sixteenths.
using Step = std::tuple<int, int, int>;
using Phrase = std::vector<std::vector<Step>>; // one list of steps per bar

const Phrase HOOK = {
    {{69, 0, 2}, {72, 2, 2}, {76, 4, 6}, {74, 10, 2}, {72, 12, 4}},
    {{72, 0, 6}, {69, 6, 2}, {72, 8, 2}, {74, 10, 2}, {72, 12, 4}},
    {{67, 0, 2}, {72, 2, 2}, {76, 4, 6}, {79, 10, 2}, {76, 12, 4}},
    {{74, 0, 8}, {71, 8, 4}, {74, 12, 4}},
    {{69, 0, 2}, {72, 2, 2}, {76, 4, 6}, {74, 10, 2}, {76, 12, 4}},
    {{77, 0, 6}, {76, 6, 2}, {72, 8, 4}, {69, 12, 4}},
    {{79, 0, 4}, {76, 4, 2}, {72, 6, 2}, {76, 8, 4}, {74, 12, 4}},
    {{74, 0, 6}, {72, 6, 2}, {71, 8, 8}},
};

// The hook's second half when it answers itself: it climbs instead of settling.
const Phrase HOOK_ANSWER = {
    {{76, 0, 2}, {81, 2, 6}, {79, 8, 2}, {76, 10, 2}, {74, 12, 4}},
    {{72, 0, 4}, {77, 4, 4}, {76, 8, 2}, {74, 10, 2}, {72, 12, 4}},
    {{76, 0, 2}, {79, 2, 4}, {81, 6, 2}, {79, 8, 4}, {76, 12, 4}},
    {{74, 0, 4}, {71, 4, 4}, {74, 8, 2}, {76, 10, 2}, {79, 12, 4}},
};

const Phrase BRIDGE_MELODY = {
    {{77, 0, 8}, {76, 8, 4}, {74, 12, 4}}, {{76, 0, 12}, {72, 12, 4}},
    {{81, 0, 8}, {79, 8, 4}, {77, 12, 4}}, {{80, 0, 8}, {76, 8, 8}},
    {{74, 0, 4}, {77, 4, 4}, {81, 8, 8}},  {{79, 0, 4}, {76, 4, 4}, {72, 8, 8}},
    {{77, 0, 4}, {81, 4, 4}, {84, 8, 8}},  {{83, 0, 8}, {80, 8, 4}, {76, 12, 4}},
};

void add(MidiTrack& track, int bar, int sixteenth, int lengthSixteenths, int key, int velocity)
{
    track.notes.push_back(
        {bar * BAR + sixteenth * SIXTEENTH, lengthSixteenths * SIXTEENTH, key, std::clamp(velocity, 1, 127)});
}

/// Plays the phrase's bars from `firstBar` on, `transpose` semitones away, slightly shortened (legato, but
/// each note is heard).
void play(MidiTrack& track, const Phrase& phrase, int firstBar, int transpose, int velocity)
{
    for (std::size_t i = 0; i < phrase.size(); ++i)
        for (const auto& [key, start, length] : phrase[i])
        {
            const int accent = start % 4 == 0 ? 8 : 0;
            track.notes.push_back({(firstBar + static_cast<int>(i)) * BAR + start * SIXTEENTH, length * SIXTEENTH - 20,
                                   key + transpose, velocity + accent});
        }
}

MidiTrack drums()
{
    MidiTrack track{"Drums", 9, 0, 70, 64, 30, {}};
    Random random(126);
    const auto hat = [&](int bar, int sixteenth, int base)
    { add(track, bar, sixteenth, 1, CLOSED_HAT, base + (sixteenth % 2 == 0 ? 12 : 0) + random.integer(-5, 5)); };
    for (int bar = 0; bar < BAR_COUNT; ++bar)
    {
        const bool intro = bar < 8;
        const bool breakdown = bar >= 24 && bar < 28;
        const bool build = bar >= 28 && bar < 32;
        const bool lastOfPhrase = bar % 8 == 7;
        if (bar == 0 || bar == 8 || bar == 32 || bar == 40)
            add(track, bar, 0, 8, CRASH, 100);
        if (bar == 24 || bar == 28)
            add(track, bar, 0, 8, CRASH, 80);

        // Kick: four on the floor except in the breakdown.
        if (!breakdown)
            for (int beat = 0; beat < 4; ++beat)
                add(track, bar, beat * 4, 2, KICK, beat == 0 ? 112 : 100);

        // Backbeat: clap from bar 5, snare with it from the A section on.
        if (bar >= 4 && !breakdown)
            for (int beat : {1, 3})
            {
                add(track, bar, beat * 4, 2, CLAP, 88);
                if (!intro)
                    add(track, bar, beat * 4, 2, SNARE, 96);
            }
        if (breakdown)
        {
            for (int beat = 0; beat < 4; ++beat)
                add(track, bar, beat * 4, 4, RIDE, beat % 2 == 0 ? 80 : 64);
            add(track, bar, 12, 2, SNARE, 60);
        }

        // Hats: sixteenths, accented on the eighths; an open hat on the last off-beat of each pair of bars.
        if (!breakdown)
            for (int s = 0; s < 16; ++s)
                if (!(bar % 2 == 1 && s == 14))
                    hat(bar, s, intro ? 40 : 46);
        if (bar % 2 == 1 && !breakdown)
            add(track, bar, 14, 2, OPEN_HAT, 70);

        // Fills into the next section.
        if (bar == 31)
            for (int s = 0; s < 16; ++s) // a snare roll that swells
                add(track, bar, s, 1, SNARE, 50 + s * 4);
        else if (build)
            for (int s = 8; s < 16; s += 2)
                add(track, bar, s, 1, SNARE, 48 + s * 2);
        else if (bar == BAR_COUNT - 1)
        {
            const int toms[] = {HIGH_TOM, HIGH_TOM, MID_TOM, MID_TOM, LOW_TOM, LOW_TOM, LOW_TOM, SNARE};
            for (int s = 8; s < 16; ++s)
                add(track, bar, s, 1, toms[s - 8], 80 + (s - 8) * 5);
        }
        else if (lastOfPhrase && !intro)
            for (int s = 12; s < 16; ++s)
                add(track, bar, s, 1, SNARE, 70 + (s - 12) * 10);
    }
    // Where a fill lands on a backbeat, strike the drum once, at the louder velocity.
    std::stable_sort(track.notes.begin(), track.notes.end(),
                     [](const MidiNote& a, const MidiNote& b)
                     { return std::tie(a.tick, a.key, b.velocity) < std::tie(b.tick, b.key, a.velocity); });
    track.notes.erase(std::unique(track.notes.begin(), track.notes.end(),
                                  [](const MidiNote& a, const MidiNote& b)
                                  { return a.tick == b.tick && a.key == b.key; }),
                      track.notes.end());
    return track;
}

MidiTrack bass()
{
    MidiTrack track{"Bass", 0, 38, 66, 64, 10, {}};
    for (int bar = 0; bar < BAR_COUNT; ++bar)
    {
        const int root = chordOfBar(bar).root;
        const int nextRoot = chordOfBar((bar + 1) % BAR_COUNT).root;
        if (bar < 4 || (bar >= 24 && bar < 28)) // the opening and the breakdown: a dotted figure with room
        {
            add(track, bar, 0, 5, root, 96);
            add(track, bar, 6, 2, root + 12, 80);
            add(track, bar, 8, 3, root + 7, 88);
            add(track, bar, 12, 3, root, 84);
        }
        else // driving eighths with an octave jump, walking into the next root
        {
            const int pattern[] = {0, 0, 12, 0, 0, 12, 0, 0};
            for (int e = 0; e < 8; ++e)
            {
                int key = root + pattern[e];
                if (e == 7 && nextRoot != root)
                    key = nextRoot + (nextRoot > root ? -2 : 2);
                add(track, bar, e * 2, 2, key, (e % 2 == 0 ? 104 : 84));
            }
        }
    }
    // Every note lets go a little early, so repeated keys re-strike cleanly.
    for (MidiNote& note : track.notes)
        note.length -= 12;
    return track;
}

MidiTrack pad()
{
    MidiTrack track{"Pad", 1, 89, 54, 44, 90, {}};
    for (int bar = 0; bar < BAR_COUNT; ++bar)
    {
        const bool loud = bar >= 8 && !(bar >= 24 && bar < 28);
        for (int voice : chordOfBar(bar).voices)
            track.notes.push_back({bar * BAR, BAR - 10, voice, loud ? 72 : 64});
    }
    return track;
}

MidiTrack arpeggio()
{
    MidiTrack track{"Arpeggio", 2, 80, 42, 84, 70, {}};
    // Up and down through the chord over two octaves, in sixteenths.
    const int order[] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int bar = 0; bar < BAR_COUNT; ++bar)
    {
        if (bar >= 24 && bar < 28)
            continue; // the breakdown leaves space for the lead
        const auto& v = chordOfBar(bar).voices;
        const int tones[] = {v[0] + 12, v[1] + 12, v[2] + 12, v[0] + 24, v[1] + 24};
        for (int s = 0; s < 16; ++s)
            add(track, bar, s, 1, tones[order[s % 8]], (s % 4 == 0 ? 76 : 58) + (bar < 8 ? -4 : 0));
    }
    for (MidiNote& note : track.notes)
        note.length -= 30; // a plucked, detached line
    return track;
}

MidiTrack lead()
{
    MidiTrack track{"Lead", 3, 81, 62, 64, 60, {}};
    play(track, HOOK, 8, 0, 96);
    play(track, Phrase(HOOK.begin(), HOOK.begin() + 4), 16, 0, 98);
    play(track, HOOK_ANSWER, 20, 0, 100);
    play(track, BRIDGE_MELODY, 24, 0, 92);
    play(track, HOOK, 32, 0, 100);
    play(track, Phrase(HOOK.begin(), HOOK.begin() + 4), 40, 0, 102);
    play(track, HOOK_ANSWER, 44, 0, 104);
    return track;
}

MidiTrack leadDouble()
{
    // The last section's hook, an octave down on a warmer voice, for weight.
    MidiTrack track{"Lead double", 4, 62, 45, 40, 60, {}};
    play(track, HOOK, 32, -12, 84);
    play(track, Phrase(HOOK.begin(), HOOK.begin() + 4), 40, -12, 86);
    play(track, HOOK_ANSWER, 44, -12, 88);
    return track;
}

void putVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t bytes[5];
    int count = 0;
    do
    {
        bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value > 0);
    while (count > 0)
    {
        --count;
        out.push_back(static_cast<std::uint8_t>(bytes[count] | (count > 0 ? 0x80 : 0)));
    }
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int size)
{
    for (int i = size - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

/// One track chunk from timed events: each a tick and its bytes, stable-sorted by tick.
struct TimedEvent
{
    int tick;
    int order; // at equal ticks: 0 set-up, 1 note off, 2 note on, 3 end of track
    std::vector<std::uint8_t> bytes;
};

void putTrack(std::vector<std::uint8_t>& file, std::vector<TimedEvent> events)
{
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b)
                     { return std::tie(a.tick, a.order) < std::tie(b.tick, b.order); });
    std::vector<std::uint8_t> data;
    int tick = 0;
    for (const TimedEvent& event : events)
    {
        putVariableLength(data, static_cast<std::uint32_t>(event.tick - tick));
        tick = event.tick;
        data.insert(data.end(), event.bytes.begin(), event.bytes.end());
    }
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, static_cast<std::uint32_t>(data.size()), 4);
    file.insert(file.end(), data.begin(), data.end());
}

TimedEvent text(int type, const std::string& value)
{
    TimedEvent event{0, 0, {0xFF, static_cast<std::uint8_t>(type)}};
    putVariableLength(event.bytes, static_cast<std::uint32_t>(value.size()));
    event.bytes.insert(event.bytes.end(), value.begin(), value.end());
    return event;
}

} // namespace

MidiSong composeGameTrack()
{
    return {"Quillom Drift",
            TICKS_PER_QUARTER,
            126,
            BAR_COUNT * BAR,
            {drums(), bass(), pad(), arpeggio(), lead(), leadDouble()}};
}

std::vector<std::uint8_t> standardMidiFile(const MidiSong& song)
{
    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    putBigEndian(file, 1, 2); // format 1: simultaneous tracks
    putBigEndian(file, static_cast<std::uint32_t>(song.tracks.size() + 1), 2);
    putBigEndian(file, static_cast<std::uint32_t>(song.ticksPerQuarter), 2);
    const TimedEvent end{song.lengthTicks, 3, {0xFF, 0x2F, 0x00}};

    const std::uint32_t microsecondsPerQuarter = 60000000u / static_cast<std::uint32_t>(song.beatsPerMinute);
    TimedEvent tempo{0, 0, {0xFF, 0x51, 0x03}};
    putBigEndian(tempo.bytes, microsecondsPerQuarter, 3);
    const TimedEvent meter{0, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}}; // 4/4, a click per quarter
    putTrack(file, {text(0x03, song.title), tempo, meter, end});

    for (const MidiTrack& track : song.tracks)
    {
        const auto channel = static_cast<std::uint8_t>(track.channel);
        const auto control = [&](int number, int value) -> TimedEvent
        {
            return {0,
                    0,
                    {static_cast<std::uint8_t>(0xB0 | channel), static_cast<std::uint8_t>(number),
                     static_cast<std::uint8_t>(value)}};
        };
        std::vector<TimedEvent> events = {
            text(0x03, track.name),
            {0, 0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(track.program)}},
            control(7, track.volume),
            control(10, track.pan),
            control(91, track.reverb),
            end};
        for (const MidiNote& note : track.notes)
        {
            // Nothing may sound past the loop point.
            const int off = std::min(note.tick + note.length, song.lengthTicks);
            const auto key = static_cast<std::uint8_t>(note.key);
            events.push_back(
                {note.tick,
                 2,
                 {static_cast<std::uint8_t>(0x90 | channel), key, static_cast<std::uint8_t>(note.velocity)}});
            events.push_back({off, 1, {static_cast<std::uint8_t>(0x80 | channel), key, 0x40}});
        }
        putTrack(file, std::move(events));
    }
    return file;
}

} // namespace datagen
