#include "game/qlmcoordinator.h"

#include "foundation/timers.h"
#include "game/qlmcounter.h"
#include "game/qlmscore.h"
#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/screentesting.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace
{

using namespace QLMEventID;
using IDs = std::vector<int>;

// The screens' entry and exit events, which the coordinator alone posts.
bool isScreenEvent(int id)
{
    return INTRO_ENTERED_EVENT_ID <= id && id <= NAME_ENTRY_LEFT_EVENT_ID;
}

// The coordinator over the hall of fame, with a recorder started before it, as the screens are.
class CoordinatorTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        QLMScoreCounter::instance().reset();
        initializeScore();
        recorder = std::make_unique<EventRecorder>();
        initializeCoordinator();
    }

    void TearDown() override
    {
        if (isInitialized())
        {
            post(QUIT_EVENT_ID);
            shutdownCoordinator();
        }
        recorder.reset();
        shutdownScore();
        QLMScoreCounter::instance().reset();
        ScreenTest::TearDown();
    }

    // Delivers what is queued and returns the screen events among what arrived.
    IDs screenEvents()
    {
        IDs found;
        for (int id : recorder->deliver())
            if (isScreenEvent(id))
                found.push_back(id);
        return found;
    }

    // Lets the given seconds of machine time pass, then posts one frame tick.
    IDs afterSeconds(double seconds)
    {
        ECA::update(seconds);
        postEvent(FRAME_EVENT_ID);
        return screenEvents();
    }

    IDs after(int eventID)
    {
        postEvent(eventID);
        return screenEvents();
    }

    std::unique_ptr<EventRecorder> recorder;
};

TEST_F(CoordinatorTest, StartsInTheIntroAndAlternatesWithTheHallOfFame)
{
    EXPECT_EQ(screenEvents(), IDs{INTRO_ENTERED_EVENT_ID});
    EXPECT_EQ(afterSeconds(19.9), IDs{});
    EXPECT_EQ(afterSeconds(0.1), (IDs{INTRO_LEFT_EVENT_ID, HALL_OF_FAME_ENTERED_EVENT_ID}));
    EXPECT_EQ(afterSeconds(20.0), (IDs{HALL_OF_FAME_LEFT_EVENT_ID, INTRO_ENTERED_EVENT_ID}));
}

TEST_F(CoordinatorTest, AMouseReleaseStartsAGameOnlyFromTheIntroOrTheHallOfFame)
{
    screenEvents();
    EXPECT_EQ(after(MOUSE_RELEASED_EVENT_ID), (IDs{INTRO_LEFT_EVENT_ID, GAME_ENTERED_EVENT_ID}));
    EXPECT_EQ(after(MOUSE_RELEASED_EVENT_ID), IDs{});
    EXPECT_EQ(afterSeconds(60.0), IDs{}) << "the game state never expires";
}

TEST_F(CoordinatorTest, AScoreOutsideTheTableGoesStraightToTheHallOfFame)
{
    screenEvents();
    after(MOUSE_RELEASED_EVENT_ID);
    QLMScoreCounter::instance().add(-1000000);
    EXPECT_EQ(after(GAME_OVER_EXPIRED_EVENT_ID), (IDs{GAME_LEFT_EVENT_ID, HALL_OF_FAME_ENTERED_EVENT_ID}));
}

TEST_F(CoordinatorTest, AHighScoreGoesThroughTheNameEntry)
{
    screenEvents();
    after(MOUSE_RELEASED_EVENT_ID);
    QLMScoreCounter::instance().add(100000000);
    EXPECT_EQ(after(GAME_OVER_EXPIRED_EVENT_ID), (IDs{GAME_LEFT_EVENT_ID, NAME_ENTRY_ENTERED_EVENT_ID}));
    EXPECT_EQ(after(MOUSE_RELEASED_EVENT_ID), IDs{});
    EXPECT_EQ(after(RETURN_DOWN_EVENT_ID), (IDs{NAME_ENTRY_LEFT_EVENT_ID, HALL_OF_FAME_ENTERED_EVENT_ID}));
}

TEST_F(CoordinatorTest, QuitEndsTheMachineFromAnyState)
{
    screenEvents();
    EXPECT_EQ(after(QUIT_EVENT_ID), IDs{INTRO_LEFT_EVENT_ID});
    const std::size_t running = ECA::machines().size();
    shutdownCoordinator();
    EXPECT_FALSE(isInitialized());
    EXPECT_EQ(running, ECA::machines().size()) << "the coordinator's machine retired with the quit";
}

TEST_F(CoordinatorTest, EveryTypedCharacterEchoesTheWholeBuffer)
{
    while (!DBG::textLinesEmpty())
        DBG::popTextLine();
    resetCharacterBuffer();
    hosttest::typeText("ab");
    processMessages();
    ASSERT_FALSE(DBG::textLinesEmpty());
    EXPECT_EQ(DBG::frontTextLine(), "Character buffer: a");
    DBG::popTextLine();
    ASSERT_FALSE(DBG::textLinesEmpty());
    EXPECT_EQ(DBG::frontTextLine(), "Character buffer: ab");
}

TEST_F(CoordinatorTest, OpeningTwiceOrClosingWhileClosedFails)
{
    EXPECT_EQ(thrownBy([] { initializeCoordinator(); }), "Assertion failure: !isInitialized()");
    post(QUIT_EVENT_ID);
    shutdownCoordinator();
    EXPECT_EQ(thrownBy([] { shutdownCoordinator(); }), "Assertion failure: isInitialized()");
}

} // namespace
