#include "game/qlmevent.h"

#include "foundation/eca.h"
#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/gametesting.h"

#include <set>
#include <vector>

namespace
{

using IDs = std::vector<int>;

class QLMEventTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        initializeEvents();
    }
    void TearDown() override
    {
        shutdownEvents();
        GameTest::TearDown();
    }
};

TEST_F(QLMEventTest, EveryIDHasAnEventOfItsOwn)
{
    std::set<ECAEvent*> events;
    for (int id = QLMEventID::MIN_EVENT_ID; id < QLMEventID::MAX_EVENT_ID; ++id)
        events.insert(getEvent(id));
    EXPECT_EQ(events.size(), 186u);
    EXPECT_EQ(events.count(nullptr), 0u);
    EXPECT_EQ(thrownBy([] { getEvent(QLMEventID::MAX_EVENT_ID); }), "Error: Unknown event ID.");
}

TEST_F(QLMEventTest, KeysPostTheirDownAndUpEvents)
{
    struct Case
    {
        int virtualKey;
        int downID;
        int upID;
    };
    const Case cases[] = {
        {VK_RETURN, QLMEventID::RETURN_DOWN_EVENT_ID, 110},
        {VK_ESCAPE, QLMEventID::ESCAPE_DOWN_EVENT_ID, 114},
        {VK_UP, QLMEventID::UP_DOWN_EVENT_ID, 121},
        {VK_DOWN, QLMEventID::DOWN_DOWN_EVENT_ID, 123},
        {VK_F1, QLMEventID::F1_DOWN_EVENT_ID, 175},
        {VK_F2, QLMEventID::F2_DOWN_EVENT_ID, 176},
        {VK_BACK, 28, 108},
        {'A', 55, 135},
        {VK_PAUSE, 27, 107}, // no key code of its own: code 1
    };
    EventRecorder recorder;
    for (const Case& c : cases)
    {
        hosttest::pressKey(c.virtualKey);
        hosttest::releaseKey(c.virtualKey);
        processMessages();
        EXPECT_EQ(recorder.deliver(), (IDs{c.downID, c.upID})) << "virtual key " << c.virtualKey;
    }
}

TEST_F(QLMEventTest, EveryAutoRepeatPostsAnotherKeyDown)
{
    EventRecorder recorder;
    hosttest::pressKey(VK_DOWN);
    hosttest::pressKey(VK_DOWN, true);
    hosttest::pressKey(VK_DOWN, true);
    hosttest::releaseKey(VK_DOWN);
    processMessages();
    EXPECT_EQ(recorder.deliver(), (IDs{43, 43, 43, 123}));

    const LPARAM repeatCount = 3;
    const MSG message{windowHandle(), WM_KEYDOWN, VK_DOWN, repeatCount, 0, {}};
    DispatchMessageA(&message);
    EXPECT_EQ(recorder.deliver(), (IDs{43, 43, 43})) << "one message with a repeat count of 3";
}

TEST_F(QLMEventTest, KeyEventsComeBeforeEventsPostedAfterTheMessages)
{
    EventRecorder recorder;
    hosttest::pressKey(VK_ESCAPE);
    processMessages();
    postEvent(QLMEventID::FRAME_EVENT_ID);
    EXPECT_EQ(recorder.deliver(), (IDs{QLMEventID::ESCAPE_DOWN_EVENT_ID, QLMEventID::FRAME_EVENT_ID}));
}

TEST_F(QLMEventTest, TheListenerHandlesEveryKeyAndRefusesUnknownCodes)
{
    EventRecorder recorder;
    QLMKeyListener& listener = keyListener();
    EXPECT_TRUE(listener.onKeyDown(*window(), 1));
    EXPECT_TRUE(listener.onKeyUp(*window(), 80));
    EXPECT_EQ(recorder.deliver(), (IDs{27, 186}));

    for (int code : {0, 81, -1})
    {
        EXPECT_EQ(thrownBy([&] { listener.onKeyDown(*window(), code); }), "Error: Unknown key ID.") << code;
        EXPECT_EQ(thrownBy([&] { listener.onKeyUp(*window(), code); }), "Error: Unknown key ID.") << code;
    }
    EXPECT_TRUE(recorder.deliver().empty());
    EXPECT_FALSE(listener.onCharacter(*window(), 'a')) << "only keys are the listener's business";
}

TEST_F(QLMEventTest, KeyMessagesAreHandledOnlyWhileTheListenerIsRegistered)
{
    const auto keyRoutes = []
    {
        std::vector<hosttest::Route> routes;
        for (const hosttest::LoggedMessage& message : hosttest::messageLog())
            if (message.message == WM_KEYDOWN)
                routes.push_back(message.route);
        return routes;
    };
    hosttest::recordMessages(true);
    hosttest::pressKey(VK_PAUSE);
    processMessages();
    EXPECT_EQ(keyRoutes(), std::vector{hosttest::Route::WindowProcedure});

    shutdownEvents();
    hosttest::clearMessageLog();
    hosttest::pressKey(VK_PAUSE, true);
    processMessages();
    EXPECT_EQ(keyRoutes(), (std::vector{hosttest::Route::WindowProcedure, hosttest::Route::DefaultProcedure}));
    initializeEvents();
}

TEST_F(QLMEventTest, ShutdownDropsTheQueuedMessagesOfItsEvents)
{
    hosttest::pressKey(VK_RETURN);
    processMessages();
    postEvent(QLMEventID::QUIT_EVENT_ID);
    shutdownEvents();
    ECA::update(0.0); // a message left behind would refer to a destroyed event

    initializeEvents();
    EventRecorder recorder;
    EXPECT_TRUE(recorder.deliver().empty());
}

} // namespace
