#pragma once
// Showing a device's back buffer in an SDL window: scaled to fit, centred, with black bars on the sides the
// picture does not reach.

#include "host/win32.h"

#include <cstdint>

struct SDL_Surface;
struct SDL_Window;

/// The largest rectangle with the source's aspect that fits a window of the given size, centred in it.
RECT d3d8FitRect(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight);

/// Copies a source of sourceWidth x sourceHeight pixels onto a target of targetWidth x targetHeight, each target
/// pixel taking the source pixel under its centre; pitches in pixels.
void d3d8ScaleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch,
                      std::uint32_t* target, int targetWidth, int targetHeight, int targetPitch);

/// One row of a scaled copy that does not shrink: target pixel x takes source pixel columns[x], columns rising by
/// at most one from pixel to pixel. Compiled for AVX-512; only for processors that have it (x86-64 only).
void d3d8ScaleRowUpAvx512(const std::uint32_t* source, const int* columns, int count, std::uint32_t* target);

/// Shows frames in a window's SDL surface, which SDL hands to the display as it is where the video driver has a
/// framebuffer of its own (no texture, no renderer: a software renderer would only add copies, and a window
/// surface through OpenGL costs more than the frame itself where OpenGL runs in software), and through SDL's
/// texture framebuffer on the drivers that have none.
class D3D8Presenter
{
public:
    /// Shows width x height XRGB pixels (alpha ignored); false when SDL cannot, and the first time it cannot
    /// the presenter says why on stderr.
    bool show(SDL_Window* window, const std::uint32_t* pixels, int width, int height);

private:
    // show, short of saying why it failed.
    bool draw(SDL_Window* window, const std::uint32_t* pixels, int width, int height);

    bool mFailureTold = false; // a failure was told on stderr
    // The bars stay black in the surface from one frame to the next while its size and the picture's stay.
    SDL_Surface* mSurface = nullptr;
    int mSurfaceWidth = 0;
    int mSurfaceHeight = 0;
    RECT mPicture{};
};
