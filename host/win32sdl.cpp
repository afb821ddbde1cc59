// SDL starts lazily, on the first call that needs a subsystem.

#include "host/hostwin32.h"

#include <SDL.h>

bool hostStartSDL(std::uint32_t subsystems)
{
    if (SDL_WasInit(subsystems) == subsystems)
    {
        return true;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(subsystems) == 0;
}
