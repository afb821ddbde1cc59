#include "tools/datagen/music.h"

#include "tests/tools/datafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace
{

struct Note
{
    int track;
    int channel;
    int key;
    std::uint32_t on;
    std::uint32_t off;
};

struct Smf
{
    int format = -1;
    int trackCount = 0;
    int division = 0;
    std::uint32_t microsecondsPerQuarter = 500000;
    std::vector<std::uint32_t> trackEnds; // tick of each track's end-of-track event
    std::vector<Note> notes;
    int unmatchedNoteOffs = 0;
    int notesLeftSounding = 0;
};

/// A reader of Standard MIDI Files independent of the writer: running status, meta and system exclusive
/// events, a note-on of velocity 0 as a note-off.
Smf parseSmf(const std::vector<std::uint8_t>& bytes)
{
    Smf smf;
    std::size_t at = 0;
    const auto big = [&](int size)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | bytes.at(at++);
        return value;
    };
    const auto variable = [&]
    {
        std::uint32_t value = 0;
        std::uint8_t byte = 0;
        do
        {
            byte = bytes.at(at++);
            value = value << 7 | (byte & 0x7F);
        } while (byte & 0x80);
        return value;
    };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
    at = 4;
    EXPECT_EQ(big(4), 6u);
    smf.format = static_cast<int>(big(2));
    smf.trackCount = static_cast<int>(big(2));
    smf.division = static_cast<int>(big(2));
    for (int track = 0; track < smf.trackCount; ++track)
    {
        EXPECT_EQ(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                              bytes.begin() + static_cast<std::ptrdiff_t>(at + 4)),
                  "MTrk");
        at += 4;
        const std::uint32_t length = big(4);
        const std::size_t end = at + length;
        std::uint32_t tick = 0;
        std::uint8_t status = 0;
        std::map<std::pair<int, int>, std::vector<std::uint32_t>> sounding;
        bool ended = false;
        while (at < end && !ended)
        {
            tick += variable();
            if (bytes.at(at) & 0x80)
                status = bytes.at(at++);
            if (status == 0xFF)
            {
                const std::uint8_t type = bytes.at(at++);
                const std::uint32_t length = variable();
                if (type == 0x51)
                    smf.microsecondsPerQuarter = (bytes.at(at) << 16) | (bytes.at(at + 1) << 8) | bytes.at(at + 2);
                if (type == 0x2F)
                {
                    ended = true;
                    smf.trackEnds.push_back(tick);
                }
                at += length;
                continue;
            }
            if (status == 0xF0 || status == 0xF7)
            {
                at += variable();
                continue;
            }
            const int kind = status & 0xF0;
            const int channel = status & 0x0F;
            const std::uint8_t first = bytes.at(at++);
            const std::uint8_t second = (kind == 0xC0 || kind == 0xD0) ? 0 : bytes.at(at++);
            const auto key = std::make_pair(channel, static_cast<int>(first));
            if (kind == 0x90 && second > 0)
                sounding[key].push_back(tick);
            else if (kind == 0x80 || kind == 0x90)
            {
                auto& starts = sounding[key];
                if (starts.empty())
                    ++smf.unmatchedNoteOffs;
                else
                {
                    smf.notes.push_back({track, channel, first, starts.front(), tick});
                    starts.erase(starts.begin());
                }
            }
        }
        EXPECT_TRUE(ended) << "track " << track;
        EXPECT_EQ(at, end) << "track " << track;
        at = end;
        for (const auto& [key, starts] : sounding)
            smf.notesLeftSounding += static_cast<int>(starts.size());
    }
    return smf;
}

class GameTrack : public ::testing::Test
{
protected:
    void SetUp() override { mSmf = parseSmf(readBytes(dataPath("gametrack.mid"))); }
    Smf mSmf;
};

TEST_F(GameTrack, IsAFormatOneFileWithNotesForDrumsAndSeveralInstruments)
{
    EXPECT_EQ(mSmf.format, 1);
    EXPECT_GE(mSmf.trackCount, 5);
    EXPECT_GT(mSmf.division, 0);
    std::map<int, int> notesByChannel;
    for (const Note& note : mSmf.notes)
        ++notesByChannel[note.channel];
    EXPECT_GT(notesByChannel[9], 100); // General MIDI drums on channel 10
    EXPECT_GE(notesByChannel.size(), 5u);
    for (const auto& [channel, count] : notesByChannel)
        EXPECT_GT(count, 20) << "channel " << channel + 1;
}

TEST_F(GameTrack, LastsOneToTwoMinutesAndEveryTrackEndsAtTheLoopPoint)
{
    ASSERT_EQ(static_cast<int>(mSmf.trackEnds.size()), mSmf.trackCount);
    const std::uint32_t loop = mSmf.trackEnds.front();
    for (std::uint32_t end : mSmf.trackEnds)
        EXPECT_EQ(end, loop);
    const double seconds = static_cast<double>(loop) / mSmf.division * mSmf.microsecondsPerQuarter / 1e6;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 120.0);
    EXPECT_EQ(loop % (4u * static_cast<std::uint32_t>(mSmf.division)), 0u) << "the loop point falls on a bar line";
}

TEST_F(GameTrack, EveryNoteEndsByTheLoopPointSoTheLoopHasNoSeam)
{
    EXPECT_EQ(mSmf.unmatchedNoteOffs, 0);
    EXPECT_EQ(mSmf.notesLeftSounding, 0);
    const std::uint32_t loop = mSmf.trackEnds.front();
    std::set<std::tuple<int, int, std::uint32_t>> starts;
    for (const Note& note : mSmf.notes)
    {
        EXPECT_LE(note.off, loop);
        EXPECT_GT(note.off, note.on);
        // The same key struck twice at once on one channel would cut itself off.
        EXPECT_TRUE(starts.insert({note.channel, note.key, note.on}).second)
            << "channel " << note.channel + 1 << " key " << note.key << " at " << note.on;
    }
    // The music runs to the end: something is struck in the last bar and at the very start.
    const auto struckAt = [&](std::uint32_t from, std::uint32_t to) {
        return std::any_of(mSmf.notes.begin(), mSmf.notes.end(),
                           [&](const Note& n) { return n.on >= from && n.on < to; });
    };
    EXPECT_TRUE(struckAt(0, 1));
    EXPECT_TRUE(struckAt(loop - static_cast<std::uint32_t>(mSmf.division), loop));
}

TEST(MidiWriter, LongDeltaTimesUseVariableLengthQuantities)
{
    // One note 200000 ticks in: its delta needs three bytes (0x8C 0x9A 0x40).
    datagen::MidiSong song{"t", 96, 120, 200010, {{"n", 0, 0, 100, 64, 0, {{200000, 10, 60, 90}}}}};
    const std::vector<std::uint8_t> bytes = datagen::standardMidiFile(song);
    const std::vector<std::uint8_t> delta{0x8C, 0x9A, 0x40, 0x90, 60, 90};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), delta.begin(), delta.end()), bytes.end());
    const Smf smf = parseSmf(bytes);
    ASSERT_EQ(smf.notes.size(), 1u);
    EXPECT_EQ(smf.notes[0].on, 200000u);
    EXPECT_EQ(smf.notes[0].off, 200010u);
    EXPECT_EQ(smf.microsecondsPerQuarter, 500000u);
}

} // namespace
