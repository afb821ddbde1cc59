// Presentation through the window surface: SDL scales and converts the back buffer into it, so it works alike
// on a real display and under the dummy video driver.

#include "host/d3d8present.h"

#include <SDL.h>

#include <algorithm>
#include <array>

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

bool d3d8ShowFrame(SDL_Window* window, const std::uint32_t* pixels, int width, int height)
{
    SDL_Surface* surface = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
    if (surface == nullptr)
    {
        return false;
    }
    // Read as XRGB, alpha ignored: the usual window surface format, which SDL then copies row by row.
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels), width, height, 32,
                                                             width * 4, SDL_PIXELFORMAT_RGB888);
    if (source == nullptr)
    {
        return false;
    }
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    const RECT fit = d3d8FitRect(width, height, surface->w, surface->h);
    SDL_Rect picture{fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top};
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
    const bool same = picture.w == width && picture.h == height;
    const int blitted =
        same ? SDL_BlitSurface(source, nullptr, surface, &picture) : SDL_BlitScaled(source, nullptr, surface, &picture);
    SDL_FreeSurface(source);
    return blitted == 0 && SDL_UpdateWindowSurface(window) == 0;
}
