#include "host/shownwindow.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <vector>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

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

bool managerRuns(Display* display)
{
    const ::Window root = DefaultRootWindow(display);
    const std::vector<unsigned long> check = property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    // A running manager's check window names itself.
    return check.size() == 1 && property(display, check.front(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check &&
           lists(property(display, root, "_NET_SUPPORTED", XA_ATOM), display, "_NET_WM_STATE_FULLSCREEN");
}

// While it lives, the first window mapped on the root of the X display gets the input focus, where no window
// manager runs to hand it over. A connection of its own, watched by a thread of its own: SDL's message box blocks
// the caller until it is closed.
class FocusFirstMapped
{
public:
    FocusFirstMapped()
    {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver == nullptr || std::strcmp(driver, "x11") != 0 || (mDisplay = XOpenDisplay(nullptr)) == nullptr)
        {
            return;
        }
        if (managerRuns(mDisplay) || pipe2(mWake, O_CLOEXEC) != 0)
        {
            XCloseDisplay(mDisplay);
            mDisplay = nullptr;
            return;
        }
        // Before the box exists, so that its mapping cannot be missed.
        XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
        XSync(mDisplay, False);
        mWatcher = std::thread([this] { focusFirstMapped(); });
        // SDL's X11 box runs in a child process: the fork must not catch the thread starting up, holding the
        // allocator's locks, so the box waits until the thread sleeps (or is done).
        mAsleep.wait(false);
    }

    ~FocusFirstMapped()
    {
        if (mWatcher.joinable())
        {
            const char wake = 0;
            (void)!write(mWake[1], &wake, 1);
            mWatcher.join();
            close(mWake[0]);
            close(mWake[1]);
        }
        if (mDisplay)
        {
            XCloseDisplay(mDisplay);
        }
    }

    FocusFirstMapped(const FocusFirstMapped&) = delete;
    FocusFirstMapped& operator=(const FocusFirstMapped&) = delete;

private:
    // Ends at the first mapping or when woken: the box may close, or never open, without a window being mapped.
    void focusFirstMapped()
    {
        pollfd waits[2] = {{ConnectionNumber(mDisplay), POLLIN, 0}, {mWake[0], POLLIN, 0}};
        const auto letTheBoxCome = [this]
        {
            mAsleep = true;
            mAsleep.notify_one();
        };
        for (;;)
        {
            while (XPending(mDisplay) > 0)
            {
                XEvent event;
                XNextEvent(mDisplay, &event);
                if (event.type == MapNotify && !event.xmap.override_redirect)
                {
                    // The window may be gone again already.
                    XSync(mDisplay, False);
                    const auto previousHandler = XSetErrorHandler(&ignoreError);
                    XSetInputFocus(mDisplay, event.xmap.window, RevertToPointerRoot, CurrentTime);
                    XSync(mDisplay, False);
                    XSetErrorHandler(previousHandler);
                    letTheBoxCome();
                    return;
                }
            }
            letTheBoxCome();
            if ((poll(waits, 2, -1) < 0 && errno != EINTR) || waits[1].revents != 0)
            {
                return;
            }
        }
    }

    Display* mDisplay = nullptr;
    int mWake[2] = {-1, -1}; // a byte in it ends the thread
    std::atomic<bool> mAsleep = false;
    std::thread mWatcher;
};

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
        return managerRuns(x11.display);
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

void hostShowMessageBox(Uint32 flags, const char* title, const char* text)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    const FocusFirstMapped focus;
#endif
    SDL_ShowSimpleMessageBox(flags, title, text, nullptr);
}
