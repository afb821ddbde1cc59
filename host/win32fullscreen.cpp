// A full-screen device's window covers the primary display, as the platform's full-screen devices do. SDL's
// desktop full screen needs a window manager to carry it out; without one (a bare X session, a kiosk) the host
// places the window over the display itself, at once.

#include "host/hostwin32.h"
#include "host/shownwindow.h"
#include "host/testing.h"
#include "host/win32state.h"

#include <algorithm>

namespace
{

// How long a window manager gets to carry out the request: a few milliseconds usually, up to about a second
// with animated transitions.
constexpr LONGLONG MANAGER_ANSWER_NANOSECONDS = 2'000'000'000;
constexpr DWORD LOOK_MILLISECONDS = 5;

// The test seam's window manager, in place of the display's own (see hosttest::simulateWindowManager).
struct StandInManager
{
    bool on = false;
    bool runs = true;
    LONGLONG answerNanoseconds = 0; // negative: never
    SDL_Window* asking = nullptr;   // the window whose request awaits its answer
    LONGLONG askedAt = 0;           // nanoseconds
    SDL_Window* holding = nullptr;  // the window it holds full screen
    SDL_Rect holdingBefore{};       // where that window goes back to
};

StandInManager gStandIn;

LONGLONG nowNanoseconds()
{
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count); // nanoseconds
    return count.QuadPart;
}

bool covers(const SDL_Rect& shown, const SDL_Rect& display)
{
    return shown.x == display.x && shown.y == display.y && shown.w == display.w && shown.h == display.h;
}

// Where the stand-in puts a window. The host hears of it at once: the dummy display does not report moves.
void putAt(SDL_Window* window, const SDL_Rect& place)
{
    SDL_SetWindowPosition(window, place.x, place.y);
    SDL_SetWindowSize(window, place.w, place.h);
    if (HostWindow* record = hostFindSDLWindow(SDL_GetWindowID(window)))
    {
        hostRecordRectangle(*record, {place.x, place.y, place.x + place.w, place.y + place.h});
    }
}

// The stand-in fills the display the window's centre is on: the primary one, or one of its size to its right,
// which SDL's dummy display does not know.
void standInAnswers()
{
    SDL_Rect display{};
    if (!gStandIn.asking || gStandIn.answerNanoseconds < 0 ||
        nowNanoseconds() - gStandIn.askedAt < gStandIn.answerNanoseconds || SDL_GetDisplayBounds(0, &display) != 0)
    {
        return;
    }
    SDL_Window* window = gStandIn.asking;
    gStandIn.asking = nullptr;
    gStandIn.holding = window;
    gStandIn.holdingBefore = hostShownRect(window);
    const int centre = gStandIn.holdingBefore.x + gStandIn.holdingBefore.w / 2;
    const int column = std::max(0, (centre - display.x) / display.w);
    putAt(window, {display.x + column * display.w, display.y, display.w, display.h});
}

bool managerRuns(const HostWindow& window)
{
    return gStandIn.on ? gStandIn.runs : hostWindowManagerRuns(window.sdl);
}

bool managerHolds(const HostWindow& window)
{
    return gStandIn.on ? gStandIn.holding == window.sdl : hostWindowManagerHoldsFullScreen(window.sdl);
}

void askManager(const HostWindow& window, bool fullScreen)
{
    if (!gStandIn.on)
    {
        SDL_SetWindowFullscreen(window.sdl, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        return;
    }
    gStandIn.asking = fullScreen ? window.sdl : nullptr;
    gStandIn.askedAt = nowNanoseconds();
    if (!fullScreen && gStandIn.holding == window.sdl)
    {
        gStandIn.holding = nullptr;
        putAt(window.sdl, gStandIn.holdingBefore);
    }
    standInAnswers();
}

// Whether the window manager took the window full screen: it covers the display, or, when the time is up, the
// manager still holds it so, which the host then leaves alone.
bool managerTookFullScreen(HostWindow& window, const SDL_Rect& display)
{
    const LONGLONG askedAt = nowNanoseconds();
    for (;;)
    {
        standInAnswers();
        if (covers(hostShownRect(window.sdl), display))
        {
            window.needsPaint = true;
            hostRecordRectangle(window, {display.x, display.y, display.x + display.w, display.y + display.h});
            return true;
        }
        if (nowNanoseconds() - askedAt >= MANAGER_ANSWER_NANOSECONDS)
        {
            return managerHolds(window);
        }
        Sleep(LOOK_MILLISECONDS);
    }
}

} // namespace

void hostEnterFullScreen(HWND handle)
{
    HostWindow* window = hostFindWindow(handle);
    SDL_Rect display{};
    if (!window || SDL_GetDisplayBounds(0, &display) != 0)
    {
        return;
    }
    const RECT before = window->rectangle;
    // Window managers fill the display the window is on; the device's is display 0.
    const SDL_Rect shown = hostShownRect(window->sdl);
    const SDL_Point centre{shown.x + shown.w / 2, shown.y + shown.h / 2};
    if (!SDL_PointInRect(&centre, &display))
    {
        MoveWindow(handle, display.x + (display.w - shown.w) / 2, display.y + (display.h - shown.h) / 2,
                   before.right - before.left, before.bottom - before.top, TRUE);
    }
    if (managerRuns(*window))
    {
        askManager(*window, true);
        if (managerTookFullScreen(*window, display))
        {
            return;
        }
        askManager(*window, false);
    }
    // Nobody to ask, or nobody answered: a borderless window on top of the others, over the whole display.
    window->placedFullScreen = true;
    window->rectangleBeforeFullScreen = before;
    SDL_SetWindowBordered(window->sdl, SDL_FALSE);
    MoveWindow(handle, display.x, display.y, display.w, display.h, TRUE);
    SDL_RaiseWindow(window->sdl);
}

void hostLeaveFullScreen(HWND handle)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return;
    }
    if (!window->placedFullScreen)
    {
        askManager(*window, false);
        return;
    }
    window->placedFullScreen = false;
    SDL_SetWindowBordered(window->sdl, (window->style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    const RECT& r = window->rectangleBeforeFullScreen;
    MoveWindow(handle, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void hostResetFullScreen()
{
    gStandIn = StandInManager{};
}

namespace hosttest
{

void simulateWindowManager(bool runs, LONGLONG answerMilliseconds)
{
    // A window it holds full screen stays so: a test may change the manager's ways between devices.
    gStandIn.on = true;
    gStandIn.runs = runs;
    gStandIn.answerNanoseconds = answerMilliseconds < 0 ? -1 : answerMilliseconds * 1'000'000;
}

bool windowManagerHoldsFullScreen(HWND window)
{
    const HostWindow* record = hostFindWindow(window);
    return record && managerHolds(*record);
}

RECT shownRectangle(HWND window)
{
    SDL_Window* sdl = hostSDLWindow(window);
    if (!sdl)
    {
        return {};
    }
    const SDL_Rect shown = hostShownRect(sdl);
    return {shown.x, shown.y, shown.x + shown.w, shown.y + shown.h};
}

} // namespace hosttest
