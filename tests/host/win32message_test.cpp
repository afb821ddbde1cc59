#include "host/dinput8.h"

#include "tests/host/hostfixture.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace
{

using Messages = HostWindowTest;

constexpr DWORD REPEAT_MASK = 0xFFFF;
constexpr DWORD PREVIOUSLY_DOWN = 1u << 30;
constexpr DWORD RELEASING = 1u << 31;
constexpr DWORD EXTENDED = 1u << 24;

DWORD bits(LPARAM lParam)
{
    return static_cast<DWORD>(lParam);
}

} // namespace

TEST_F(Messages, AutoRepeatGivesOneKeyDownPerRepeatWithACountOfOne)
{
    openWindow();
    hosttest::pressKey('A');
    hosttest::pressKey('A', true);
    hosttest::pressKey('A', true);
    hosttest::releaseKey('A');
    pump();
    const auto keys = received({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 4u);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(keys[i].message, WM_KEYDOWN);
        EXPECT_EQ(keys[i].wParam, WPARAM{'A'});
        EXPECT_EQ(bits(keys[i].lParam) & REPEAT_MASK, 1u);
        EXPECT_EQ((bits(keys[i].lParam) & PREVIOUSLY_DOWN) != 0, i > 0) << i;
        EXPECT_EQ(bits(keys[i].lParam) >> 16 & 0xFF, DWORD{DIK_A});
    }
    EXPECT_EQ(keys[3].message, WM_KEYUP);
    EXPECT_EQ(bits(keys[3].lParam) & (PREVIOUSLY_DOWN | RELEASING), PREVIOUSLY_DOWN | RELEASING);
}

TEST_F(Messages, KeysWhileAltIsHeldComeAsSystemKeys)
{
    openWindow();
    hosttest::pressKey(VK_MENU);
    hosttest::pressKey(VK_F4);
    hosttest::releaseKey(VK_F4);
    hosttest::releaseKey(VK_MENU);
    hosttest::pressKey(VK_F4);
    pump();
    const auto keys = received({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP});
    ASSERT_EQ(keys.size(), 5u);
    const std::pair<UINT, WPARAM> expected[] = {{WM_SYSKEYDOWN, VK_MENU},
                                                {WM_SYSKEYDOWN, VK_F4},
                                                {WM_SYSKEYUP, VK_F4},
                                                {WM_SYSKEYUP, VK_MENU},
                                                {WM_KEYDOWN, VK_F4}};
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        EXPECT_EQ(keys[i].message, expected[i].first) << i;
        EXPECT_EQ(keys[i].wParam, expected[i].second) << i;
    }
}

TEST_F(Messages, VirtualKeysNameTheKeyAndExtendedKeysAreMarked)
{
    struct Case
    {
        int dik;
        WPARAM virtualKey;
        bool extended;
    };
    const Case cases[] = {
        {DIK_RCONTROL, VK_CONTROL, true},
        {DIK_NUMPADENTER, VK_RETURN, true},
        {DIK_UP, VK_UP, true},
        {DIK_NUMPAD7, VK_NUMPAD7, false},
        {DIK_0, '0', false},
        {DIK_F12, VK_F12, false},
        {DIK_DECIMAL, VK_DECIMAL, false},
        {DIK_SLASH, VK_OEM_2, false},
    };
    openWindow();
    for (const Case& c : cases)
    {
        hosttest::clearMessageLog();
        hosttest::pressKeyDik(c.dik);
        pump();
        const auto keys = received({WM_KEYDOWN});
        ASSERT_EQ(keys.size(), 1u) << c.dik;
        EXPECT_EQ(keys[0].wParam, c.virtualKey) << c.dik;
        EXPECT_EQ((bits(keys[0].lParam) & EXTENDED) != 0, c.extended) << c.dik;
        hosttest::releaseKeyDik(c.dik);
    }
}

TEST_F(Messages, LettersKeepTheirKeyAndTheTypedCharacterFollowsThroughTranslation)
{
    openWindow();
    hosttest::pressKey(VK_SHIFT);
    hosttest::pressKey('Q');
    hosttest::typeText("Q");
    hosttest::releaseKey('Q');
    hosttest::releaseKey(VK_SHIFT);
    hosttest::pressKey('Q');
    hosttest::typeText("q");
    pump();
    const auto keys = received({WM_KEYDOWN, WM_CHAR});
    const std::pair<UINT, WPARAM> expected[] = {
        {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'Q'}, {WM_CHAR, 'Q'}, {WM_KEYDOWN, 'Q'}, {WM_CHAR, 'q'}};
    ASSERT_EQ(keys.size(), std::size(expected));
    for (std::size_t i = 0; i < keys.size(); ++i)
    {
        EXPECT_EQ(keys[i].message, expected[i].first) << i;
        EXPECT_EQ(keys[i].wParam, expected[i].second) << i;
    }
}

TEST_F(Messages, OnlyTranslationMakesCharactersOfKeys)
{
    openWindow();
    hosttest::pressKey('E');
    hosttest::typeText("e");
    MSG message;
    std::vector<UINT> seen;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        seen.push_back(message.message);
    }
    EXPECT_EQ(seen, std::vector<UINT>{WM_KEYDOWN});
}

TEST_F(Messages, TypedTextKeepsPrintableLatin1CharactersOnly)
{
    openWindow();
    hosttest::pressKey('E');
    hosttest::typeText("\xC3\xA9\xE2\x82\xAC\t!"); // é, the euro sign, a tab, !
    pump();
    const auto characters = received({WM_CHAR});
    ASSERT_EQ(characters.size(), 2u);
    EXPECT_EQ(characters[0].wParam, WPARAM{0xE9});
    EXPECT_EQ(characters[1].wParam, WPARAM{'!'});
}

TEST_F(Messages, TextWithoutAKeyArrivesAsCharacters)
{
    openWindow();
    hosttest::typeText("ok");
    pump();
    const auto characters = received({WM_CHAR, WM_KEYDOWN});
    ASSERT_EQ(characters.size(), 2u);
    EXPECT_EQ(characters[0].wParam, WPARAM{'o'});
    EXPECT_EQ(characters[1].wParam, WPARAM{'k'});
}

TEST_F(Messages, MouseCoordinatesAreUnsignedWordsOfTheClientArea)
{
    HWND window = openWindow();
    hosttest::moveMouse(window, -1, -32768, 0, 0);
    pump();
    hosttest::moveMouse(window, 799, 599, 0, 0);
    pump();
    const auto moves = received({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(LOWORD(moves[0].lParam), 65535);
    EXPECT_EQ(HIWORD(moves[0].lParam), 32768);
    EXPECT_EQ(LOWORD(moves[1].lParam), 799);
    EXPECT_EQ(HIWORD(moves[1].lParam), 599);
}

TEST_F(Messages, AWaitingMouseMoveIsReplacedByTheNewerOne)
{
    HWND window = openWindow();
    hosttest::moveMouse(window, 1, 1, 1, 1);
    hosttest::moveMouse(window, 2, 2, 1, 1);
    pump();
    const auto moves = received({WM_MOUSEMOVE});
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(2, 2));
}

TEST_F(Messages, ButtonsGiveTheirMessagesAndDoubleClicksNeedTheClassStyle)
{
    struct Case
    {
        int button;
        UINT classStyle;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {1, CS_DBLCLKS, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {2, CS_DBLCLKS, {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MBUTTONUP}},
        {3, CS_DBLCLKS, {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}},
        {1, 0, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
    };
    for (const Case& c : cases)
    {
        hosttest::resetWindows();
        hosttest::recordMessages(true);
        HWND window = openWindow(c.classStyle);
        hosttest::pressMouseButton(window, c.button, 3, 4, 1);
        hosttest::releaseMouseButton(window, c.button, 3, 4);
        hosttest::pressMouseButton(window, c.button, 3, 4, 2);
        hosttest::releaseMouseButton(window, c.button, 3, 4);
        pump();
        std::vector<UINT> seen;
        for (const auto& logged :
             received({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK,
                       WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK}))
        {
            seen.push_back(logged.message);
            EXPECT_EQ(logged.lParam, MAKELPARAM(3, 4));
        }
        EXPECT_EQ(seen, c.expected) << c.button << " " << c.classStyle;
    }
}

TEST_F(Messages, FocusAndMinimisingAreReportedAsActivationAndSize)
{
    HWND window = openWindow();
    hosttest::loseFocus(window);
    hosttest::loseFocus(window); // no change, no message
    hosttest::gainFocus(window);
    hosttest::minimise(window);
    hosttest::restore(window);
    pump();
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const auto& logged : received({WM_ACTIVATE, WM_ACTIVATEAPP, WM_SIZE}))
    {
        seen.emplace_back(logged.message, logged.message == WM_ACTIVATE ? LOWORD(logged.wParam) : logged.wParam);
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_ACTIVATE, WA_INACTIVE}, {WM_ACTIVATEAPP, FALSE},    {WM_ACTIVATEAPP, TRUE},  {WM_ACTIVATE, WA_ACTIVE},
        {WM_SIZE, SIZE_MINIMIZED},  {WM_ACTIVATE, WA_INACTIVE}, {WM_ACTIVATEAPP, FALSE}, {WM_SIZE, SIZE_RESTORED},
        {WM_ACTIVATEAPP, TRUE},     {WM_ACTIVATE, WA_ACTIVE},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(IsIconic(window));
}

TEST_F(Messages, PaintComesLastAndStaysDueUntilValidated)
{
    HWND window = openWindow();
    hosttest::expose(window);
    hosttest::pressKey('A');
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    ValidateRect(window, nullptr);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));

    hosttest::expose(window);
    pump(); // the default procedure validates
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, PeekingFiltersByWindowAndRangeAndCanLeaveTheMessage)
{
    HWND first = openWindow();
    HWND second = createWindow();
    hosttest::moveMouse(second, 1, 1, 0, 0);
    hosttest::pressKey('A'); // the first window has the focus
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, first, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(message.hwnd, second);
    EXPECT_FALSE(PeekMessageA(&message, second, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, WaitReturnsOnceAMessageIsThere)
{
    HWND window = openWindow();
    hosttest::moveMouse(window, 1, 1, 0, 0);
    EXPECT_TRUE(WaitMessage());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
}
