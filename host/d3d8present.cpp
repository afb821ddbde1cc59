// Presentation through the window surface: the back buffer is scaled straight into it when it has the back
// buffer's own 32-bit layout (the usual case), else SDL scales and converts it. It works alike on a real display
// and under the dummy video driver. The surface is the video driver's own framebuffer where it has one (x11),
// elsewhere (wayland, kmsdrm) the texture that SDL makes for it.

#include "host/d3d8present.h"

#include "host/testing.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

bool gSurfacesRefused = false; // test seam: a window whose surface cannot be had

// The source index under the centre of target index i of count, for a source of sourceCount.
int sourceIndex(int i, int count, int sourceCount)
{
    return static_cast<int>((2 * static_cast<long long>(i) + 1) * sourceCount / (2 * static_cast<long long>(count)));
}

} // namespace

RECT d3d8FitRect(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight)
{
    if (sourceWidth <= 0 || sourceHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
    {
        return {0, 0, 0, 0};
    }
    // Compare windowWidth / windowHeight with sourceWidth / sourceHeight without rounding.
    const long long wide = static_cast<long long>(windowWidth) * sourceHeight;
    const long long tall = static_cast<long long>(windowHeight) * sourceWidth;
    int width = windowWidth;
    int height = windowHeight;
    if (wide > tall)
    {
        width = static_cast<int>(tall / sourceHeight);
    }
    else if (wide < tall)
    {
        height = static_cast<int>(wide / sourceWidth);
    }
    const int left = (windowWidth - width) / 2;
    const int top = (windowHeight - height) / 2;
    return {left, top, left + width, top + height};
}

void d3d8ScaleNearest(const std::uint32_t* source, int sourceWidth, int sourceHeight, int sourcePitch,
                      std::uint32_t* target, int targetWidth, int targetHeight, int targetPitch)
{
    std::vector<int> columns(static_cast<std::size_t>(std::max(targetWidth, 0)));
    for (int x = 0; x < targetWidth; ++x)
    {
        columns[static_cast<std::size_t>(x)] = sourceIndex(x, targetWidth, sourceWidth);
    }
#if defined(QUILLOM_RASTER_AVX2)
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    const bool permuted = avx512 && targetWidth >= sourceWidth;
#else
    const bool permuted = false;
#endif
    int previousRow = -1;
    for (int y = 0; y < targetHeight; ++y)
    {
        std::uint32_t* out = target + static_cast<std::ptrdiff_t>(y) * targetPitch;
        const int row = sourceIndex(y, targetHeight, sourceHeight);
        const std::uint32_t* in = source + static_cast<std::ptrdiff_t>(row) * sourcePitch;
        if (permuted)
        {
            // As cheap as copying the row above, and it never reads the target.
            d3d8ScaleRowUpAvx512(in, columns.data(), targetWidth, out);
            continue;
        }
        // Scaling up, most rows repeat the one above.
        if (row == previousRow)
        {
            std::memcpy(out, out - targetPitch, static_cast<std::size_t>(targetWidth) * 4);
            continue;
        }
        for (int x = 0; x < targetWidth; ++x)
        {
            out[x] = in[columns[static_cast<std::size_t>(x)]];
        }
        previousRow = row;
    }
}

bool D3D8Presenter::show(SDL_Window* window, const std::uint32_t* pixels, int width, int height)
{
    SDL_ClearError();
    if (draw(window, pixels, width, height))
    {
        return true;
    }
    if (!mFailureTold)
    {
        // SDL sets no error when the driver has no framebuffer for the window and may not make one.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* error = SDL_GetError();
        std::fprintf(stderr, "The window cannot show the picture (video driver %s: %s).\n", driver ? driver : "none",
                     *error != '\0' ? error : "the window has no surface");
        mFailureTold = true;
    }
    return false;
}

bool D3D8Presenter::draw(SDL_Window* window, const std::uint32_t* pixels, int width, int height)
{
    // Where the driver has a framebuffer of its own, SDL would still put the window surface in an OpenGL texture
    // that it draws with a renderer at each update; where OpenGL runs in software that is the dearest step of the
    // frame. A driver without one needs that texture to show anything. SDL reads the hint at the first surface
    // after its start (and forgets it when it quits); the environment still overrides it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "offscreen") == 0))
    {
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    }
    SDL_Surface* surface = window != nullptr && !gSurfacesRefused ? SDL_GetWindowSurface(window) : nullptr;
    if (surface == nullptr)
    {
        return false;
    }
    const RECT fit = d3d8FitRect(width, height, surface->w, surface->h);
    SDL_Rect picture{fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top};
    const bool sameSurface = surface == mSurface && surface->w == mSurfaceWidth && surface->h == mSurfaceHeight &&
                             std::memcmp(&fit, &mPicture, sizeof fit) == 0;
    if (!sameSurface)
    {
        const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
        const std::array<SDL_Rect, 4> bars = {
            {{0, 0, surface->w, picture.y},
             {0, picture.y + picture.h, surface->w, surface->h - picture.y - picture.h},
             {0, picture.y, picture.x, picture.h},
             {picture.x + picture.w, picture.y, surface->w - picture.x - picture.w, picture.h}}};
        for (const SDL_Rect& bar : bars)
        {
            if (bar.w > 0 && bar.h > 0)
            {
                SDL_FillRect(surface, &bar, black);
            }
        }
        mSurface = surface;
        mSurfaceWidth = surface->w;
        mSurfaceHeight = surface->h;
        mPicture = fit;
    }
    if (picture.w <= 0 || picture.h <= 0)
    {
        return SDL_UpdateWindowSurface(window) == 0;
    }
    int drawn = 0;
    if (surface->format->format == SDL_PIXELFORMAT_RGB888 && !SDL_MUSTLOCK(surface))
    {
        const int pitch = surface->pitch / 4;
        auto* target =
            static_cast<std::uint32_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(picture.y) * pitch + picture.x;
        d3d8ScaleNearest(pixels, width, height, width, target, picture.w, picture.h, pitch);
    }
    else
    {
        // Read as XRGB, alpha ignored; SDL converts to the surface's format.
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels), width, height, 32,
                                                                 width * 4, SDL_PIXELFORMAT_RGB888);
        if (source == nullptr)
        {
            return false;
        }
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        const bool same = picture.w == width && picture.h == height;
        drawn = same ? SDL_BlitSurface(source, nullptr, surface, &picture)
                     : SDL_BlitScaled(source, nullptr, surface, &picture);
        SDL_FreeSurface(source);
    }
    return drawn == 0 && SDL_UpdateWindowSurface(window) == 0;
}

void hosttest::refuseWindowSurfaces(bool on)
{
    gSurfacesRefused = on;
}
