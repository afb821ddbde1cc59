#pragma once
// Where the display really shows a window, and whether a window manager takes windows full screen. Apart from the
// Win32 stand-in's headers: the X11 headers it needs define names that clash with Win32's.

#include <SDL.h>

/// The window's place and size on the display, desktop pixels. On X11 they come from the X server, since SDL
/// reports the size a full-screen request asks for at once, whether or not a window manager carries it out;
/// on other displays they are SDL's.
SDL_Rect hostShownRect(SDL_Window* window);

/// Whether the window's display has a window manager that takes windows full screen. On X11, one that announces
/// itself and full-screen windows on the root window (a bare X server has none, and SDL's request would wait for
/// it in vain); other displays carry out SDL's request themselves.
bool hostWindowManagerRuns(SDL_Window* window);
/// Whether the window manager holds the window full screen (it may still be on its way to the display's size).
bool hostWindowManagerHoldsFullScreen(SDL_Window* window);
