#include "host/dmusicfile.h"

#include "host/dmusic.h"
#include "tests/host/soundfiles.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

Bytes concat(std::vector<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
    {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

Bytes stereo16(std::size_t frames)
{
    return Bytes(frames * 4, 0x11);
}

struct WaveCase
{
    const char* name;
    Bytes content;
    DMWaveFormat format;
    std::size_t dataBytes;
};

TEST(DMSoundFileTest, WellFormedWavesKeepTheirFormatAndWholeFrames)
{
    const Bytes fmt16 = riffChunk("fmt ", waveFormat(1, 2, 22050, 16));
    const WaveCase cases[] = {
        {"8-bit mono",
         riffWave({riffChunk("fmt ", waveFormat(1, 1, 8000, 8)), riffChunk("data", Bytes(5, 0x80))}),
         {1, 1, 8000, 8},
         5},
        {"16-bit stereo", riffWave({fmt16, riffChunk("data", stereo16(3))}), {1, 2, 22050, 16}, 12},
        {"24-bit",
         riffWave({riffChunk("fmt ", waveFormat(1, 1, 48000, 24)), riffChunk("data", Bytes(6, 1))}),
         {1, 1, 48000, 24},
         6},
        {"32-bit float",
         riffWave({riffChunk("fmt ", waveFormat(3, 2, 44100, 32)), riffChunk("data", Bytes(16, 0))}),
         {3, 2, 44100, 32},
         16},
        {"data before fmt, other chunks between",
         riffWave({riffChunk("data", stereo16(2)), riffChunk("LIST", Bytes(3, 'x')), fmt16}),
         {1, 2, 22050, 16},
         8},
        {"a longer fmt chunk",
         riffWave({riffChunk("fmt ", concat({waveFormat(1, 2, 22050, 16), {0, 0}})), riffChunk("data", stereo16(1))}),
         {1, 2, 22050, 16},
         4},
        {"a partial last frame is dropped", riffWave({fmt16, riffChunk("data", Bytes(10, 0))}), {1, 2, 22050, 16}, 8},
        {"bytes after the RIFF chunk",
         concat({riffWave({fmt16, riffChunk("data", stereo16(1))}), {1, 2, 3}}),
         {1, 2, 22050, 16},
         4},
    };
    for (const WaveCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        DMSoundFile file;
        ASSERT_EQ(parseSoundFile(c.content, file), S_OK);
        EXPECT_EQ(file.kind, DMSoundKind::WAVE);
        EXPECT_EQ(file.format.formatTag, c.format.formatTag);
        EXPECT_EQ(file.format.channels, c.format.channels);
        EXPECT_EQ(file.format.samplesPerSecond, c.format.samplesPerSecond);
        EXPECT_EQ(file.format.bitsPerSample, c.format.bitsPerSample);
        EXPECT_EQ(file.bytes.size(), c.dataBytes);
    }
}

TEST(DMSoundFileTest, AWaveWhosePadByteIsMissingAtTheEndIsAccepted)
{
    Bytes wave = riffWave({riffChunk("fmt ", waveFormat(1, 1, 8000, 8)), riffChunk("data", Bytes(3, 0x80))});
    wave.pop_back(); // the pad byte after the odd data chunk
    wave[4] -= 1;    // and the RIFF size that counted it
    DMSoundFile file;
    ASSERT_EQ(parseSoundFile(wave, file), S_OK);
    EXPECT_EQ(file.bytes, Bytes(3, 0x80));
}

TEST(DMSoundFileTest, TheCanonicalWaveReadsBackAsTheSameSound)
{
    const Bytes wave = riffWave({riffChunk("LIST", Bytes(7, 'x')), riffChunk("fmt ", waveFormat(1, 2, 11025, 16)),
                                 riffChunk("data", Bytes{1, 2, 3, 4, 5, 6, 7, 8})});
    DMSoundFile file;
    ASSERT_EQ(parseSoundFile(wave, file), S_OK);
    const Bytes canonical = canonicalWaveFile(file);
    EXPECT_EQ(canonical.size(), 44u + 8u);
    DMSoundFile again;
    ASSERT_EQ(parseSoundFile(canonical, again), S_OK);
    EXPECT_EQ(again.format.channels, 2);
    EXPECT_EQ(again.format.samplesPerSecond, 11025u);
    EXPECT_EQ(again.format.bitsPerSample, 16);
    EXPECT_EQ(again.bytes, file.bytes);
    EXPECT_EQ(canonicalWaveFile(again), canonical);
}

struct BrokenCase
{
    const char* name;
    Bytes content;
    HRESULT result;
};

void expectRefused(const BrokenCase& c)
{
    SCOPED_TRACE(c.name);
    DMSoundFile file;
    EXPECT_EQ(parseSoundFile(c.content, file), c.result);
}

TEST(DMSoundFileTest, BrokenOrForeignWavesAreRefusedWithTheirCode)
{
    const Bytes fmt = riffChunk("fmt ", waveFormat(1, 1, 8000, 16));
    const Bytes data = riffChunk("data", Bytes(8, 0));
    const Bytes good = riffWave({fmt, data});
    Bytes dataPastEnd = good;
    dataPastEnd[good.size() - 12] = 0xFF; // the data chunk's size: 255 bytes, 8 are there
    Bytes riffPastEnd = good;
    riffPastEnd[4] += 2;
    Bytes badBlockAlign = good;
    badBlockAlign[12 + 8 + 12] = 3;

    const BrokenCase cases[] = {
        {"empty", {}, DMUS_E_LOADER_FORMATNOTSUPPORTED},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', '!', '!', '!', '!', '!', '!', '!'}, DMUS_E_LOADER_FORMATNOTSUPPORTED},
        {"RIFF of another form", concat({Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}}),
         DMUS_E_LOADER_FORMATNOTSUPPORTED},
        {"truncated RIFF header", Bytes(good.begin(), good.begin() + 10), DMUS_E_INVALIDFILE},
        {"RIFF chunk past the end", riffPastEnd, DMUS_E_INVALIDFILE},
        {"data chunk past the end", dataPastEnd, DMUS_E_INVALIDFILE},
        {"file cut inside the data", Bytes(good.begin(), good.end() - 3), DMUS_E_INVALIDFILE},
        {"chunk header cut", concat({riffWave({fmt, data, Bytes{'L', 'I', 'S'}})}), DMUS_E_INVALIDFILE},
        {"no fmt", riffWave({data}), DMUS_E_INVALIDFILE},
        {"no data", riffWave({fmt}), DMUS_E_INVALIDFILE},
        {"two fmt", riffWave({fmt, fmt, data}), DMUS_E_INVALIDFILE},
        {"two data", riffWave({fmt, data, data}), DMUS_E_INVALIDFILE},
        {"short fmt", riffWave({riffChunk("fmt ", Bytes(14, 1)), data}), DMUS_E_INVALIDFILE},
        {"no channels", riffWave({riffChunk("fmt ", waveFormat(1, 0, 8000, 16)), data}), DMUS_E_INVALIDFILE},
        {"rate 0", riffWave({riffChunk("fmt ", waveFormat(1, 1, 0, 16)), data}), DMUS_E_INVALIDFILE},
        {"block align not the frame size", badBlockAlign, DMUS_E_INVALIDFILE},
        {"less than one frame", riffWave({fmt, riffChunk("data", Bytes(1, 0))}), DMUS_E_INVALIDFILE},
        {"ADPCM", riffWave({riffChunk("fmt ", waveFormat(2, 1, 8000, 16)), data}), DMUS_E_UNSUPPORTED_STREAM},
        {"12-bit", riffWave({riffChunk("fmt ", waveFormat(1, 1, 8000, 12)), data}), DMUS_E_UNSUPPORTED_STREAM},
        {"64-bit float", riffWave({riffChunk("fmt ", waveFormat(3, 1, 8000, 64)), data}), DMUS_E_UNSUPPORTED_STREAM},
        {"9 channels", riffWave({riffChunk("fmt ", waveFormat(1, 9, 8000, 8)), riffChunk("data", Bytes(9, 0))}),
         DMUS_E_UNSUPPORTED_STREAM},
        {"384 kHz", riffWave({riffChunk("fmt ", waveFormat(1, 1, 384000, 16)), data}), DMUS_E_UNSUPPORTED_STREAM},
        {"longer than the limit",
         riffWave(
             {riffChunk("fmt ", waveFormat(1, 1, 1000, 8)), riffChunk("data", Bytes(MAX_WAVE_SECONDS * 1000 + 1, 0))}),
         DMUS_E_UNSUPPORTED_STREAM},
    };
    for (const BrokenCase& c : cases)
    {
        expectRefused(c);
    }
}

TEST(DMSoundFileTest, WellFormedMidiFilesAreKeptWhole)
{
    Bytes twoTracks = midiChunk("MThd", {0, 1, 0, 2, 0, 0x60});
    const Bytes track = midiChunk("MTrk", {0x00, 0x90, 60, 100, 0x30, 60, 0, 0x00, 0xFF, 0x2F, 0x00});
    twoTracks = concat({twoTracks, track, midiChunk("XFIH", Bytes(5, 9)), track});
    const Bytes cases[] = {
        melodyMidi(3),
        twoTracks,
        // running status, system exclusive, pitch bend, controller, a long delta time, a text event
        midiFile({0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xE0, 0x00, 0x40, 0x00, 0xB0, 0x07,
                  0x64, 0x00, 0x0A, 0x40, 0x81, 0x80, 0x00, 0xFF, 0x01, 0x02, 'h',  'i'}),
        // a header chunk longer than six bytes
        concat({midiChunk("MThd", {0, 0, 0, 1, 0, 0x60, 0, 0}), midiChunk("MTrk", {0x00, 0xFF, 0x2F, 0x00})}),
    };
    for (const Bytes& content : cases)
    {
        DMSoundFile file;
        ASSERT_EQ(parseSoundFile(content, file), S_OK);
        EXPECT_EQ(file.kind, DMSoundKind::MIDI);
        EXPECT_EQ(file.bytes, content);
    }
}

TEST(DMSoundFileTest, BrokenOrForeignMidiFilesAreRefusedWithTheirCode)
{
    const Bytes endOfTrack = {0x00, 0xFF, 0x2F, 0x00};
    const auto withHeader = [&](Bytes header) {
        return concat({midiChunk("MThd", header), midiChunk("MTrk", endOfTrack)});
    };
    const auto withTrack = [&](Bytes track) {
        return concat({midiChunk("MThd", {0, 0, 0, 1, 0, 0x60}), midiChunk("MTrk", track)});
    };
    const Bytes good = melodyMidi(1);
    Bytes trackPastEnd = good;
    trackPastEnd[14 + 7] += 1; // the track's length, one byte more than there is

    const BrokenCase cases[] = {
        {"bad header tag", concat({Bytes{'M', 'T', 'h', 'x'}, Bytes(good.begin() + 4, good.end())}),
         DMUS_E_LOADER_FORMATNOTSUPPORTED},
        {"truncated header", Bytes(good.begin(), good.begin() + 12), DMUS_E_INVALIDFILE},
        {"header length 4", concat({midiChunk("MThd", {0, 0, 0, 1}), Bytes(4, 0)}), DMUS_E_INVALIDFILE},
        {"header length past the end", concat({Bytes{'M', 'T', 'h', 'd', 0, 0, 1, 0}, Bytes(6, 0)}),
         DMUS_E_INVALIDFILE},
        {"format 3", withHeader({0, 3, 0, 1, 0, 0x60}), DMUS_E_INVALIDFILE},
        {"no tracks", withHeader({0, 1, 0, 0, 0, 0x60}), DMUS_E_INVALIDFILE},
        {"format 0 with two tracks", withHeader({0, 0, 0, 2, 0, 0x60}), DMUS_E_INVALIDFILE},
        {"division 0", withHeader({0, 0, 0, 1, 0, 0}), DMUS_E_INVALIDFILE},
        {"fewer tracks than the header says", withHeader({0, 1, 0, 2, 0, 0x60}), DMUS_E_INVALIDFILE},
        {"track past the end", trackPastEnd, DMUS_E_INVALIDFILE},
        {"no end of track", withTrack({0x00, 0x90, 60, 100}), DMUS_E_INVALIDFILE},
        {"note cut", withTrack({0x00, 0x90, 60}), DMUS_E_INVALIDFILE},
        {"data byte with bit 7", concat({withTrack({0x00, 0x90, 60, 0x80, 0x00, 0xFF, 0x2F, 0x00})}),
         DMUS_E_INVALIDFILE},
        {"running status without a status", withTrack({0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00}), DMUS_E_INVALIDFILE},
        {"running status after a meta event",
         withTrack({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x00, 60, 0, 0x00, 0xFF, 0x2F, 0x00}),
         DMUS_E_INVALIDFILE},
        {"delta time of five bytes", withTrack({0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00}), DMUS_E_INVALIDFILE},
        {"meta event past the track", withTrack({0x00, 0xFF, 0x01, 0x09, 'x', 0x00, 0xFF, 0x2F, 0x00}),
         DMUS_E_INVALIDFILE},
        {"tempo of two bytes", withTrack({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00}),
         DMUS_E_INVALIDFILE},
        {"tempo 0", withTrack({0x00, 0xFF, 0x51, 0x03, 0, 0, 0, 0x00, 0xFF, 0x2F, 0x00}), DMUS_E_INVALIDFILE},
        {"system common message", withTrack({0x00, 0xF2, 0x00, 0x00, 0x00, 0xFF, 0x2F, 0x00}), DMUS_E_INVALIDFILE},
        {"format 2", withHeader({0, 2, 0, 1, 0, 0x60}), DMUS_E_UNSUPPORTED_STREAM},
        {"SMPTE time", withHeader({0, 0, 0, 1, 0xE7, 0x28}), DMUS_E_UNSUPPORTED_STREAM},
    };
    for (const BrokenCase& c : cases)
    {
        expectRefused(c);
    }
}

TEST(DMSoundFileTest, ReadingTellsAMissingFileFromAnUnreadableOne)
{
    const std::string file = "dmusicfile_test_sound.bin";
    const std::string directory = "dmusicfile_test_directory.wav";
    writeFile(file, {1, 2, 3});
    std::filesystem::create_directory(directory);
    Bytes bytes;
    EXPECT_EQ(readSoundFile(file, bytes), S_OK);
    EXPECT_EQ(bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(readSoundFile("dmusicfile_test_missing.wav", bytes), DMUS_E_LOADER_FILENOTFOUND);
    EXPECT_EQ(readSoundFile(file + "/inside.wav", bytes), DMUS_E_LOADER_FILENOTFOUND);
    EXPECT_EQ(readSoundFile(directory, bytes), DMUS_E_LOADER_FAILEDOPEN);
    std::filesystem::remove(file);
    std::filesystem::remove(directory);
}

} // namespace
