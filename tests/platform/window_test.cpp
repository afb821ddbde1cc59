#include "platform/window.h"

#include "host/testing.h"
#include "recordinghandler.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

// The game's window: a topmost pop-up with a caption.
constexpr unsigned int GAME_STYLE = CAPTION_WINDOW_STYLE | TOPMOST_WINDOW_STYLE;

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hosttest::resetWindows();
        hosttest::recordMessages(true);
        window = std::make_unique<EGCWin32Window>(&handler, "Quillom 1.0", GAME_STYLE, EGCRectangle(0, 0, 320, 200));
        pumpMessages();
        handler.calls.clear();
        hosttest::clearMessageLog();
    }

    void TearDown() override
    {
        window.reset();
        hosttest::resetWindows();
    }

    // Hands one message to the window procedure as the message pump would.
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam)
    {
        const MSG msg{window->handle(), message, wParam, lParam, 0, {0, 0}};
        return DispatchMessageA(&msg);
    }

    // How many times the message reached the default procedure.
    static int defaultProcessed(UINT message)
    {
        int count = 0;
        for (const auto& logged : hosttest::messageLog())
            if (logged.route == hosttest::Route::DefaultProcedure && logged.message == message)
                ++count;
        return count;
    }

    RecordingHandler handler;
    std::unique_ptr<EGCWin32Window> window;
};

TEST(WindowKeys, TranslatesVirtualKeysToKeyCodes)
{
    struct Case
    {
        int virtualKey;
        int keyCode;
    };
    const Case cases[] = {
        {VK_BACK, 2},    {VK_TAB, 3},       {VK_RETURN, 4},    {VK_SHIFT, 5},    {VK_CONTROL, 6},  {VK_MENU, 7},
        {VK_ESCAPE, 8},  {VK_SPACE, 9},     {VK_PRIOR, 10},    {VK_DOWN, 17},    {VK_DELETE, 18},  {'0', 19},
        {'9', 28},       {'A', 29},         {'Z', 54},         {VK_NUMPAD0, 55}, {VK_NUMPAD9, 64}, {VK_MULTIPLY, 65},
        {VK_ADD, 66},    {VK_SUBTRACT, 67}, {VK_DIVIDE, 68},   {VK_F1, 69},      {VK_F12, 80},     {VK_SEPARATOR, 1},
        {VK_DECIMAL, 1}, {VK_INSERT, 1},    {VK_OEM_COMMA, 1}, {VK_OEM_1, 1},    {VK_LWIN, 1},     {VK_F12 + 1, 1},
        {0, 1},          {VK_CAPITAL, 1},   {VK_SNAPSHOT, 1},  {'A' - 1, 1},     {'Z' + 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(translateVirtualKey(c.virtualKey), c.keyCode) << "virtual key " << c.virtualKey;
}

TEST_F(WindowTest, KeyMessagesCallTheHandlerOncePerRepeat)
{
    EXPECT_EQ(dispatch(WM_KEYDOWN, 'A', MAKELPARAM(3, 0)), 0);
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"keyDown 29", "keyDown 29", "keyDown 29"}));

    handler.calls.clear();
    dispatch(WM_SYSKEYUP, VK_F1, MAKELPARAM(1, 0));
    dispatch(WM_CHAR, 'q', MAKELPARAM(2, 0));
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"keyUp 69", "character 113", "character 113"}));
}

TEST_F(WindowTest, ZeroRepeatsCallNothingAndGoToTheDefaultProcedure)
{
    dispatch(WM_KEYDOWN, 'A', MAKELPARAM(0, 0));
    EXPECT_TRUE(handler.calls.empty());
    EXPECT_EQ(defaultProcessed(WM_KEYDOWN), 1);
}

TEST_F(WindowTest, OnlyTheLastRepeatsAnswerDecides)
{
    handler.answer = false;
    dispatch(WM_KEYDOWN, VK_SPACE, MAKELPARAM(2, 0));
    EXPECT_EQ(handler.calls.size(), 2u);
    EXPECT_EQ(defaultProcessed(WM_KEYDOWN), 1);
}

TEST_F(WindowTest, RealKeyPressesGiveKeyCodesAndTypedCharactersApart)
{
    hosttest::gainFocus(window->handle());
    pumpMessages();
    handler.calls.clear();

    hosttest::pressKey(VK_SHIFT);
    hosttest::pressKey('Q');
    hosttest::typeText("Q");
    hosttest::pressKey('Q', true);
    hosttest::releaseKey('Q');
    hosttest::releaseKey(VK_SHIFT);
    pumpMessages();
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"keyDown 5", "keyDown 45", "character 81", "keyDown 45",
                                                       "keyUp 45", "keyUp 5"}));
}

TEST_F(WindowTest, AltHeldKeysReachTheHandlerAsSystemKeys)
{
    hosttest::gainFocus(window->handle());
    pumpMessages();
    handler.calls.clear();

    hosttest::pressKey(VK_MENU);
    hosttest::pressKey(VK_F4);
    hosttest::releaseKey(VK_F4);
    hosttest::releaseKey(VK_MENU);
    pumpMessages();
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"keyDown 7", "keyDown 72", "keyUp 72", "keyUp 7"}));
    EXPECT_EQ(defaultProcessed(WM_SYSKEYDOWN), 0) << "a handled system key must not reach the default procedure";
}

TEST_F(WindowTest, MouseCoordinatesArriveAsUnsignedWords)
{
    dispatch(WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    dispatch(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-1), static_cast<WORD>(-200)));
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"mouseMove 12 34", "mouseMove 65535 65336"}));
}

TEST_F(WindowTest, RoutesEveryNotification)
{
    struct Case
    {
        UINT message;
        WPARAM wParam;
        const char* call;
    };
    const Case cases[] = {
        {WM_DESTROY, 0, "destroy"},
        {WM_ACTIVATE, WA_ACTIVE, "activate"},
        {WM_ACTIVATE, WA_CLICKACTIVE, "activate"},
        {WM_ACTIVATE, WA_INACTIVE, "inactivate"},
        {WM_ACTIVATE, 3, "inactivate"},
        {WM_ACTIVATEAPP, TRUE, "activateApplication"},
        {WM_ACTIVATEAPP, FALSE, "inactivateApplication"},
        {WM_LBUTTONDOWN, 0, "leftDown"},
        {WM_LBUTTONUP, 0, "leftUp"},
        {WM_LBUTTONDBLCLK, 0, "leftDoubleClick"},
        {WM_RBUTTONDOWN, 0, "rightDown"},
        {WM_RBUTTONUP, 0, "rightUp"},
        {WM_RBUTTONDBLCLK, 0, "rightDoubleClick"},
        {WM_MBUTTONDOWN, 0, "middleDown"},
        {WM_MBUTTONUP, 0, "middleUp"},
        {WM_MBUTTONDBLCLK, 0, "middleDoubleClick"},
    };
    for (const Case& c : cases)
    {
        handler.calls.clear();
        EXPECT_EQ(dispatch(c.message, c.wParam, 0), 0);
        EXPECT_EQ(handler.calls, std::vector<std::string>{c.call}) << "message " << c.message;
    }

    handler.calls.clear();
    for (UINT ignored : {WM_CLOSE, WM_CREATE, WM_SYSCHAR, WM_DEADCHAR, WM_MOUSEWHEEL})
        dispatch(ignored, 0, 0);
    EXPECT_TRUE(handler.calls.empty());
}

TEST_F(WindowTest, MoveAndSizeReadTheWindowBack)
{
    dispatch(WM_MOVE, 0, MAKELPARAM(999, 999));
    dispatch(WM_SIZE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"move 0 0", "size 320 200"}));

    handler.calls.clear();
    window->setRectangle(EGCRectangle(10, 20, 800, 600));
    pumpMessages();
    // Moving with repaint asks for a paint as well.
    EXPECT_EQ(handler.calls, (std::vector<std::string>{"move 10 20", "size 800 600", "paint"}));
}

TEST_F(WindowTest, HandledPaintValidatesTheWindow)
{
    hosttest::expose(window->handle());
    pumpMessages();
    EXPECT_EQ(handler.calls, std::vector<std::string>{"paint"});
    EXPECT_EQ(defaultProcessed(WM_PAINT), 0);

    handler.calls.clear();
    pumpMessages();
    EXPECT_TRUE(handler.calls.empty()) << "a validated window asks for no further paint";

    handler.answer = false;
    hosttest::expose(window->handle());
    pumpMessages();
    EXPECT_EQ(defaultProcessed(WM_PAINT), 1);
}

TEST(WindowLifetime, MessagesBeforeAndAfterTheObjectGoToTheDefaultProcedure)
{
    hosttest::resetWindows();
    RecordingHandler handler;
    auto window = std::make_unique<EGCWin32Window>(&handler, "t", GAME_STYLE, EGCRectangle(5, 6, 300, 200));
    // Creation and the first move happen before the object is stored: no WM_CREATE, WM_MOVE or WM_SIZE arrives.
    for (const std::string& call : handler.calls)
        EXPECT_TRUE(call.rfind("move", 0) != 0 && call.rfind("size", 0) != 0) << call;

    const HWND handle = window->handle();
    window.reset();
    handler.calls.clear();
    const MSG msg{handle, WM_KEYDOWN, 'A', MAKELPARAM(1, 0), 0, {0, 0}};
    DispatchMessageA(&msg);
    EXPECT_TRUE(handler.calls.empty());
    hosttest::resetWindows();
}

TEST(WindowLifetime, TwoWindowsRegisterClassesOfTheirOwn)
{
    hosttest::resetWindows();
    RecordingHandler first;
    RecordingHandler second;
    EGCWin32Window a(&first, "a", GAME_STYLE, EGCRectangle(0, 0, 100, 100));
    EGCWin32Window b(&second, "b", GAME_STYLE, EGCRectangle(0, 0, 100, 100));
    ASSERT_NE(a.handle(), nullptr);
    ASSERT_NE(b.handle(), nullptr);
    first.calls.clear();
    second.calls.clear();
    const MSG msg{b.handle(), WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
    DispatchMessageA(&msg);
    EXPECT_TRUE(first.calls.empty());
    EXPECT_EQ(second.calls, std::vector<std::string>{"leftDown"});
    hosttest::resetWindows();
}

TEST_F(WindowTest, PlacementAndStates)
{
    window->setPosition(EGCPoint(40, 30));
    EXPECT_EQ(window->position().x(), 40);
    EXPECT_EQ(window->size().x(), 320);
    EXPECT_EQ(window->size().y(), 200);

    window->setSize(EGCPoint(640, 480));
    const EGCRectangle rectangle = window->rectangle();
    EXPECT_EQ(rectangle.x(), 40);
    EXPECT_EQ(rectangle.width(), 640);
    EXPECT_EQ(window->clientSize().x(), 640);
    EXPECT_EQ(window->clientPosition().x(), 0);
    EXPECT_EQ(window->state(), NORMAL_WINDOW_STATE);

    window->setState(0);
    window->setState(5);
    EXPECT_EQ(window->rectangle().width(), 640);

    window->setState(MINIMIZED_WINDOW_STATE);
    EXPECT_EQ(window->state(), MINIMIZED_WINDOW_STATE);
    window->setState(NORMAL_WINDOW_STATE);
    EXPECT_EQ(window->state(), NORMAL_WINDOW_STATE);

    window->setState(FULL_SCREEN_WINDOW_STATE);
    EXPECT_EQ(window->rectangle().width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(window->state(), FULL_SCREEN_WINDOW_STATE);
    window->setState(MAXIMIZED_WINDOW_STATE);
    if (window->rectangle().x() == 0 && window->rectangle().width() == GetSystemMetrics(SM_CXSCREEN) &&
        window->rectangle().height() == GetSystemMetrics(SM_CYSCREEN))
        EXPECT_EQ(window->state(), FULL_SCREEN_WINDOW_STATE) << "a window covering the screen is full screen";
    else
        EXPECT_EQ(window->state(), MAXIMIZED_WINDOW_STATE);
}

TEST_F(WindowTest, TitleIsTheWindowsOwnCopy)
{
    std::string text = "Quillom";
    window->setTitle(text.c_str());
    text[0] = 'X';
    EXPECT_STREQ(window->title(), "Quillom");
}

TEST_F(WindowTest, RegistrationsPassToTheHeldHandler)
{
    EGCCompositeMessageHandler composite;
    RecordingHandler registered;
    window->setMessageHandler(&composite);
    window->addMessageHandler(&registered);
    dispatch(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(registered.calls, std::vector<std::string>{"leftUp"});

    window->removeMessageHandler(&registered);
    dispatch(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(registered.calls.size(), 1u);

    window->setMessageHandler(nullptr);
    EXPECT_EQ(window->messageHandler(), nullptr);
    dispatch(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(defaultProcessed(WM_LBUTTONUP), 2);
    EXPECT_EQ(thrownBy([&] { window->addMessageHandler(&registered); }), "Assertion failure: mMessageHandler");
    EXPECT_EQ(thrownBy([&] { window->removeMessageHandler(&registered); }), "Assertion failure: mMessageHandler");
}

} // namespace
