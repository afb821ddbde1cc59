#pragma once
// What the game's own tests share: every module the game needs opened as the program opens it, the game
// initialised in its idle state, the virtual clock and a fixed random seed; and short-hands to drive frames.

#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "game/qlmevent.h"
#include "game/qlmgame.h"
#include "game/qlmgameclock.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmsound.h"
#include "host/testing.h"
#include "tests/game/gametesting.h"

#include <string>
#include <vector>

/// The game open and idle, with the pointer at the centre. Tear-down quits the machine and closes everything.
class GamePlayTest : public GameTest
{
protected:
    static constexpr double FRAME_SECONDS = 1.0 / 60.0;

    void SetUp() override
    {
        hosttest::useVirtualClock();
        GameTest::SetUp();
        initializeEvents();
        initializeInput();
        initializeGraphics();
        initializeSound();
        randomTool()->setSeed(20261210.0);
        initializeGame();
        ECA::update(0.0);
        hosttest::clearAudioLog();
    }

    void TearDown() override
    {
        postEvent(QLMEventID::QUIT_EVENT_ID);
        ECA::update(0.0);
        shutdownGame();
        shutdownSound();
        shutdownGraphics();
        shutdownInput();
        shutdownEvents();
        GameTest::TearDown();
        hosttest::useRealClock();
    }

    /// One pass of the main loop as far as the game sees it: the frame's tick, gun and draw events, one update,
    /// and a frame's worth of clock time.
    static void frame()
    {
        hosttest::advanceVirtualClock(static_cast<LONGLONG>(FRAME_SECONDS * 1e9));
        for (const int eventID :
             {QLMEventID::FRAME_EVENT_ID, QLMEventID::FRAME_INPUT_EVENT_ID, QLMEventID::DRAW_GAME_EVENT_ID})
        {
            postEvent(eventID);
        }
        ECA::update(FRAME_SECONDS);
    }

    /// Frames until the game clock has reached the game time (seconds), at most the frames of twice that long.
    static void playUntil(double gameSeconds)
    {
        for (int i = 0; gameTime() < gameSeconds && i < static_cast<int>(2.0 * gameSeconds / FRAME_SECONDS) + 2; ++i)
        {
            frame();
        }
    }

    /// Delivers a game event to every machine.
    static void deliver(int eventID)
    {
        postEvent(eventID);
        ECA::update(0.0);
    }

    /// The samples played since the last call, by file name, oldest first.
    static std::vector<std::string> playedSamples()
    {
        std::vector<std::string> played;
        for (const std::string& entry : hosttest::audioLog())
        {
            const std::string prefix = "play ";
            const std::string suffix = " secondary";
            if (entry.starts_with(prefix) && entry.ends_with(suffix))
            {
                played.push_back(entry.substr(prefix.size(), entry.size() - prefix.size() - suffix.size()));
            }
        }
        hosttest::clearAudioLog();
        return played;
    }

    /// The game machine's current state.
    static ECAState* state() { return gameMachine()->currentState(); }
};
