#pragma once
// Drawing in floating-point RGBA buffers: colours, compositing, supersampled painting from signed distances,
// blurs and resampling, and smooth value noise. Pictures are drawn here and turned into 0xAARRGGBB pixels last.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace datagen
{

/// A colour with straight (not premultiplied) alpha; every channel 0..1.
struct Color
{
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct Vec2
{
    float x = 0.0f;
    float y = 0.0f;
};

inline Vec2 operator+(Vec2 p, Vec2 q)
{
    return {p.x + q.x, p.y + q.y};
}
inline Vec2 operator-(Vec2 p, Vec2 q)
{
    return {p.x - q.x, p.y - q.y};
}
inline Vec2 operator*(Vec2 p, float s)
{
    return {p.x * s, p.y * s};
}
inline float dot(Vec2 p, Vec2 q)
{
    return p.x * q.x + p.y * q.y;
}
inline float length(Vec2 p)
{
    return std::sqrt(dot(p, p));
}
/// p turned by the angle (radians, counter-clockwise in a y-up frame).
Vec2 rotate(Vec2 p, float angle);

inline constexpr float PI = 3.14159265358979f;

float clamp01(float v);
/// Hermite step from 0 at edge0 to 1 at edge1.
float smoothstep(float edge0, float edge1, float v);
float mix(float a, float b, float t);

/// The colour of a 0xAARRGGBB value.
Color argb(std::uint32_t value);
/// The colour quantised to 0xAARRGGBB (rounded, clamped).
std::uint32_t toArgb(Color c);
/// The same colour with another alpha, clamped to 0..1.
Color withAlpha(Color c, float a);
/// Channel-wise interpolation, alpha included.
Color mix(Color a, Color b, float t);
/// The colour's RGB scaled (a brightness change), alpha kept.
Color scaled(Color c, float s);
/// Porter-Duff "source over destination" in straight alpha.
Color over(Color dst, Color src);

/// A width x height buffer of colours, row 0 at the top.
class Canvas
{
public:
    Canvas(int width, int height, Color fill = {});

    int width() const { return mWidth; }
    int height() const { return mHeight; }
    Color& at(int x, int y) { return mPixels[static_cast<std::size_t>(y) * mWidth + x]; }
    const Color& at(int x, int y) const { return mPixels[static_cast<std::size_t>(y) * mWidth + x]; }

    /// Composites `src` over every pixel of the rectangle (clipped to the canvas) whose colour `shade(x, y)`
    /// gives at a point in canvas pixels, averaged over samples x samples points per pixel.
    template <class Shade>
    void paint(int x0, int y0, int w, int h, int samples, Shade shade);

    /// The colours as 0xAARRGGBB values, row by row.
    std::vector<std::uint32_t> argbPixels() const;

    /// Copies `source` onto this canvas with its top left corner at (x, y), replacing what was there.
    void place(const Canvas& source, int x, int y);

private:
    int mWidth;
    int mHeight;
    std::vector<Color> mPixels;
};

template <class Shade>
void Canvas::paint(int x0, int y0, int w, int h, int samples, Shade shade)
{
    const float step = 1.0f / static_cast<float>(samples);
    for (int y = std::max(0, y0); y < std::min(mHeight, y0 + h); ++y)
        for (int x = std::max(0, x0); x < std::min(mWidth, x0 + w); ++x)
        {
            // Average premultiplied, so that transparent samples do not darken the edge.
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx)
                {
                    const Color c = shade(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            if (a <= 0.0f)
                continue;
            at(x, y) = over(at(x, y), {r / a, g / a, b / a, a * step * step});
        }
}

/// The canvas shrunk by whole factors, each new pixel the premultiplied average of factorX x factorY old ones.
Canvas shrunk(const Canvas& canvas, int factorX, int factorY);

/// A grey-level mask (coverage or intensity), row 0 at the top.
struct Mask
{
    int width = 0;
    int height = 0;
    std::vector<float> values;

    Mask(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}
    float& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    /// Bilinear sample at a point in pixel units (pixel centres at +0.5); 0 outside.
    float sample(float x, float y) const;
};

/// An approximate Gaussian blur of the given standard deviation (pixels), three box passes each way.
Mask blurred(const Mask& mask, float sigma);

/// Coverage of a shape from its signed distance (negative inside) with an edge one `feather` wide.
inline float fill(float distance, float feather = 1.0f)
{
    return clamp01(0.5f - distance / feather);
}

// Signed distances, negative inside.
float sdCircle(Vec2 p, float radius);
float sdBox(Vec2 p, Vec2 halfSize, float cornerRadius = 0.0f);
/// A stroke of the given half width along the segment a-b (a capsule).
float sdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);
float sdRing(Vec2 p, float radius, float halfWidth);
/// A regular star of `points` tips around the origin, tips at `outer`, notches at `inner`.
float sdStar(Vec2 p, int points, float outer, float inner, float angle = 0.0f);
float sdTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c);

/// Smooth value noise in [0, 1], lattice spacing 1, different for every seed.
float valueNoise(float x, float y, std::uint32_t seed);
/// Fractal sum of `octaves` noise layers, each twice as fine and half as strong; in [0, 1].
float fractalNoise(float x, float y, int octaves, std::uint32_t seed);
/// Noise on a circle of `period` lattice steps around: smooth and seamless in the angle (radians).
float circularNoise(float angle, float period, std::uint32_t seed);

} // namespace datagen
