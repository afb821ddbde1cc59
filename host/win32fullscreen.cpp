// A full-screen device's window covers the primary display, as the platform's full-screen devices do. SDL's
// desktop full screen needs a window manager to carry it out; without one (a bare X session, a kiosk) the host
// places the window over the display itself.

#include "host/hostwin32.h"
#include "host/shownwindow.h"
#include "host/testing.h"
#include "host/win32state.h"

namespace
{

// How long a window manager gets to carry out the request: it takes a few milliseconds.
constexpr int FULL_SCREEN_LOOKS = 50;
constexpr DWORD FULL_SCREEN_LOOK_MILLISECONDS = 5;

bool gIgnoreFullScreenRequests = false; // test seam: a display without a window manager

bool covers(const SDL_Rect& shown, const SDL_Rect& display)
{
    return shown.x == display.x && shown.y == display.y && shown.w == display.w && shown.h == display.h;
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
    if (!gIgnoreFullScreenRequests)
    {
        SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    for (int look = 0; look < FULL_SCREEN_LOOKS; ++look)
    {
        if (covers(hostShownRect(window->sdl), display))
        {
            window->needsPaint = true;
            hostRecordRectangle(*window, {display.x, display.y, display.x + display.w, display.y + display.h});
            return;
        }
        Sleep(FULL_SCREEN_LOOK_MILLISECONDS);
    }
    // Nobody answered: a borderless window on top of the others, over the whole display.
    SDL_SetWindowFullscreen(window->sdl, 0);
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
        SDL_SetWindowFullscreen(window->sdl, 0);
        return;
    }
    window->placedFullScreen = false;
    SDL_SetWindowBordered(window->sdl, (window->style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    const RECT& r = window->rectangleBeforeFullScreen;
    MoveWindow(handle, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

namespace hosttest
{

void ignoreFullScreenRequests(bool on)
{
    gIgnoreFullScreenRequests = on;
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
