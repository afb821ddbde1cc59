#include "platform/sslboot.h"

#include "host/testing.h"
#include "tests/dbgtesting.h"
#include "tests/host/soundfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

using Log = std::vector<std::string>;

// An open library with one short sample and one track written by the test.
class SSLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // CTest runs the cases of this suite side by side in one folder: each writes files of its own.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        sampleName = "ssl_" + test + ".wav";
        trackName = "ssl_" + test + ".mid";
        fSample = sampleName.c_str();
        fTrack = trackName.c_str();
        writeFile(fSample, toneWave(4000));
        writeFile(fTrack, melodyMidi(8));
        ssl = openSSL(DIRECT_AUDIO_IMPLEMENTATION);
        hosttest::clearAudioLog();
    }

    void TearDown() override
    {
        for (SSLSample* sample : ssl->samples())
            ssl->closeSample(sample);
        for (SSLTrack* track : ssl->tracks())
        {
            const Log playing = hosttest::audioPlaying();
            if (std::count(playing.begin(), playing.end(), fTrack) > 0)
                ssl->stopTrack(track);
            ssl->closeTrack(track);
        }
        closeSSL(ssl);
        std::remove(fSample);
        std::remove(fTrack);
    }

    std::string sampleName;
    std::string trackName;
    const char* fSample = nullptr;
    const char* fTrack = nullptr;
    SSL* ssl = nullptr;
};

TEST(SSLBoot, RejectsBadArguments)
{
    EXPECT_EQ(thrownBy([] { openSSL(2); }),
              "Assertion failure: \"Valid implementation.\" && (implementation == DIRECT_AUDIO_IMPLEMENTATION)");
    EXPECT_EQ(thrownBy([] { closeSSL(nullptr); }), "Assertion failure: \"Valid SSL.\" && ssl");
    SSL* ssl = openSSL(DIRECT_AUDIO_IMPLEMENTATION);
    closeSSL(ssl);
    EXPECT_EQ(thrownBy([&] { closeSSL(ssl); }),
              "Assertion failure: \"Open SSL.\" && (fOpenSSLs.find(ssl) != fOpenSSLs.end())");
}

TEST_F(SSLTest, SamplesDownloadAtOnceAndOverlapThemselves)
{
    SSLSample* sample = ssl->openSample(fSample);
    EXPECT_EQ(hosttest::audioLog(), Log{std::string("download ") + fSample});

    ssl->playSample(sample);
    ssl->playSample(sample);
    EXPECT_EQ(hosttest::audioPlaying(), (Log{fSample, fSample}));

    hosttest::clearAudioLog();
    ssl->closeSample(sample);
    EXPECT_EQ(hosttest::audioLog(), Log{std::string("unload ") + fSample});
    EXPECT_TRUE(ssl->samples().empty());
}

TEST_F(SSLTest, TracksDownloadOnEveryPlayAndUnloadOnStop)
{
    SSLTrack* track = ssl->openTrack(fTrack);
    EXPECT_TRUE(hosttest::audioLog().empty()) << "a track is not downloaded until it plays";

    const std::string name = fTrack;
    for (int round = 0; round < 2; ++round)
    {
        hosttest::clearAudioLog();
        ssl->playTrack(track);
        EXPECT_EQ(hosttest::audioPlaying(), Log{name});
        ssl->stopTrack(track);
        EXPECT_EQ(hosttest::audioLog(), (Log{"download " + name, "play " + name, "stop " + name, "unload " + name}));
        EXPECT_TRUE(hosttest::audioPlaying().empty());
    }
}

TEST_F(SSLTest, TrackRequirements)
{
    SSLTrack* track = ssl->openTrack(fTrack);
    EXPECT_EQ(thrownBy([&] { ssl->stopTrack(track); }),
              "Assertion failure: \"Track is playing.\" && (track == mPlayingTrack)");
    ssl->playTrack(track);
    EXPECT_EQ(thrownBy([&] { ssl->playTrack(track); }),
              "Assertion failure: \"No track is playing.\" && (mPlayingTrack == 0)");
    EXPECT_EQ(thrownBy([&] { ssl->closeTrack(track); }),
              "Assertion failure: \"Track is not playing.\" && (track != mPlayingTrack)");
    ssl->stopTrack(track);
    ssl->closeTrack(track);
    EXPECT_EQ(thrownBy([&] { ssl->playTrack(track); }), "Assertion failure: \"Open track.\" && isOpen(track)");
    EXPECT_EQ(thrownBy([&] { ssl->closeTrack(track); }), "Assertion failure: \"Open track.\" && isOpen(track)");
}

TEST_F(SSLTest, AMissingFileFailsWithThePlatformsDescription)
{
    const std::string thrown = thrownBy([&] { ssl->openSample("no such file.wav"); });
    EXPECT_EQ(thrown.rfind("Error: ", 0), 0u) << thrown;
    EXPECT_NE(thrown, "Error: Unknown error.");
    EXPECT_TRUE(ssl->samples().empty());
}

} // namespace
