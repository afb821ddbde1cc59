#pragma once
// Where the display really shows a window. Apart from the Win32 stand-in's headers: the X11 headers it needs
// define names that clash with Win32's.

#include <SDL.h>

/// The window's place and size on the display, desktop pixels. On X11 they come from the X server, since SDL
/// reports the size a full-screen request asks for at once, whether or not a window manager carries it out;
/// on other displays they are SDL's.
SDL_Rect hostShownRect(SDL_Window* window);
