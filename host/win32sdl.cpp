// SDL starts lazily, on the first call that needs a subsystem; a program that shows a window makes sure at its
// start that SDL's video reaches a display.

#include "host/hostwin32.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace
{

// Whether SDL_VIDEODRIVER names the driver: a list separated by commas, in any case, as SDL reads it.
bool driverWasAsked(const char* driver)
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (asked == nullptr)
    {
        return false;
    }
    const std::string_view list = asked;
    const std::size_t length = std::strlen(driver);
    for (std::size_t start = 0; start <= list.size();)
    {
        const std::size_t end = std::min(list.find(',', start), list.size());
        if (end - start == length && SDL_strncasecmp(list.data() + start, driver, length) == 0)
        {
            return true;
        }
        start = end + 1;
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
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

bool hostFindDisplay()
{
    // Without a display SDL falls back to its offscreen driver, where the program would run unseen until killed.
    const bool started = hostStartSDL(SDL_INIT_VIDEO);
    if (started && (hostVideoShowsWindows() || driverWasAsked(SDL_GetCurrentVideoDriver())))
    {
        return true;
    }
    const std::string reason = started ? "" : std::string(" (") + SDL_GetError() + ")";
    std::fprintf(stderr,
                 "No display was found%s: start the program in a desktop session, or set DISPLAY (X11) or "
                 "WAYLAND_DISPLAY (Wayland) to the display to show it on.\n",
                 reason.c_str());
    return false;
}
