#pragma once
// Helpers shared by the graphics library's tests: one hidden test window for the Direct3D device to draw
// into, and thrownBy (tests/dbgtesting.h).

#include "host/win32.h"
#include "tests/dbgtesting.h"

#include <cstdint>

/// Width and height of the test window's client area, in pixels.
constexpr int TEST_WINDOW_WIDTH = 64;
constexpr int TEST_WINDOW_HEIGHT = 48;

/// The process's one test window (hidden, borderless), made on first use.
HWND testWindow();

/// The ARGB pixel at (column, row) of the frame the Direct3D device presented last.
std::uint32_t framePixel(int column, int row);
/// Forces the Direct3D device lost (true); false lets it come back, to be made anew.
void forceDeviceLoss(bool lost);
/// How many device states (render, texture-stage, texture, stream and index settings) were set so far.
std::uint64_t deviceStateChangeCount();
