// The two logos: the product's neon lettering and the maker's emblem. Letters come from DejaVu Sans Bold
// through FreeType; glows are blurred copies of the letters' coverage.

#include "tools/datagen/font.h"
#include "tools/datagen/pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace datagen
{

namespace
{

const Color GOLD = argb(0xFFFFB030);

/// Light (RGB that may exceed 1) as a colour whose colour x alpha is that light, for additive blending.
Color light(float r, float g, float b)
{
    const float a = clamp01(std::max({r, g, b}));
    if (a <= 0.0f)
        return {};
    return {clamp01(r / a), clamp01(g / a), clamp01(b / a), a};
}

/// `source` copied into a width x height mask with its centre at (cx, cy).
Mask placed(const Mask& source, int width, int height, int cx, int cy)
{
    Mask result(width, height);
    const int x0 = cx - source.width / 2;
    const int y0 = cy - source.height / 2;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            if (x0 + x >= 0 && x0 + x < width && y0 + y >= 0 && y0 + y < height)
                result.at(x0 + x, y0 + y) = source.at(x, y);
    return result;
}

/// A text line rendered at the size that makes it `width` pixels wide.
Mask fittedLine(const Typeface& face, const std::string& text, int width, int trackingPerEm)
{
    constexpr int PROBE = 100;
    const Mask probe = face.line(text, PROBE, trackingPerEm * PROBE / 100, 0);
    const int size = PROBE * width / probe.width;
    return face.line(text, size, trackingPerEm * size / 100, 0);
}

} // namespace

Canvas makeProductLogo()
{
    // The sprite draws the square texture 1200 x 600 units, twice as wide as tall: so draw on a 2:1 canvas and
    // halve its width at the end.
    constexpr int WIDTH = 2048;
    constexpr int HEIGHT = 1024;
    const Typeface face(DEJAVU_DIRECTORY + "DejaVuSans-Bold.ttf");
    const Mask line = fittedLine(face, "QUILLOM", 1560, 6);
    const int centreY = HEIGHT * 46 / 100;
    const Mask letters = placed(line, WIDTH, HEIGHT, WIDTH / 2, centreY);
    const Mask inner = blurred(letters, 5.0f);
    const Mask glowNear = blurred(letters, 14.0f);
    const Mask glowFar = blurred(letters, 48.0f);
    const Mask haze = blurred(letters, 150.0f);
    const float top = static_cast<float>(centreY - line.height / 2);
    const float bottom = static_cast<float>(centreY + line.height / 2);
    const float left = static_cast<float>(WIDTH / 2 - line.width / 2);
    const Color colors[] = {gameColor(3), gameColor(4), gameColor(1)};

    Canvas canvas(WIDTH, HEIGHT);
    canvas.paint(0, 0, WIDTH, HEIGHT, 1,
                 [&](float x, float y)
                 {
                     const int px = static_cast<int>(x);
                     const int py = static_cast<int>(y);
                     // Blue through violet to red across the word.
                     const float t = clamp01((x - left) / static_cast<float>(line.width));
                     const Color c =
                         t < 0.5f ? mix(colors[0], colors[1], t * 2.0f) : mix(colors[1], colors[2], t * 2.0f - 1.0f);
                     const float m = letters.at(px, py);
                     // Letter faces: pale at the top, coloured below, cut by thin horizontal bands low down.
                     const float v = clamp01((y - top) / (bottom - top));
                     const float band =
                         v > 0.5f && std::fmod(y - top, 26.0f) < 4.0f + 16.0f * (v - 0.5f) ? 0.15f : 1.0f;
                     const Color faceColor = mix(mix(WHITE, c, 0.3f), c, smoothstep(0.0f, 0.6f, v));
                     const float faceLight = m * 0.6f * band;
                     // A bright tube along the inside of every edge.
                     const float tube = m * (1.0f - smoothstep(0.55f, 0.92f, inner.at(px, py)));
                     const float glow = 0.8f * glowNear.at(px, py) + 0.5f * glowFar.at(px, py) + 0.3f * haze.at(px, py);
                     // A streak of light under the word, brightest in the middle.
                     const float dy = y - (bottom + 70.0f);
                     const float dx = x - WIDTH * 0.5f;
                     const float streak = std::exp(-dy * dy / 30.0f) * std::exp(-dx * dx / (640.0f * 640.0f)) +
                                          0.25f * std::exp(-dy * dy / 900.0f) * std::exp(-dx * dx / (400.0f * 400.0f));
                     const float fade = smoothstep(0.0f, 90.0f, std::min({x, y, WIDTH - x, HEIGHT - y}));
                     const auto channel = [&](float faceChannel, float colorChannel)
                     {
                         return fade * (faceLight * faceChannel + tube * (colorChannel * 0.9f + 0.6f) +
                                        glow * colorChannel + streak * (colorChannel * 0.8f + 0.4f));
                     };
                     return light(channel(faceColor.r, c.r), channel(faceColor.g, c.g), channel(faceColor.b, c.b));
                 });
    return shrunk(canvas, 2, 1);
}

Canvas makeMakerLogo()
{
    // A round badge: a candle flame (the wick) above the ripples of a mountain lake (the tarn), the name below.
    // The logo stands on the bottom edge of the field, and the intro's two tickers run across its rows 368 to 464
    // (48 to 144 units above that edge): badge and name keep above them.
    constexpr int SIZE = 512;
    Canvas picture(SIZE, SIZE);
    const Vec2 centre{0.0f, 0.375f};
    constexpr float SCALE = 0.8f; // the badge's shapes, laid out for the radius below, drawn at this size
    constexpr float RADIUS = 0.58f;
    constexpr float PIXEL = 2.0f / SIZE / SCALE;
    picture.paint(
        0, 0, SIZE, SIZE, 3,
        [&](float x, float y)
        {
            const Vec2 p = (Vec2{x / (SIZE * 0.5f) - 1.0f, 1.0f - y / (SIZE * 0.5f)} - centre) * (1.0f / SCALE);
            const float r = length(p);
            const Color ringColor = mix(CYAN, GOLD, smoothstep(-0.6f, 0.6f, p.y / RADIUS));
            const float ringDistance = std::abs(r - RADIUS);
            Color c = withAlpha(ringColor, 0.5f * std::exp(-ringDistance * 30.0f) * (r > RADIUS ? 1.0f : 0.0f));
            // The badge's dark face.
            c = over(c, withAlpha(mix(argb(0xFF070A1E), argb(0xFF141A40), clamp01(p.y + 0.5f)),
                                  0.9f * fill((r - RADIUS) / PIXEL)));
            c = over(c, withAlpha(mix(ringColor, WHITE, 0.3f), fill(sdRing(p, RADIUS, 0.007f) / PIXEL)));
            c = over(c, withAlpha(ringColor, 0.5f * fill(sdRing(p, RADIUS - 0.05f, 0.004f) / PIXEL)));
            // Ripples.
            for (int i = 0; i < 3; ++i)
            {
                const Vec2 radii{0.36f - 0.1f * i, 0.055f - 0.012f * i};
                const Vec2 q = p - Vec2{0.0f, -0.3f};
                const float e = length({q.x / radii.x, q.y / radii.y});
                const float d = (e - 1.0f) * std::min(radii.x, radii.y) * 1.6f;
                const float ripple = fill((std::abs(d) - 0.009f) / PIXEL);
                c = over(c, withAlpha(mix(CYAN, WHITE, 0.3f), ripple));
                c = over(c, withAlpha(CYAN, 0.3f * std::exp(-std::abs(d) * 60.0f)));
            }
            // The flame: a drop whose point reaches up, white at the heart.
            const Vec2 f = p - Vec2{0.0f, -0.06f};
            const float drop =
                std::min(sdCircle(f, 0.14f), sdTriangle(f, {-0.132f, 0.05f}, {0.132f, 0.05f}, {0.0f, 0.44f}));
            const float heart = std::min(sdCircle(f - Vec2{0, 0.02f}, 0.06f),
                                         sdTriangle(f, {-0.055f, 0.04f}, {0.055f, 0.04f}, {0.0f, 0.22f}));
            c = over(c, withAlpha(GOLD, 0.55f * std::exp(-std::max(drop, 0.0f) * 22.0f)));
            c = over(c, withAlpha(mix(argb(0xFFFF5A20), GOLD, smoothstep(-0.14f, 0.1f, f.y)), fill(drop / PIXEL)));
            c = over(c, withAlpha(mix(GOLD, WHITE, 0.8f), fill(heart / PIXEL - 2.0f)));
            // The wick under the flame.
            c = over(c, withAlpha(argb(0xFF302018), fill(sdSegment(f, {0, -0.08f}, {0, -0.2f}, 0.012f) / PIXEL)));
            return c;
        });

    const Typeface face(DEJAVU_DIRECTORY + "DejaVuSans-Bold.ttf");
    const Mask name = placed(fittedLine(face, "TARNWICK", 380, 18), SIZE, SIZE, SIZE / 2, 322);
    const Mask nameGlow = blurred(name, 6.0f);
    picture.paint(0, 0, SIZE, SIZE, 1,
                  [&](float x, float y)
                  {
                      const int px = static_cast<int>(x);
                      const int py = static_cast<int>(y);
                      return over(withAlpha(CYAN, 0.8f * nameGlow.at(px, py)),
                                  withAlpha(mix(WHITE, CYAN, 0.1f), name.at(px, py)));
                  });
    return picture;
}

} // namespace datagen
