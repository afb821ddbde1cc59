#pragma once
// The Win32 stand-in as the other parts of the host layer see it; not for program code.
// A window's client size is GetClientRect's; SDL events belong to the Win32 stand-in's pump alone.

#include "host/win32.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct SDL_Window;

/// Starts the SDL subsystems given (SDL_INIT_* flags) unless they run already, leaving the SIGINT and
/// SIGTERM handlers at their defaults so that Ctrl+C still ends the process; false when SDL fails.
bool hostStartSDL(std::uint32_t subsystems);
/// Whether SDL's video runs on a driver that shows windows to someone (not its offscreen or dummy driver).
bool hostVideoShowsWindows();
/// Starts SDL's video for a program that shows a window: true when it shows windows to someone, or to no one
/// because SDL_VIDEODRIVER asked for that driver; otherwise says on stderr, in one line, that no display was
/// found, which display DISPLAY or WAYLAND_DISPLAY named, SDL's reasons and what to do, and answers false.
bool hostFindDisplay();

/// The SDL window that shows the window; null for an unknown handle. The Win32 stand-in owns it.
SDL_Window* hostSDLWindow(HWND window);
/// Whether the window is minimised (the same as IsIconic).
bool hostWindowIsMinimised(HWND window);
/// Whether the window is the active one, with the input focus; it loses it when the player switches away.
bool hostWindowHasFocus(HWND window);

/// Makes the window cover the primary display for a full-screen device: SDL's desktop full screen, or, when the
/// window has not reached the display's place and size shortly after that request (no window manager carried it
/// out), a borderless window that the host moves over the display and raises.
void hostEnterFullScreen(HWND window);
/// Ends the full screen of hostEnterFullScreen: a window the host placed gets back its place, size and border.
void hostLeaveFullScreen(HWND window);

/// Whether the test seam's virtual clock is on (see host/testing.h).
bool hostClockIsVirtual();
/// Advances the virtual clock by the given nanoseconds; does nothing while the real clock runs.
void hostAdvanceVirtualClock(LONGLONG nanoseconds);
/// The virtual clock's reading in nanoseconds, without advancing it.
LONGLONG hostVirtualClockNanoseconds();

/// The text with its lines broken at spaces into lines of at most width (1 or more) UTF-8 characters (a longer
/// word is cut); its own line breaks stay. The message box shows its text so, to fit the screen.
std::string hostWrapText(std::string_view text, std::size_t width);
