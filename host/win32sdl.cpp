// SDL starts lazily, on the first call that needs a subsystem; a program that shows a window makes sure at its
// start that SDL's video reaches a display.

#include "host/hostwin32.h"
#include "host/quietstderr.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

// SDL's drivers that show nothing: it falls back to offscreen where no display answers, and the others run only
// when asked for.
bool showsWindows(const char* driver)
{
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0 &&
           std::strcmp(driver, "evdev") != 0;
}

// The displays named in the environment, for the line that says none was found.
std::string displaysNamed()
{
    std::string named;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
    {
        const char* value = SDL_getenv(variable);
        if (value != nullptr && *value != '\0')
        {
            named += (named.empty() ? " at " : " or ") + std::string(variable) + "=" + value;
        }
    }
    return named;
}

// Tries SDL's drivers that show windows, in SDL's own order, as SDL would without its offscreen fallback; on
// failure the reasons SDL gave for each. A library's own complaint (Wayland's about a missing XDG_RUNTIME_DIR)
// stays off the standard error, which then holds the one line with SDL's reasons.
bool startDriverThatShowsWindows(std::string& reasons)
{
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
    {
        const char* driver = SDL_GetVideoDriver(i);
        if (!showsWindows(driver))
        {
            continue;
        }
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver, SDL_HINT_OVERRIDE);
        bool started = false;
        {
            const HostQuietStderr quiet;
            started = hostStartSDL(SDL_INIT_VIDEO);
        }
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        if (started)
        {
            return true;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string(SDL_GetError());
    }
    return false;
}

} // namespace

bool hostStartSDL(std::uint32_t subsystems)
{
    if (SDL_WasInit(subsystems) == subsystems)
    {
        return true;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(subsystems) == 0;
}

bool hostVideoShowsWindows()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && showsWindows(driver);
}

bool hostFindDisplay()
{
    // Without a display SDL falls back to its offscreen driver, where the program would run unseen until killed;
    // a driver SDL_VIDEODRIVER asks for runs, whether or not it shows windows.
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    std::string reasons;
    if (asked != nullptr && *asked != '\0')
    {
        if (hostStartSDL(SDL_INIT_VIDEO))
        {
            return true;
        }
        reasons = SDL_GetError();
    }
    else if (startDriverThatShowsWindows(reasons))
    {
        return true;
    }
    const std::string named = displaysNamed();
    std::fprintf(stderr, "No display was found%s (%s): %s.\n", named.c_str(), reasons.c_str(),
                 named.empty() ? "start the program in a desktop session, or set DISPLAY (X11) or WAYLAND_DISPLAY "
                                 "(Wayland) to the display to show it on"
                               : "check that the display runs and lets this user in, or start the program in a "
                                 "desktop session");
    return false;
}
