#include "host/shownwindow.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <vector>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>

namespace
{

struct X11Window
{
    Display* display = nullptr;
    ::Window window = 0;
};

X11Window x11Window(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
    {
        return {};
    }
    return {info.info.x11.display, info.info.x11.window};
}

int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}

// A property of 32-bit items (atoms, windows); empty when the window has none or is gone: a window manager that
// ended without a word leaves its check window's number on the root window.
std::vector<unsigned long> property(Display* display, ::Window window, const char* name, Atom type)
{
    XSync(display, False);
    const auto previousHandler = XSetErrorHandler(&ignoreError);
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type, &actualType,
                           &format, &count, &remaining, &data) == Success &&
        data != nullptr)
    {
        if (actualType == type && format == 32)
        {
            // Xlib hands 32-bit items over as longs.
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items.assign(values, values + count);
        }
        XFree(data);
    }
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    return items;
}

bool lists(const std::vector<unsigned long>& atoms, Display* display, const char* name)
{
    return std::ranges::find(atoms, XInternAtom(display, name, False)) != atoms.end();
}

} // namespace
#endif

SDL_Rect hostShownRect(SDL_Window* window)
{
    SDL_Rect shown{};
    SDL_GetWindowPosition(window, &shown.x, &shown.y);
    SDL_GetWindowSize(window, &shown.w, &shown.h);
#if defined(SDL_VIDEO_DRIVER_X11)
    if (const X11Window x11 = x11Window(window); x11.display)
    {
        XWindowAttributes attributes;
        ::Window child;
        int x = 0;
        int y = 0;
        // Past the requests still queued, so that the answer is the server's present one.
        XSync(x11.display, False);
        if (XGetWindowAttributes(x11.display, x11.window, &attributes) != 0 &&
            XTranslateCoordinates(x11.display, x11.window, attributes.root, 0, 0, &x, &y, &child) != 0)
        {
            shown = {x, y, attributes.width, attributes.height};
        }
    }
#endif
    return shown;
}

bool hostWindowManagerRuns(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    // Asked anew each time: a window manager may start or end while the program runs, and the answer costs a
    // few round trips to the server.
    if (const X11Window x11 = x11Window(window); x11.display)
    {
        const ::Window root = DefaultRootWindow(x11.display);
        const std::vector<unsigned long> check = property(x11.display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
        // A running manager's check window names itself.
        return check.size() == 1 &&
               property(x11.display, check.front(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check &&
               lists(property(x11.display, root, "_NET_SUPPORTED", XA_ATOM), x11.display, "_NET_WM_STATE_FULLSCREEN");
    }
#endif
    return true;
}

bool hostWindowManagerHoldsFullScreen(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    if (const X11Window x11 = x11Window(window); x11.display)
    {
        return lists(property(x11.display, x11.window, "_NET_WM_STATE", XA_ATOM), x11.display,
                     "_NET_WM_STATE_FULLSCREEN");
    }
#endif
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}
