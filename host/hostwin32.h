#pragma once
// The Win32 stand-in as the other parts of the host layer see it; not for program code.

#include "host/win32.h"

#include <cstdint>

/// Whether the test seam's virtual clock is on (see host/testing.h).
bool hostClockIsVirtual();
/// Advances the virtual clock by the given nanoseconds; does nothing while the real clock runs.
void hostAdvanceVirtualClock(LONGLONG nanoseconds);

/// Starts the SDL subsystems given (SDL_INIT_* flags) unless they run already, leaving the SIGINT and
/// SIGTERM handlers at their defaults so that Ctrl+C still ends the process; false when SDL fails.
bool hostStartSDL(std::uint32_t subsystems);
