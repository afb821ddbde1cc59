#include "host/shownwindow.h"

#include <SDL_syswm.h>

SDL_Rect hostShownRect(SDL_Window* window)
{
    SDL_Rect shown{};
    SDL_GetWindowPosition(window, &shown.x, &shown.y);
    SDL_GetWindowSize(window, &shown.w, &shown.h);
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
    {
        Display* display = info.info.x11.display;
        XWindowAttributes attributes;
        ::Window child;
        int x = 0;
        int y = 0;
        // Past the requests still queued, so that the answer is the server's present one.
        XSync(display, False);
        if (XGetWindowAttributes(display, info.info.x11.window, &attributes) != 0 &&
            XTranslateCoordinates(display, info.info.x11.window, attributes.root, 0, 0, &x, &y, &child) != 0)
        {
            shown = {x, y, attributes.width, attributes.height};
        }
    }
#endif
    return shown;
}
