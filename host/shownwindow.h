#pragma once
// Where the display really shows a window, whether a window manager takes windows full screen, and a message box
// that takes the keyboard without one. Apart from the Win32 stand-in's headers: the X11 headers it needs define
// names that clash with Win32's.

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

/// SDL's simple message box (flags SDL_MESSAGEBOX_*), without a parent window; returns when it is closed. On X11
/// without a window manager the box gets the input focus from the host: SDL's box never asks for it, and the keys
/// would stay with the window that had them (a full-screen window the host raised), so that Return would not
/// close the box.
void hostShowMessageBox(Uint32 flags, const char* title, const char* text);
