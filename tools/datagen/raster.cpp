// Colour arithmetic, signed distances, blurs and noise for the picture generators.

#include "tools/datagen/raster.h"

#include <cstddef>

namespace datagen
{

Vec2 rotate(Vec2 p, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

float smoothstep(float edge0, float edge1, float v)
{
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float mix(float a, float b, float t)
{
    return a + (b - a) * t;
}

Color argb(std::uint32_t value)
{
    return {((value >> 16) & 0xFF) / 255.0f, ((value >> 8) & 0xFF) / 255.0f, (value & 0xFF) / 255.0f,
            ((value >> 24) & 0xFF) / 255.0f};
}

std::uint32_t toArgb(Color c)
{
    const auto byte = [](float v) { return static_cast<std::uint32_t>(std::lround(clamp01(v) * 255.0f)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

Color withAlpha(Color c, float a)
{
    return {c.r, c.g, c.b, clamp01(a)};
}

Color mix(Color a, Color b, float t)
{
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t), mix(a.a, b.a, t)};
}

Color scaled(Color c, float s)
{
    return {c.r * s, c.g * s, c.b * s, c.a};
}

Color over(Color dst, Color src)
{
    const float a = src.a + dst.a * (1.0f - src.a);
    if (a <= 0.0f)
        return {};
    const auto channel = [&](float s, float d) { return (s * src.a + d * dst.a * (1.0f - src.a)) / a; };
    return {channel(src.r, dst.r), channel(src.g, dst.g), channel(src.b, dst.b), a};
}

Canvas::Canvas(int width, int height, Color fill)
    : mWidth(width), mHeight(height), mPixels(static_cast<std::size_t>(width) * height, fill)
{
}

std::vector<std::uint32_t> Canvas::argbPixels() const
{
    std::vector<std::uint32_t> result(mPixels.size());
    std::transform(mPixels.begin(), mPixels.end(), result.begin(), toArgb);
    return result;
}

void Canvas::place(const Canvas& source, int x, int y)
{
    for (int row = 0; row < source.height(); ++row)
        for (int column = 0; column < source.width(); ++column)
            at(x + column, y + row) = source.at(column, row);
}

Canvas shrunk(const Canvas& canvas, int factorX, int factorY)
{
    Canvas result(canvas.width() / factorX, canvas.height() / factorY);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
        {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < factorY; ++sy)
                for (int sx = 0; sx < factorX; ++sx)
                {
                    const Color& c = canvas.at(x * factorX + sx, y * factorY + sy);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            if (a > 0.0f)
                result.at(x, y) = {r / a, g / a, b / a, a / static_cast<float>(factorX * factorY)};
        }
    return result;
}

float Mask::sample(float x, float y) const
{
    const float fx = x - 0.5f;
    const float fy = y - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0;
    const float ty = fy - y0;
    const auto value = [&](int px, int py)
    { return (px < 0 || py < 0 || px >= width || py >= height) ? 0.0f : at(px, py); };
    return mix(mix(value(x0, y0), value(x0 + 1, y0), tx), mix(value(x0, y0 + 1), value(x0 + 1, y0 + 1), tx), ty);
}

namespace
{

// One running-sum box pass of the given radius over `count` values `stride` apart; zero beyond the ends.
void boxPass(float* values, int count, int stride, int radius, std::vector<float>& scratch)
{
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        scratch[i] = values[static_cast<std::size_t>(i) * stride];
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i)
        sum += (i >= 0 && i < count) ? scratch[i] : 0.0f;
    for (int i = 0; i < count; ++i)
    {
        values[static_cast<std::size_t>(i) * stride] = sum * scale;
        const int leaving = i - radius;
        const int entering = i + radius + 1;
        sum += (entering < count ? scratch[entering] : 0.0f) - (leaving >= 0 ? scratch[leaving] : 0.0f);
    }
}

} // namespace

Mask blurred(const Mask& mask, float sigma)
{
    Mask result = mask;
    // Three box passes of this radius have about the variance of the Gaussian (Wells, 1986).
    const int radius = std::max(1, static_cast<int>(std::lround(std::sqrt(sigma * sigma * 4.0f + 1.0f) / 2.0f)));
    std::vector<float> scratch;
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int y = 0; y < result.height; ++y)
            boxPass(&result.at(0, y), result.width, 1, radius, scratch);
        for (int x = 0; x < result.width; ++x)
            boxPass(&result.at(x, 0), result.height, result.width, radius, scratch);
    }
    return result;
}

float sdCircle(Vec2 p, float radius)
{
    return length(p) - radius;
}

float sdBox(Vec2 p, Vec2 halfSize, float cornerRadius)
{
    const Vec2 q{std::abs(p.x) - halfSize.x + cornerRadius, std::abs(p.y) - halfSize.y + cornerRadius};
    const Vec2 outside{std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return length(outside) + std::min(std::max(q.x, q.y), 0.0f) - cornerRadius;
}

float sdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth)
{
    const Vec2 pa = p - a;
    const Vec2 ba = b - a;
    const float h = clamp01(dot(pa, ba) / dot(ba, ba));
    return length(pa - ba * h) - halfWidth;
}

float sdRing(Vec2 p, float radius, float halfWidth)
{
    return std::abs(length(p) - radius) - halfWidth;
}

float sdStar(Vec2 p, int points, float outer, float inner, float angle)
{
    // Fold the point into one wedge, then measure to the edge from a tip to the next notch.
    const float wedge = 2.0f * PI / static_cast<float>(points);
    float a = std::atan2(p.y, p.x) - angle;
    a = std::fmod(a + 64.0f * PI, wedge);
    if (a > wedge * 0.5f)
        a = wedge - a;
    const float r = length(p);
    const Vec2 q{r * std::cos(a), r * std::sin(a)};
    const Vec2 tip{outer, 0.0f};
    const Vec2 notch{inner * std::cos(wedge * 0.5f), inner * std::sin(wedge * 0.5f)};
    const Vec2 edge = notch - tip;
    const Vec2 toQ = q - tip;
    const float h = clamp01(dot(toQ, edge) / dot(edge, edge));
    const float distance = length(toQ - edge * h);
    const float side = edge.x * toQ.y - edge.y * toQ.x; // positive on the centre's side of the edge line
    return side > 0.0f ? -distance : distance;
}

float sdTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c)
{
    // After Inigo Quilez, "2D distance functions".
    const Vec2 e0 = b - a, e1 = c - b, e2 = a - c;
    const Vec2 v0 = p - a, v1 = p - b, v2 = p - c;
    const auto part = [](Vec2 v, Vec2 e) { return v - e * clamp01(dot(v, e) / dot(e, e)); };
    const Vec2 pq0 = part(v0, e0), pq1 = part(v1, e1), pq2 = part(v2, e2);
    const float s = (e0.x * e2.y - e0.y * e2.x) > 0.0f ? 1.0f : -1.0f;
    const float d = std::min({dot(pq0, pq0), dot(pq1, pq1), dot(pq2, pq2)});
    const float inside =
        std::min({s * (v0.x * e0.y - v0.y * e0.x), s * (v1.x * e1.y - v1.y * e1.x), s * (v2.x * e2.y - v2.y * e2.x)});
    return -std::sqrt(d) * (inside > 0.0f ? 1.0f : -1.0f);
}

namespace
{

float latticeValue(int x, int y, std::uint32_t seed)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h = (h ^ (h >> 13)) * 0x5BD1E995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

} // namespace

float valueNoise(float x, float y, std::uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float tx = smoothstep(0.0f, 1.0f, x - x0);
    const float ty = smoothstep(0.0f, 1.0f, y - y0);
    return mix(mix(latticeValue(x0, y0, seed), latticeValue(x0 + 1, y0, seed), tx),
               mix(latticeValue(x0, y0 + 1, seed), latticeValue(x0 + 1, y0 + 1, seed), tx), ty);
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed)
{
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave)
    {
        sum += weight * valueNoise(x, y, seed + static_cast<std::uint32_t>(octave) * 101u);
        total += weight;
        weight *= 0.5f;
        x = x * 2.0f + 17.3f;
        y = y * 2.0f - 9.1f;
    }
    return sum / total;
}

float circularNoise(float angle, float period, std::uint32_t seed)
{
    // Sampling noise along a circle of circumference `period` closes the loop without a seam.
    const float radius = period / (2.0f * PI);
    return fractalNoise(radius * std::cos(angle) + 50.0f, radius * std::sin(angle) + 50.0f, 2, seed);
}

} // namespace datagen
