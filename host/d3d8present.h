#pragma once
// Showing a device's back buffer in an SDL window: scaled to fit, centred, with black bars on the sides the
// picture does not reach.

#include "host/win32.h"

#include <cstdint>

struct SDL_Window;

/// The largest rectangle with the source's aspect that fits a window of the given size, centred in it.
RECT d3d8FitRect(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight);

/// Shows width x height ARGB pixels (alpha ignored) in the window's surface; false when SDL cannot.
bool d3d8ShowFrame(SDL_Window* window, const std::uint32_t* pixels, int width, int height);
