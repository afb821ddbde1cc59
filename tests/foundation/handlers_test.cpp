#include "foundation/handlers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The handlers never look inside the window; this program has no real one, so a stand-in type is enough.
class EGCWindow
{
};

namespace
{

// Logs every notification as "name arguments" and answers a fixed value.
class Recorder final : public EGCDefaultMessageHandler
{
public:
    explicit Recorder(bool answer = false) : mAnswer(answer) {}

    std::vector<std::string> log;
    const EGCWindow* window = nullptr;

    bool onActivate(EGCWindow& w) override { return record(w, "onActivate"); }
    bool onActivateApplication(EGCWindow& w) override { return record(w, "onActivateApplication"); }
    bool onCharacter(EGCWindow& w, std::uint32_t c) override { return record(w, "onCharacter " + std::to_string(c)); }
    bool onDestroy(EGCWindow& w) override { return record(w, "onDestroy"); }
    bool onInactivate(EGCWindow& w) override { return record(w, "onInactivate"); }
    bool onInactivateApplication(EGCWindow& w) override { return record(w, "onInactivateApplication"); }
    bool onKeyDown(EGCWindow& w, int k) override { return record(w, "onKeyDown " + std::to_string(k)); }
    bool onKeyUp(EGCWindow& w, int k) override { return record(w, "onKeyUp " + std::to_string(k)); }
    bool onLeftButtonDoubleClick(EGCWindow& w) override { return record(w, "onLeftButtonDoubleClick"); }
    bool onLeftButtonDown(EGCWindow& w) override { return record(w, "onLeftButtonDown"); }
    bool onLeftButtonUp(EGCWindow& w) override { return record(w, "onLeftButtonUp"); }
    bool onMiddleButtonDoubleClick(EGCWindow& w) override { return record(w, "onMiddleButtonDoubleClick"); }
    bool onMiddleButtonDown(EGCWindow& w) override { return record(w, "onMiddleButtonDown"); }
    bool onMiddleButtonUp(EGCWindow& w) override { return record(w, "onMiddleButtonUp"); }
    bool onMouseMove(EGCWindow& w, const EGCPoint& p) override { return record(w, "onMouseMove " + text(p)); }
    bool onMove(EGCWindow& w, const EGCPoint& p) override { return record(w, "onMove " + text(p)); }
    bool onPaint(EGCWindow& w) override { return record(w, "onPaint"); }
    bool onRightButtonDoubleClick(EGCWindow& w) override { return record(w, "onRightButtonDoubleClick"); }
    bool onRightButtonDown(EGCWindow& w) override { return record(w, "onRightButtonDown"); }
    bool onRightButtonUp(EGCWindow& w) override { return record(w, "onRightButtonUp"); }
    bool onSize(EGCWindow& w, const EGCPoint& s) override { return record(w, "onSize " + text(s)); }

private:
    static std::string text(const EGCPoint& p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); }
    bool record(EGCWindow& w, const std::string& entry)
    {
        window = &w;
        log.push_back(entry);
        return mAnswer;
    }
    bool mAnswer;
};

struct Notification
{
    std::function<bool(EGCMessageHandler&, EGCWindow&)> send;
    std::string logged;
};

// All 21 notifications, each with distinct arguments, and the entry a Recorder logs for it.
const std::vector<Notification>& allNotifications()
{
    static const std::vector<Notification> notifications = {
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onActivate(w); }, "onActivate"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onActivateApplication(w); }, "onActivateApplication"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onCharacter(w, 0xE9); }, "onCharacter 233"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onDestroy(w); }, "onDestroy"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onInactivate(w); }, "onInactivate"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onInactivateApplication(w); }, "onInactivateApplication"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onKeyDown(w, 12); }, "onKeyDown 12"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onKeyUp(w, 80); }, "onKeyUp 80"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onLeftButtonDoubleClick(w); }, "onLeftButtonDoubleClick"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onLeftButtonDown(w); }, "onLeftButtonDown"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onLeftButtonUp(w); }, "onLeftButtonUp"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onMiddleButtonDoubleClick(w); },
         "onMiddleButtonDoubleClick"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onMiddleButtonDown(w); }, "onMiddleButtonDown"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onMiddleButtonUp(w); }, "onMiddleButtonUp"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onMouseMove(w, EGCPoint(3, 40000)); },
         "onMouseMove 3,40000"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onMove(w, EGCPoint(-5, 6)); }, "onMove -5,6"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onPaint(w); }, "onPaint"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onRightButtonDoubleClick(w); }, "onRightButtonDoubleClick"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onRightButtonDown(w); }, "onRightButtonDown"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onRightButtonUp(w); }, "onRightButtonUp"},
        {[](EGCMessageHandler& h, EGCWindow& w) { return h.onSize(w, EGCPoint(800, 600)); }, "onSize 800,600"},
    };
    return notifications;
}

} // namespace

TEST(EGCDefaultMessageHandler, AnswersFalseToEveryNotification)
{
    EGCDefaultMessageHandler handler;
    EGCWindow window;
    ASSERT_EQ(allNotifications().size(), 21u);
    for (const Notification& n : allNotifications())
        EXPECT_FALSE(n.send(handler, window)) << n.logged;
}

TEST(EGCCompositeMessageHandler, ForwardsEachNotificationAsItselfWithItsArgumentsAndWindow)
{
    EGCCompositeMessageHandler composite;
    Recorder recorder;
    composite.addMessageHandler(&recorder);
    EGCWindow window;
    for (const Notification& n : allNotifications())
    {
        recorder.log.clear();
        recorder.window = nullptr;
        EXPECT_FALSE(n.send(composite, window));
        EXPECT_EQ(recorder.log, std::vector<std::string>{n.logged});
        EXPECT_EQ(recorder.window, &window) << n.logged;
    }
}

TEST(EGCCompositeMessageHandler, CallsEveryHandlerAndAnswersTrueWhenAnyDid)
{
    struct Case
    {
        bool firstAnswer, secondAnswer, expected;
    };
    for (const Case c : {Case{true, false, true}, Case{false, true, true}, Case{false, false, false}})
    {
        // An array fixes the address order: handlers[0] comes first.
        Recorder handlers[2] = {Recorder(c.firstAnswer), Recorder(c.secondAnswer)};
        EGCCompositeMessageHandler composite;
        composite.addMessageHandler(&handlers[0]);
        composite.addMessageHandler(&handlers[1]);
        EGCWindow window;
        EXPECT_EQ(composite.onKeyDown(window, 5), c.expected);
        EXPECT_EQ(handlers[0].log.size(), 1u);
        EXPECT_EQ(handlers[1].log.size(), 1u) << "a later handler was skipped";
    }
}

TEST(EGCCompositeMessageHandler, CallsHandlersInAddressOrderNotRegistrationOrder)
{
    std::vector<int> calls;
    struct Tagged final : EGCDefaultMessageHandler
    {
        std::vector<int>* calls = nullptr;
        int tag = 0;
        bool onPaint(EGCWindow&) override
        {
            calls->push_back(tag);
            return false;
        }
    };
    Tagged handlers[3];
    for (int i = 0; i < 3; ++i)
    {
        handlers[i].calls = &calls;
        handlers[i].tag = i;
    }

    EGCCompositeMessageHandler composite;
    composite.addMessageHandler(&handlers[2]);
    composite.addMessageHandler(&handlers[0]);
    composite.addMessageHandler(&handlers[1]);
    composite.addMessageHandler(&handlers[0]);
    EGCWindow window;
    composite.onPaint(window);
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 2})) << "a handler added twice must be called once";
}

TEST(EGCCompositeMessageHandler, RemovedAndNeverAddedHandlersAreNotCalled)
{
    Recorder kept(true), removed(true), stranger(true);
    EGCCompositeMessageHandler composite;
    EGCWindow window;
    EXPECT_FALSE(composite.onPaint(window)) << "no handler: false";

    composite.addMessageHandler(&kept);
    composite.addMessageHandler(&removed);
    composite.removeMessageHandler(&removed);
    composite.removeMessageHandler(&stranger);
    EXPECT_TRUE(composite.onPaint(window));
    EXPECT_EQ(kept.log.size(), 1u);
    EXPECT_TRUE(removed.log.empty());

    composite.removeMessageHandler(&kept);
    EXPECT_FALSE(composite.onPaint(window));
}
