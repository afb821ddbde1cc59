#include "game/qlmsound.h"

#include "platform/ssl.h"
#include "tests/dbgtesting.h"
#include "tests/game/gametesting.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{

const std::string TRACK = "gametrack.mid";

class QLMSoundTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        initializeSound();
    }
    void TearDown() override
    {
        // Every run starts with both switches on; a test that turns one off turns it on again.
        shutdownSound();
        GameTest::TearDown();
    }

    /// The plays and stops in the audio log since the last call.
    static std::vector<std::string> playsAndStops()
    {
        std::vector<std::string> events;
        for (const std::string& event : hosttest::audioLog())
            if (event.starts_with("play") || event.starts_with("stop"))
                events.push_back(event);
        hosttest::clearAudioLog();
        return events;
    }
};

using Log = std::vector<std::string>;

TEST_F(QLMSoundTest, StartUpLoadsEverySampleAndPlaysTheTrack)
{
    EXPECT_TRUE(samplesAreOpen());
    EXPECT_TRUE(tracksAreOpen());
    EXPECT_EQ(soundLibrary()->samples().size(), 13u);
    EXPECT_EQ(soundLibrary()->tracks().size(), 1u);
    EXPECT_EQ(hosttest::audioPlaying(), Log{TRACK});
}

TEST_F(QLMSoundTest, ShutdownStopsTheMusicAndClosesEverything)
{
    hosttest::clearAudioLog();
    shutdownSound();
    EXPECT_EQ(playsAndStops(), Log{"stop " + TRACK});
    EXPECT_FALSE(samplesAreOpen());
    EXPECT_FALSE(tracksAreOpen());
    EXPECT_TRUE(soundLibrary()->samples().empty());
    EXPECT_TRUE(soundLibrary()->tracks().empty());
    initializeSound();
}

TEST_F(QLMSoundTest, SamplesPlayByIDOnlyWhileEffectsAreOn)
{
    hosttest::clearAudioLog();
    playSound(QLMSampleID::FIRE_GUN_SAMPLE_ID);
    playSound(QLMSampleID::SELECT_MENU_ITEM_SAMPLE_ID);
    EXPECT_EQ(playsAndStops(), (Log{"play firegun.wav secondary", "play selectmenuitem.wav secondary"}));

    EXPECT_FALSE(toggleSoundEffects());
    playSound(QLMSampleID::FIRE_GUN_SAMPLE_ID);
    EXPECT_TRUE(playsAndStops().empty());
    EXPECT_EQ(hosttest::audioPlaying().front(), TRACK) << "effects off leaves the music alone";

    EXPECT_TRUE(toggleSoundEffects());
    playSound(QLMSampleID::PILL_PILL_BOUNCE_SAMPLE_ID);
    EXPECT_EQ(playsAndStops(), Log{"play pillpillbounce.wav secondary"});
    EXPECT_EQ(thrownBy([] { playSound(14); }), "Error: Unknown sample ID.");
}

TEST_F(QLMSoundTest, TheMusicSwitchStopsAndRestartsTheCurrentTrack)
{
    struct Step
    {
        const char* what;
        bool (*run)();
        Log expected;
    };
    const auto off = [] { return !toggleMusic(); };
    const auto on = [] { return toggleMusic(); };
    const auto play = []
    {
        playMusic(QLMTrackID::GAME_TRACK_ID);
        return true;
    };
    const auto stop = []
    {
        stopMusic();
        return true;
    };
    const Step steps[] = {
        {"music off stops the track", off, {"stop " + TRACK}},
        {"music on plays it afresh", on, {"play " + TRACK}},
        {"playing again stops the current track first", play, {"stop " + TRACK, "play " + TRACK}},
        {"stop", stop, {"stop " + TRACK}},
        {"stop without a current track", stop, {}},
        {"music off after a stop", off, {}},
        {"music on after a stop plays nothing", on, {}},
        {"music off", off, {}},
        {"playing with music off only makes the track current", play, {}},
        {"music on plays the current track", on, {"play " + TRACK}},
    };
    hosttest::clearAudioLog();
    for (const Step& step : steps)
    {
        EXPECT_TRUE(step.run()) << step.what;
        EXPECT_EQ(playsAndStops(), step.expected) << step.what;
    }
}

TEST_F(QLMSoundTest, OpeningOrClosingTwiceFailsItsCheck)
{
    EXPECT_EQ(thrownBy([] { openSamples(); }), "Assertion failure: !samplesAreOpen()");
    EXPECT_EQ(thrownBy([] { openTracks(); }), "Assertion failure: !tracksAreOpen()");
    shutdownSound();
    EXPECT_EQ(thrownBy([] { shutdownSound(); }), "Assertion failure: tracksAreOpen()");
    initializeSound();
    EXPECT_EQ(thrownBy([] { playMusic(2); }), "Error: Unknown track ID.");
}

} // namespace
