#include "game/qlmgame.h"

#include "game/qlmgamebullet.h"
#include "game/qlmgameclock.h"
#include "game/qlmgamegun.h"
#include "game/qlmgamelabel.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgametick.h"
#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/gameplaytesting.h"

#include <algorithm>
#include <vector>

namespace
{

using namespace QLMGameStateID;

class QLMGameMachineTest : public GamePlayTest
{
protected:
    /// Starts a game and plays until "Get ready" has run out.
    void startPlaying()
    {
        deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
        playUntil(3.1);
        ASSERT_EQ(state(), gameState(LOADED));
    }

    void holdButton(bool down)
    {
        if (down)
        {
            hosttest::pressMouseButton(windowHandle(), 1, 10, 10);
        }
        else
        {
            hosttest::releaseMouseButton(windowHandle(), 1, 10, 10);
        }
        processMessages();
        ASSERT_EQ(isMouseButtonDown(1), down);
    }

    static void collapseShield()
    {
        resizeShield(-200.0, getShield());
        getShield()->circle().setRadius(getShield()->circle().targetRadius());
    }
};

TEST_F(QLMGameMachineTest, StartsIdleAndDrawsNothingUntilTheGameIsEntered)
{
    EXPECT_EQ(state(), gameState(GAME_IDLE));
    hosttest::resetD3D8Counters();
    frame();
    EXPECT_EQ(gameTime(), 0.0);
    EXPECT_TRUE(splods().empty());
    EXPECT_EQ(hosttest::d3d8Counters().draws, 0);

    deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
    frame();
    EXPECT_GT(hosttest::d3d8Counters().draws, 0);
}

TEST_F(QLMGameMachineTest, PlaysFromGetReadyToGameOverAndBackToIdle)
{
    EventRecorder recorder;
    deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
    EXPECT_EQ(state(), gameState(GET_READY));
    ASSERT_EQ(floatingLabels().size(), 1u);
    EXPECT_EQ(recorder.deliver(),
              (std::vector<int>{QLMEventID::GAME_ENTERED_EVENT_ID, QLMEventID::GET_READY_SHOWN_EVENT_ID}));

    frame();
    EXPECT_EQ(splods().size(), 6u) << "the first tick spawns the field";
    playUntil(2.9);
    EXPECT_EQ(state(), gameState(GET_READY));
    playUntil(3.1);
    EXPECT_EQ(state(), gameState(LOADED));

    collapseShield();
    frame();
    EXPECT_EQ(state(), gameState(GAME_OVER));
    ASSERT_FALSE(floatingLabels().empty());
    const double overAt = gameTime();
    playUntil(overAt + 2.9);
    EXPECT_EQ(state(), gameState(GAME_OVER));
    playUntil(overAt + 3.1);
    EXPECT_EQ(state(), gameState(GAME_IDLE));
    const double idleAt = gameTime();
    frame();
    EXPECT_EQ(gameTime(), idleAt) << "idle does not tick";
}

TEST_F(QLMGameMachineTest, EnteringTheGameAgainWhileRunningIsIgnored)
{
    startPlaying();
    const double before = gameTime();
    deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
    EXPECT_EQ(state(), gameState(LOADED));
    EXPECT_GE(gameTime(), before) << "no reset";
}

TEST_F(QLMGameMachineTest, AHeldButtonFiresThenReloadsAfterTheDeadlineAndFiresAgain)
{
    startPlaying();
    holdButton(true);
    frame();
    EXPECT_EQ(state(), gameState(RELOADING));
    EXPECT_EQ(bullets().size(), 1u);
    EXPECT_EQ(shellCount(), 1u);
    EXPECT_NEAR(reloadDeadline(), gameTime(), 0.4 + 0.02);

    holdButton(false);
    playUntil(reloadDeadline() - 0.05);
    EXPECT_EQ(state(), gameState(RELOADING)) << "releasing does not cancel the reload";
    playUntil(reloadDeadline() + 0.02);
    EXPECT_EQ(state(), gameState(LOADED));
    EXPECT_EQ(shellCount(), 2u);

    holdButton(true);
    frame();
    EXPECT_EQ(state(), gameState(RELOADING));
    EXPECT_EQ(bullets().size(), 2u);
}

TEST_F(QLMGameMachineTest, TheMenuPausesEveryPlayingStateAndResumesIt)
{
    struct Case
    {
        int playing;
        int paused;
    };
    for (const Case& c : {Case{GET_READY, GET_READY_PAUSED}, Case{LOADED, LOADED_PAUSED},
                          Case{RELOADING, RELOADING_PAUSED}, Case{GAME_OVER, GAME_OVER_PAUSED}})
    {
        SCOPED_TRACE(c.playing);
        deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
        if (c.playing != GET_READY)
        {
            playUntil(3.1);
        }
        if (c.playing == RELOADING)
        {
            holdButton(true);
            frame();
            holdButton(false);
        }
        if (c.playing == GAME_OVER)
        {
            collapseShield();
            frame();
        }
        ASSERT_EQ(state(), gameState(c.playing));

        deliver(QLMEventID::MENU_OPENED_EVENT_ID);
        EXPECT_EQ(state(), gameState(c.paused));
        const double pausedAt = gameTime();
        hosttest::resetD3D8Counters();
        for (int i = 0; i < 300; ++i)
        {
            frame();
        }
        EXPECT_EQ(gameTime(), pausedAt) << "paused states do not tick";
        EXPECT_GT(hosttest::d3d8Counters().draws, 0) << "but draw";
        EXPECT_EQ(state(), gameState(c.paused)) << "labels stand still";

        deliver(QLMEventID::MENU_CLOSED_EVENT_ID);
        EXPECT_EQ(state(), gameState(c.playing));
        frame();
        EXPECT_GT(gameTime(), pausedAt);
        EXPECT_LE(gameTime(), pausedAt + 0.1) << "the frame after a pause is capped";

        // Back to idle for the next case: the shield's event counts only once "Get ready" has run out.
        playUntil(3.1);
        collapseShield();
        frame();
        playUntil(gameTime() + 3.1);
        ASSERT_EQ(state(), gameState(GAME_IDLE));
    }
}

TEST_F(QLMGameMachineTest, ACollapseWhilePausedShowsGameOverAndTheGameEndsAfterTheMenuCloses)
{
    startPlaying();
    collapseShield();
    // The menu opens in the same pass, before the shield's event is handled.
    deliver(QLMEventID::MENU_OPENED_EVENT_ID);
    frame();
    deliver(QLMEventID::SHIELD_COLLAPSED_EVENT_ID);
    EXPECT_EQ(state(), gameState(GAME_OVER_PAUSED));
    deliver(QLMEventID::MENU_CLOSED_EVENT_ID);
    EXPECT_EQ(state(), gameState(GAME_OVER));
    playUntil(gameTime() + 3.1);
    EXPECT_EQ(state(), gameState(GAME_IDLE));
}

TEST_F(QLMGameMachineTest, ANewGameStartsFromAFreshField)
{
    startPlaying();
    holdButton(true);
    frame();
    holdButton(false);
    collapseShield();
    frame();
    playUntil(gameTime() + 3.1);
    ASSERT_EQ(state(), gameState(GAME_IDLE));

    deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
    EXPECT_EQ(gameTime(), 0.0);
    EXPECT_TRUE(splods().empty());
    EXPECT_TRUE(bullets().empty());
    EXPECT_EQ(shellCount(), 2u);
    EXPECT_EQ(getShield()->circle().radius(), 200.0f);
    EXPECT_EQ(getShield()->circle().targetRadius(), 200.0f);
    EXPECT_EQ(mousePosition().x(), 0.0f);
    EXPECT_EQ(mousePosition().y(), 300.0f);
    EXPECT_EQ(floatingLabels().size(), 1u) << "only the new \"Get ready\"";
}

TEST_F(QLMGameMachineTest, QuitEndsTheMachineFromEveryState)
{
    startPlaying();
    deliver(QLMEventID::QUIT_EVENT_ID);
    const std::vector<ECAMachine*>& running = ECA::machines();
    EXPECT_EQ(std::find(running.begin(), running.end(), gameMachine()), running.end());
}

TEST_F(QLMGameMachineTest, AMachineNoLongerValidFailsItsCheckWhenDestroyed)
{
    auto* machine = dynamic_cast<QLMGameMachine*>(gameMachine()->clone());
    ASSERT_NE(machine, nullptr);
    machine->removeReference(); // released once more than it was referenced
    EXPECT_EQ(thrownBy([&] { delete machine; }), "Assertion failure: invariant()");
}

TEST_F(QLMGameMachineTest, RefusesASecondInitialisationAndUnknownIDs)
{
    EXPECT_EQ(thrownBy([] { initializeGame(); }), "Assertion failure: !gameInvariant()");
    QLMGameAction action(9);
    QLMGameCondition condition(0);
    EXPECT_EQ(thrownBy([&] { action.execute(*gameMachine()); }), "Error: Unknown action ID.");
    EXPECT_EQ(thrownBy([&] { condition.evaluate(*gameMachine()); }), "Error: Unknown conditionID");
    // The project's one exception type, so that the error box reports it.
    EXPECT_EQ(thrownBy([] { gameState(11); }), "Error: Unknown state ID.");
}

} // namespace
