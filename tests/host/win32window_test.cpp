#include "host/hostwin32.h"

#include "tests/host/hostfixture.h"

#include <SDL.h>

#include <utility>
#include <vector>

namespace
{

using Window = HostWindowTest;
using hosttest::Route;

// The program's window procedure: its object's address sits in the extra bytes once construction ends;
// until then every message goes to the default procedure.
int gRoutedToObject = 0;
LRESULT CALLBACK objectProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetWindowLongPtrA(window, 0) != 0)
    {
        ++gRoutedToObject;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST_F(Window, MessagesSentWhileBuildingReachTheProcedureBeforeTheObjectIsStored)
{
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = &objectProcedure;
    windowClass.cbWndExtra = 4; // as on the 32-bit original; a pointer still fits
    windowClass.lpszClassName = "object class";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    gRoutedToObject = 0;
    HWND window = CreateWindowExA(0, "object class", "Quillom 1.0", WS_POPUP | WS_CAPTION, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    MoveWindow(window, 10, 20, 800, 600, TRUE);
    EXPECT_EQ(gRoutedToObject, 0);
    int object = 0;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(&object));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    EXPECT_EQ(gRoutedToObject, 3); // WM_ACTIVATEAPP, WM_ACTIVATE, WM_PAINT

    std::vector<UINT> sent;
    for (const auto& logged : received({WM_CREATE, WM_MOVE, WM_SIZE, WM_ACTIVATEAPP, WM_ACTIVATE, WM_PAINT}))
    {
        sent.push_back(logged.message);
    }
    EXPECT_EQ(sent, (std::vector<UINT>{WM_CREATE, WM_MOVE, WM_SIZE, WM_ACTIVATEAPP, WM_ACTIVATE, WM_PAINT}));
    EXPECT_STREQ(SDL_GetWindowTitle(hostSDLWindow(window)), "Quillom 1.0");
}

TEST_F(Window, StylesChooseDecorationAndStacking)
{
    struct Case
    {
        DWORD style;
        DWORD exStyle;
        Uint32 expected;
    };
    const Case cases[] = {
        {WS_POPUP | WS_CAPTION, WS_EX_TOPMOST, SDL_WINDOW_ALWAYS_ON_TOP},
        {WS_POPUP, 0, SDL_WINDOW_BORDERLESS},
        {WS_SYSMENU | WS_CAPTION | WS_THICKFRAME, 0, SDL_WINDOW_RESIZABLE},
    };
    constexpr Uint32 examined = SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE;
    for (const Case& c : cases)
    {
        HWND window = createWindow(c.style, 0, c.exStyle);
        EXPECT_EQ(SDL_GetWindowFlags(hostSDLWindow(window)) & examined, c.expected) << std::hex << c.style;
    }
}

TEST_F(Window, RectanglesFollowMovesAndTheStates)
{
    HWND window = openWindow();
    MoveWindow(window, 30, 40, 640, 480, TRUE);
    RECT outer{};
    RECT client{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ((std::vector<LONG>{outer.left, outer.top, outer.right, outer.bottom}),
              (std::vector<LONG>{30, 40, 670, 520}));
    EXPECT_EQ((std::vector<LONG>{client.left, client.top, client.right, client.bottom}),
              (std::vector<LONG>{0, 0, 640, 480}));

    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_FALSE(IsIconic(window));

    // A minimised window sits off the desktop, so that it never looks like one covering the screen.
    MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(hostWindowIsMinimised(window));
    EXPECT_FALSE(hostWindowHasFocus(window));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_LT(outer.left, -10000);

    ShowWindow(window, SW_RESTORE);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(hostWindowHasFocus(window));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(Window, MovesAndSizesAreReportedOnlyWhenTheyChange)
{
    HWND window = openWindow();
    MoveWindow(window, 0, 0, 320, 200, FALSE);
    EXPECT_TRUE(received({WM_MOVE, WM_SIZE}).empty());
    MoveWindow(window, 5, 0, 320, 200, FALSE);
    MoveWindow(window, 5, 0, 800, 600, FALSE);
    const auto sent = received({WM_MOVE, WM_SIZE});
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, WM_MOVE);
    EXPECT_EQ(sent[0].lParam, MAKELPARAM(5, 0));
    EXPECT_EQ(sent[1].message, WM_SIZE);
    EXPECT_EQ(sent[1].lParam, MAKELPARAM(800, 600));
}

TEST_F(Window, DesktopSizeIsTheDisplays)
{
    SDL_DisplayMode mode{};
    ASSERT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), mode.w);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), mode.h);
    EXPECT_EQ(GetSystemMetrics(42), 0);
}

TEST_F(Window, ExtraBytesHoldAPointerAndRefuseIndicesOutside)
{
    HWND window = createWindow();
    int object = 0;
    const auto address = reinterpret_cast<LONG_PTR>(&object);
    EXPECT_EQ(SetWindowLongPtrA(window, 0, address), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 0), address);
    EXPECT_EQ(SetWindowLongPtrA(window, 0, 0), address);
    EXPECT_EQ(SetWindowLongA(window, 0, 7), 0);
    EXPECT_EQ(GetWindowLongA(window, 0), 7);
    EXPECT_EQ(SetWindowLongPtrA(window, 8, address), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 8), 0);
    EXPECT_EQ(GetWindowLongA(window, -4), 0);
    EXPECT_EQ(GetWindowLongPtrA(nullptr, 0), 0);
}

TEST_F(Window, WindowsCountUntilTheTestSeamDestroysThem)
{
    EXPECT_EQ(hosttest::openWindows(), 0u);
    createWindow();
    createWindow();
    EXPECT_EQ(hosttest::openWindows(), 2u);
    hosttest::resetWindows();
    EXPECT_EQ(hosttest::openWindows(), 0u);
}

TEST_F(Window, ClassesAreFoundByNameAndRegisteredOnce)
{
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = &procedure;
    windowClass.lpszClassName = "GUIALWINDOW(4194304,1)";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    windowClass.lpszClassName = "GUIALWINDOW(4194304,2)";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    windowClass.lpfnWndProc = nullptr;
    windowClass.lpszClassName = "no procedure";
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "unknown", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Window, StockIconsAndCursorsLoad)
{
    EXPECT_NE(LoadIconA(nullptr, IDI_WINLOGO), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "no such resource"), nullptr);
}

TEST_F(Window, CloseRequestIsIgnoredWithoutASystemMenu)
{
    HWND plain = openWindow();
    hosttest::requestClose(plain);
    pump();
    ASSERT_EQ(received({WM_CLOSE}).size(), 1u);
    EXPECT_NE(hostSDLWindow(plain), nullptr);
    EXPECT_TRUE(received({WM_DESTROY}).empty());

    HWND closable = createWindow(WS_SYSMENU | WS_CAPTION);
    hosttest::requestClose(closable);
    pump();
    EXPECT_EQ(received({WM_DESTROY}).size(), 1u);
    EXPECT_EQ(hostSDLWindow(closable), nullptr);
    RECT gone{};
    EXPECT_FALSE(GetClientRect(closable, &gone));
}

TEST_F(Window, ActivationMovesBetweenTheProgramsWindowsWithoutLeavingTheForeground)
{
    HWND first = openWindow();
    HWND second = createWindow();
    ShowWindow(second, SW_SHOWNORMAL);
    EXPECT_FALSE(hostWindowHasFocus(first));
    EXPECT_TRUE(hostWindowHasFocus(second));
    std::vector<std::pair<HWND, UINT>> seen;
    for (const auto& logged : received({WM_ACTIVATE, WM_ACTIVATEAPP}))
    {
        seen.emplace_back(logged.window, logged.message);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{first, WM_ACTIVATE}, {second, WM_ACTIVATE}}));
}

TEST_F(Window, FullScreenComesFromTheWindowManagerWhenThereIsOneAndAtOnceWhenThereIsNone)
{
    struct Case
    {
        const char* name;
        bool managerRuns;
        LONGLONG answerMilliseconds; // negative: never
        int x;                       // where the window opens
        bool managerHolds;           // otherwise the host placed the window
        LONGLONG waitAtMostMilliseconds;
    };
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const Case cases[] = {
        {"no window manager", false, 0, 40, false, 0},
        {"a prompt window manager", true, 0, 40, true, 0},
        {"a window manager with an animated transition", true, 600, 40, true, 605},
        {"a window manager that does not answer", true, -1, 40, false, 5000},
        {"a window opened on a second display", true, 0, width + 40, true, 0},
    };
    const auto isShownAt = [](HWND window, const RECT& place)
    {
        const RECT shown = hosttest::shownRectangle(window);
        RECT rectangle{};
        GetWindowRect(window, &rectangle);
        return shown.left == place.left && shown.top == place.top && shown.right == place.right &&
               shown.bottom == place.bottom && rectangle.left == place.left && rectangle.top == place.top &&
               rectangle.right == place.right && rectangle.bottom == place.bottom;
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        hosttest::resetWindows();
        hosttest::useVirtualClock();
        hosttest::simulateWindowManager(c.managerRuns, c.answerMilliseconds);
        HWND window = openWindow();
        MoveWindow(window, c.x, 30, 160, 120, TRUE);
        pump();

        hostEnterFullScreen(window);
        pump();
        EXPECT_TRUE(isShownAt(window, {0, 0, width, height}));
        EXPECT_EQ(hosttest::windowManagerHoldsFullScreen(window), c.managerHolds);
        EXPECT_LE(hosttest::sleptMilliseconds(), c.waitAtMostMilliseconds);

        // Back where it was, or, when it had to come to the primary display first, where it came to.
        hostLeaveFullScreen(window);
        pump();
        const int left = c.x < width ? c.x : (width - 160) / 2;
        const int top = c.x < width ? 30 : (height - 120) / 2;
        EXPECT_TRUE(isShownAt(window, {left, top, left + 160, top + 120}));
        EXPECT_FALSE(hosttest::windowManagerHoldsFullScreen(window));
    }
    hosttest::useRealClock();
}
