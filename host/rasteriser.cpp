// The rasteriser's geometry: clipping in homogeneous space, snapping, exact edge walking with the top-left fill
// rule; the pixels of each span are the span loops' business.

#include "host/rasteriser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

namespace
{

using u32 = std::uint32_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

// ---- Fixed point helpers ----

constexpr int SUBPIXEL_BITS = 8;
constexpr i64 SUBPIXELS = i64{1} << SUBPIXEL_BITS;

// Clip-space bound |x|, |y| <= GUARD_BAND x w: past it, triangles are cut; inside it, the edge arithmetic below
// stays exact in 64 bits for targets up to 8192 pixels wide.
constexpr float GUARD_BAND = 128.0f;

i64 floorDiv(i64 n, i64 d)
{
    const i64 q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

i64 ceilDiv(i64 n, i64 d)
{
    return -floorDiv(-n, d);
}

// Floor and nearest integer of a value well inside the 64-bit range, without calls into the maths library.
i64 floorToInt(double value)
{
    const i64 truncated = static_cast<i64>(value);
    return truncated - (value < static_cast<double>(truncated) ? 1 : 0);
}

i64 roundToInt(double value)
{
    return floorToInt(value + 0.5);
}

// A value in fixed point with 32 fraction bits, saturated to the 64-bit range.
i64 toFixed32(double value)
{
    constexpr double LIMIT = 9.0e18;
    return roundToInt(std::clamp(value * 4294967296.0, -LIMIT, LIMIT));
}

// A wrapping 16.16 texel coordinate; the low 32 bits of the exact value are all that sampling needs.
u32 toWrappedFixed(double value)
{
    constexpr double LIMIT = 4.0e18;
    return static_cast<u32>(floorToInt(std::clamp(value * 65536.0, -LIMIT, LIMIT)));
}

// The first pixel column at or right of an edge on successive rows, by exact integer stepping.
// The edge runs from (xa, ya) to (xb, yb) in subpixels with ya < yb.
class EdgeWalker
{
public:
    EdgeWalker(i64 xa, i64 ya, i64 xb, i64 yb, int firstRow)
    {
        const i64 dx = xb - xa;
        const i64 dy = yb - ya;
        mDenominator = SUBPIXELS * dy;
        // Column c is right of the edge on row y when c >= (xa * dy + (y * 256 - ya) * dx) / (256 * dy).
        const i64 numerator = xa * dy + (firstRow * SUBPIXELS - ya) * dx;
        mColumn = ceilDiv(numerator, mDenominator);
        mSlack = mColumn * mDenominator - numerator;
        const i64 step = SUBPIXELS * dx;
        mColumnStep = floorDiv(step, mDenominator);
        mSlackStep = step - mColumnStep * mDenominator;
    }

    i64 column() const { return mColumn; }

    void nextRow()
    {
        mColumn += mColumnStep;
        mSlack -= mSlackStep;
        if (mSlack < 0)
        {
            mSlack += mDenominator;
            ++mColumn;
        }
    }

private:
    i64 mDenominator;
    i64 mColumn;
    i64 mSlack; // column x denominator - numerator, in [0, denominator)
    i64 mColumnStep;
    i64 mSlackStep; // in [0, denominator)
};

// ---- Clipping ----

// The signed distance of a vertex to clip plane i; inside when >= 0.
constexpr int PLANE_COUNT = 7;
float planeDistance(const RasterVertex& v, int plane)
{
    switch (plane)
    {
    case 0:
        return GUARD_BAND * v.w - v.x;
    case 1:
        return GUARD_BAND * v.w + v.x;
    case 2:
        return GUARD_BAND * v.w - v.y;
    case 3:
        return GUARD_BAND * v.w + v.y;
    case 4:
        return v.z;
    case 5:
        return v.w - v.z;
    default:
        return v.w - 1.0e-6f;
    }
}

unsigned outcode(const RasterVertex& v)
{
    unsigned code = 0;
    for (int plane = 0; plane < PLANE_COUNT; ++plane)
    {
        if (planeDistance(v, plane) < 0)
        {
            code |= 1u << plane;
        }
    }
    return code;
}

// Whether the three vertices all lie beyond one side of the viewport, where the triangle covers no pixel centre
// (text that has scrolled off the screen, mostly): strictly beyond, so that even a vertex that snaps onto the
// border keeps the pixel centres inside on its other side.
bool outsideViewport(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c)
{
    const auto beyond = [&](auto distance) { return distance(a) < 0 && distance(b) < 0 && distance(c) < 0; };
    return beyond([](const RasterVertex& v) { return v.w - v.x; }) ||
           beyond([](const RasterVertex& v) { return v.w + v.x; }) ||
           beyond([](const RasterVertex& v) { return v.w - v.y; }) ||
           beyond([](const RasterVertex& v) { return v.w + v.y; });
}

RasterVertex lerpVertex(const RasterVertex& a, const RasterVertex& b, float t)
{
    const auto mix = [t](float p, float q) { return p + (q - p) * t; };
    u32 color = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const float channel =
            mix(static_cast<float>((a.color >> shift) & 0xFF), static_cast<float>((b.color >> shift) & 0xFF));
        color |= static_cast<u32>(std::lround(std::clamp(channel, 0.0f, 255.0f))) << shift;
    }
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w), color, mix(a.u, b.u), mix(a.v, b.v)};
}

// Where edge (inside, outside) crosses a plane, computed from the inside vertex so that two triangles sharing
// the edge get the identical point.
RasterVertex crossing(const RasterVertex& inside, const RasterVertex& outside, int plane)
{
    const float di = planeDistance(inside, plane);
    const float dout = planeDistance(outside, plane);
    return lerpVertex(inside, outside, di / (di - dout));
}

constexpr int MAX_CLIPPED = 3 + PLANE_COUNT;
using Polygon = std::array<RasterVertex, MAX_CLIPPED>;

// Sutherland-Hodgman against every plane the polygon crosses; returns the vertex count left.
int clipPolygon(Polygon& polygon, int count, unsigned planes)
{
    Polygon next;
    for (int plane = 0; plane < PLANE_COUNT && count > 0; ++plane)
    {
        if ((planes & (1u << plane)) == 0)
        {
            continue;
        }
        int kept = 0;
        for (int i = 0; i < count; ++i)
        {
            const RasterVertex& a = polygon[i];
            const RasterVertex& b = polygon[(i + 1) % count];
            const bool aInside = planeDistance(a, plane) >= 0;
            const bool bInside = planeDistance(b, plane) >= 0;
            if (aInside)
            {
                next[kept++] = a;
            }
            if (aInside != bInside)
            {
                next[kept++] = aInside ? crossing(a, b, plane) : crossing(b, a, plane);
            }
        }
        polygon = next;
        count = kept;
    }
    return count;
}

bool isFinite(const RasterVertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w) && std::isfinite(v.u) &&
           std::isfinite(v.v);
}

u32 lerpColor(u32 a, u32 b, float t)
{
    return lerpVertex({0, 0, 0, 0, a, 0, 0}, {0, 0, 0, 0, b, 0, 0}, t).color;
}

enum Source
{
    SOURCE_PRODUCT,
    SOURCE_TEXEL,
    SOURCE_DIFFUSE,
};

// What one texture stage operation yields; unsupported operations fall back to the diffuse colour.
Source stageSource(DWORD op, DWORD arg1, DWORD arg2)
{
    switch (op)
    {
    case D3DTOP_MODULATE:
        return SOURCE_PRODUCT;
    case D3DTOP_SELECTARG1:
        return arg1 == D3DTA_TEXTURE ? SOURCE_TEXEL : SOURCE_DIFFUSE;
    case D3DTOP_SELECTARG2:
        return arg2 == D3DTA_TEXTURE ? SOURCE_TEXEL : SOURCE_DIFFUSE;
    default:
        return SOURCE_DIFFUSE;
    }
}

void addMask(RasterMasks& masks, Source source, u32 bits)
{
    (source == SOURCE_PRODUCT ? masks.modulate : source == SOURCE_TEXEL ? masks.texel : masks.diffuse) |= bits;
}

} // namespace

// A vertex in target pixels: the snapped position and the attributes the spans interpolate.
struct Rasteriser::ScreenVertex
{
    i64 x, y;                    // subpixels
    double px, py;               // the snapped position in pixels
    std::array<double, 4> color; // b, g, r, a
    double u, v;                 // texture address
};

// The attributes of a triangle as planes over the target: value = base + dx * (x - x0) + dy * (y - y0).
struct Rasteriser::Gradients
{
    double x0, y0;
    std::array<double, 4> color, colorDx, colorDy;
    double u, uDx, uDy, v, vDx, vDy;
};

Rasteriser::Rasteriser(RasterPath path) : mPath(path)
{
    setState(RasterState{});
}

void Rasteriser::setTarget(const RasterTarget& target)
{
    mTarget = target;
    if (mRecording != nullptr)
    {
        mRecording->width = target.width;
        mRecording->height = target.height;
    }
}

void Rasteriser::setState(const RasterState& state)
{
    if (mRecording != nullptr)
    {
        mRecording->commands.emplace_back(state);
    }
    mState = state;
    mMasks = {};
    if (state.texture == nullptr || state.colorOp == D3DTOP_DISABLE)
    {
        mCombine = RASTER_COMBINE_DIFFUSE;
    }
    else
    {
        addMask(mMasks, stageSource(state.colorOp, state.colorArg1, state.colorArg2), 0x00FFFFFFu);
        addMask(mMasks, stageSource(state.alphaOp, state.alphaArg1, state.alphaArg2), 0xFF000000u);
        mCombine = mMasks.modulate == 0xFFFFFFFFu ? RASTER_COMBINE_MODULATE
                   : mMasks.texel == 0xFFFFFFFFu  ? RASTER_COMBINE_TEXEL
                                                  : RASTER_COMBINE_MASKED;
    }
    if (!state.blendEnable)
    {
        mBlend = RASTER_BLEND_NONE;
    }
    else if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_INVSRCALPHA)
    {
        mBlend = RASTER_BLEND_ALPHA;
    }
    else if (state.srcBlend == D3DBLEND_SRCALPHA && state.destBlend == D3DBLEND_ONE)
    {
        mBlend = RASTER_BLEND_ADDITIVE;
    }
    else
    {
        mBlend = RASTER_BLEND_GENERIC;
    }
    mPixelSpan = spanTemplate(0);
    mPixelFunction = rasterScalarSpanFunction(mCombine, false, mBlend);
}

void Rasteriser::clear(std::uint32_t color)
{
    if (mRecording != nullptr)
    {
        mRecording->commands.emplace_back(RasterRecording::Clear{color, true, {}});
    }
    fill(color, {0, 0, mTarget.width, mTarget.height});
}

void Rasteriser::clear(std::uint32_t color, const D3DRECT& rect)
{
    if (mRecording != nullptr)
    {
        mRecording->commands.emplace_back(RasterRecording::Clear{color, false, rect});
    }
    fill(color, rect);
}

void Rasteriser::fill(std::uint32_t color, const D3DRECT& rect)
{
    const int x1 = std::clamp<int>(rect.x1, 0, mTarget.width);
    const int x2 = std::clamp<int>(rect.x2, 0, mTarget.width);
    const int y1 = std::clamp<int>(rect.y1, 0, mTarget.height);
    const int y2 = std::clamp<int>(rect.y2, 0, mTarget.height);
    // A rectangle whose right edge lies left of its left edge is empty; filling it would run past the row.
    if (x2 <= x1)
    {
        return;
    }
    for (int y = y1; y < y2; ++y)
    {
        std::fill(row(y) + x1, row(y) + x2, color);
    }
}

void Rasteriser::drawPoint(const RasterVertex& vertex)
{
    drawPoints({&vertex, 1});
}

void Rasteriser::drawPoints(std::span<const RasterVertex> vertices)
{
    if (mRecording != nullptr)
    {
        for (const RasterVertex& vertex : vertices)
        {
            mRecording->commands.emplace_back(RasterRecording::Point{vertex});
        }
    }
    // An explosion's cloud scatters its points over and around the screen at random, so each batch of points is
    // sifted without a branch on each point: first by a cheap test that keeps the points within a pixel more than
    // half a pixel of the viewport (|x|, |y| <= w), beyond which no point covers a pixel, then by the exact tests;
    // the pixels left are fetched ahead and shaded in the points' order.
    constexpr std::size_t BATCH = 256;
    constexpr RasterVertex ORIGIN = {0, 0, 0, 1, 0, 0, 0};
    const float reachX = 1.0f + 2.0f / static_cast<float>(mTarget.width);
    const float reachY = 1.0f + 2.0f / static_cast<float>(mTarget.height);
    struct Covered
    {
        int column, line;
        const RasterVertex* vertex;
    };
    std::array<const RasterVertex*, BATCH> near;
    std::array<Covered, BATCH> covered;
    for (std::size_t start = 0; start < vertices.size(); start += BATCH)
    {
        std::size_t nearCount = 0;
        for (const RasterVertex& vertex : vertices.subspan(start, std::min(BATCH, vertices.size() - start)))
        {
            near[nearCount] = &vertex;
            // Both tests taken as numbers, without a branch between them.
            nearCount += static_cast<std::size_t>(static_cast<int>(std::abs(vertex.x) <= reachX * vertex.w) &
                                                  static_cast<int>(std::abs(vertex.y) <= reachY * vertex.w));
        }
        std::size_t count = 0;
        for (std::size_t i = 0; i < nearCount; ++i)
        {
            const RasterVertex& vertex = *near[i];
            const bool inside = isFinite(vertex) && outcode(vertex) == 0;
            // Outside the clip volume the snapped place could leave the 64-bit range.
            const auto [x, y] = snap(inside ? vertex : ORIGIN);
            // The point covers a pixel-sized square around it; the top-left rule picks one pixel centre.
            const i64 column = ceilDiv(2 * x - SUBPIXELS, 2 * SUBPIXELS);
            const i64 line = ceilDiv(2 * y - SUBPIXELS, 2 * SUBPIXELS);
            const bool onTarget =
                inside & (column >= 0) & (column < mTarget.width) & (line >= 0) & (line < mTarget.height);
            covered[count] = {static_cast<int>(column), static_cast<int>(line), &vertex};
            __builtin_prefetch(onTarget ? row(static_cast<int>(line)) + column : mTarget.pixels);
            count += static_cast<std::size_t>(onTarget);
        }
        for (std::size_t i = 0; i < count; ++i)
        {
            const RasterVertex& vertex = *covered[i].vertex;
            shadePixel(covered[i].column, covered[i].line, vertex.color, vertex.u, vertex.v);
        }
    }
}

void Rasteriser::drawLine(const RasterVertex& a, const RasterVertex& b)
{
    if (mRecording != nullptr)
    {
        mRecording->commands.emplace_back(RasterRecording::Line{a, b});
    }
    if (!isFinite(a) || !isFinite(b))
    {
        return;
    }
    // Liang-Barsky: the part of the segment inside every plane.
    float t0 = 0.0f;
    float t1 = 1.0f;
    for (int plane = 0; plane < PLANE_COUNT; ++plane)
    {
        const float da = planeDistance(a, plane);
        const float db = planeDistance(b, plane);
        if (da < 0 && db < 0)
        {
            return;
        }
        if (da < 0)
        {
            t0 = std::max(t0, da / (da - db));
        }
        else if (db < 0)
        {
            t1 = std::min(t1, da / (da - db));
        }
    }
    if (t0 > t1)
    {
        return;
    }
    const RasterVertex start = t0 > 0 ? lerpVertex(a, b, t0) : a;
    const RasterVertex end = t1 < 1 ? lerpVertex(a, b, t1) : b;
    const ScreenVertex s0 = project(start);
    const ScreenVertex s1 = project(end);
    const bool flat = mState.shadeMode == D3DSHADE_FLAT;

    // Step along the major axis one pixel centre at a time, from the first centre past the start (half a pixel
    // back) up to, but not including, the centre the end rounds to, so that strips draw each joint once.
    const bool xMajor = std::llabs(s1.x - s0.x) >= std::llabs(s1.y - s0.y);
    const double major0 = xMajor ? s0.px : s0.py;
    const double major1 = xMajor ? s1.px : s1.py;
    const double minor0 = xMajor ? s0.py : s0.px;
    const double minor1 = xMajor ? s1.py : s1.px;
    const int majorSize = xMajor ? mTarget.width : mTarget.height;
    const int minorSize = xMajor ? mTarget.height : mTarget.width;
    if (major0 == major1)
    {
        return;
    }
    const int direction = major1 > major0 ? 1 : -1;
    i64 first = direction > 0 ? static_cast<i64>(std::ceil(major0 - 0.5)) : static_cast<i64>(std::floor(major0 + 0.5));
    i64 last = direction > 0 ? static_cast<i64>(std::ceil(major1 - 0.5)) : static_cast<i64>(std::floor(major1 + 0.5));
    if (direction > 0)
    {
        first = std::max<i64>(first, 0);
        last = std::min<i64>(last, majorSize);
    }
    else
    {
        first = std::min<i64>(first, majorSize - 1);
        last = std::max<i64>(last, -1);
    }
    for (i64 c = first; c != last && (c - last) * direction < 0; c += direction)
    {
        const double t = (static_cast<double>(c) - major0) / (major1 - major0);
        const i64 minor = static_cast<i64>(std::floor(minor0 + (minor1 - minor0) * t + 0.5));
        if (minor < 0 || minor >= minorSize)
        {
            continue;
        }
        const float tf = static_cast<float>(t);
        const u32 color = flat ? a.color : lerpColor(start.color, end.color, tf);
        const float u = start.u + (end.u - start.u) * tf;
        const float v = start.v + (end.v - start.v) * tf;
        const int x = static_cast<int>(xMajor ? c : minor);
        const int y = static_cast<int>(xMajor ? minor : c);
        shadePixel(x, y, color, u, v);
    }
}

void Rasteriser::drawTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                              std::uint32_t flatColor)
{
    if (mRecording != nullptr)
    {
        mRecording->commands.emplace_back(RasterRecording::Triangle{a, b, c, flatColor});
    }
    // The cheapest test first: most triangles that draw nothing lie off the screen.
    if (outsideViewport(a, b, c) || !isFinite(a) || !isFinite(b) || !isFinite(c))
    {
        return;
    }
    const unsigned ca = outcode(a);
    const unsigned cb = outcode(b);
    const unsigned cc = outcode(c);
    if ((ca & cb & cc) != 0)
    {
        return;
    }
    if ((ca | cb | cc) == 0)
    {
        rasteriseTriangle(a, b, c, flatColor);
        return;
    }
    Polygon polygon;
    polygon[0] = a;
    polygon[1] = b;
    polygon[2] = c;
    const int count = clipPolygon(polygon, 3, ca | cb | cc);
    for (int i = 1; i + 1 < count; ++i)
    {
        rasteriseTriangle(polygon[0], polygon[i], polygon[i + 1], flatColor);
    }
}

void Rasteriser::record(RasterRecording* recording)
{
    mRecording = recording;
    if (recording != nullptr)
    {
        recording->width = mTarget.width;
        recording->height = mTarget.height;
        // The state in force, so that a replay starts from it.
        recording->commands.emplace_back(mState);
    }
}

void Rasteriser::replay(const RasterRecording& recording)
{
    for (const RasterRecording::Command& command : recording.commands)
    {
        std::visit(
            [this](const auto& c)
            {
                using C = std::decay_t<decltype(c)>;
                if constexpr (std::is_same_v<C, RasterState>)
                {
                    setState(c);
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Clear>)
                {
                    c.whole ? clear(c.color) : clear(c.color, c.rect);
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Point>)
                {
                    drawPoint(c.vertex);
                }
                else if constexpr (std::is_same_v<C, RasterRecording::Line>)
                {
                    drawLine(c.a, c.b);
                }
                else
                {
                    drawTriangle(c.a, c.b, c.c, c.flatColor);
                }
            },
            command);
    }
}

std::uint32_t* Rasteriser::row(int y) const
{
    return mTarget.pixels + static_cast<std::ptrdiff_t>(y) * mTarget.pitch;
}

std::array<std::int64_t, 2> Rasteriser::snap(const RasterVertex& v) const
{
    // The orthographic projections the program uses leave w at 1, where the division changes nothing.
    const double inverseW = v.w == 1.0f ? 1.0 : 1.0 / v.w;
    const double x = (v.x * inverseW + 1.0) * 0.5 * mTarget.width;
    const double y = (1.0 - v.y * inverseW) * 0.5 * mTarget.height;
    return {roundToInt(x * SUBPIXELS), roundToInt(y * SUBPIXELS)};
}

Rasteriser::ScreenVertex Rasteriser::project(const RasterVertex& v) const
{
    ScreenVertex s;
    const std::array<i64, 2> snapped = snap(v);
    s.x = snapped[0];
    s.y = snapped[1];
    s.px = static_cast<double>(s.x) / SUBPIXELS;
    s.py = static_cast<double>(s.y) / SUBPIXELS;
    for (int i = 0; i < 4; ++i)
    {
        s.color[i] = static_cast<double>((v.color >> (8 * i)) & 0xFF);
    }
    s.u = v.u;
    s.v = v.v;
    return s;
}

void Rasteriser::rasteriseTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                                   std::uint32_t flatColor)
{
    const std::array<ScreenVertex, 3> s = {project(a), project(b), project(c)};
    const i64 area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
    // With y down, a positive area is a clockwise winding on the screen.
    if (area == 0 || (mState.cullMode == D3DCULL_CCW && area < 0) || (mState.cullMode == D3DCULL_CW && area > 0))
    {
        return;
    }

    const bool constant = mState.shadeMode == D3DSHADE_FLAT || (a.color == b.color && a.color == c.color);
    const u32 constantColor = mState.shadeMode == D3DSHADE_FLAT ? flatColor : a.color;
    Gradients g;
    g.x0 = s[0].px;
    g.y0 = s[0].py;
    const double x1 = s[1].px - g.x0, y1 = s[1].py - g.y0;
    const double x2 = s[2].px - g.x0, y2 = s[2].py - g.y0;
    const double determinant = x1 * y2 - x2 * y1;
    const auto plane = [&](double v0, double v1, double v2, double& base, double& dx, double& dy)
    {
        base = v0;
        dx = ((v1 - v0) * y2 - (v2 - v0) * y1) / determinant;
        dy = ((v2 - v0) * x1 - (v1 - v0) * x2) / determinant;
    };
    if (!constant)
    {
        for (int i = 0; i < 4; ++i)
        {
            plane(s[0].color[i], s[1].color[i], s[2].color[i], g.color[i], g.colorDx[i], g.colorDy[i]);
        }
    }
    if (mCombine != RASTER_COMBINE_DIFFUSE)
    {
        const double width = static_cast<double>(1 << mState.texture->widthLog2);
        const double height = static_cast<double>(1 << mState.texture->heightLog2);
        plane(s[0].u * width, s[1].u * width, s[2].u * width, g.u, g.uDx, g.uDy);
        plane(s[0].v * height, s[1].v * height, s[2].v * height, g.v, g.vDx, g.vDy);
    }

    // Sort by y; the long edge runs from the top vertex to the bottom one.
    std::array<int, 3> order = {0, 1, 2};
    std::sort(order.begin(), order.end(), [&](int i, int j) { return s[i].y < s[j].y; });
    const ScreenVertex& top = s[order[0]];
    const ScreenVertex& middle = s[order[1]];
    const ScreenVertex& bottom = s[order[2]];
    const i64 side = (middle.x - top.x) * (bottom.y - top.y) - (middle.y - top.y) * (bottom.x - top.x);
    const bool shortEdgesLeft = side < 0;

    // Rows whose centres lie in [top, bottom): top edges are in, bottom edges out.
    const i64 firstRow = std::max<i64>(ceilDiv(top.y, SUBPIXELS), 0);
    const i64 middleRow = std::clamp<i64>(ceilDiv(middle.y, SUBPIXELS), firstRow, mTarget.height);
    const i64 endRow = std::clamp<i64>(ceilDiv(bottom.y, SUBPIXELS), firstRow, mTarget.height);
    if (firstRow >= endRow)
    {
        return;
    }

    // A product with opaque white is the texel itself.
    const bool white = constant && constantColor == 0xFFFFFFFFu && mCombine == RASTER_COMBINE_MODULATE;
    const RasterCombine combine = white ? RASTER_COMBINE_TEXEL : mCombine;
    RasterSpan span = spanTemplate(constantColor);
    RasterBlend blend = mBlend;
    if (mPath == RasterPath::FASTEST && combine == RASTER_COMBINE_TEXEL && blend == RASTER_BLEND_ADDITIVE &&
        mState.texture->premultiplied != nullptr)
    {
        span.texels = mState.texture->premultiplied;
        blend = RASTER_BLEND_PREMULTIPLIED;
    }
    const RasterSpanFunction draw = mPath == RasterPath::SCALAR ? rasterScalarSpanFunction(combine, !constant, blend)
                                                                : rasterSpanFunction(combine, !constant, blend);

    // The attributes as fixed-point planes over the rows, 32 fraction bits: the row's value at column 0 steps
    // down the rows; a span starts at it plus its first column times the step along the row. Texel addresses
    // wrap modulo 2^64, which keeps the low bits that sampling reads exact.
    struct Plane
    {
        i64 row = 0, dx = 0, dy = 0;
        i64 at(int x) const
        {
            return static_cast<i64>(static_cast<std::uint64_t>(row) +
                                    static_cast<std::uint64_t>(dx) * static_cast<std::uint64_t>(x));
        }
        void nextRow() { row = static_cast<i64>(static_cast<std::uint64_t>(row) + static_cast<std::uint64_t>(dy)); }
    };
    const auto toPlane = [&](double base, double dx, double dy)
    {
        const double row = base - dx * g.x0 + dy * (static_cast<double>(firstRow) - g.y0);
        return Plane{toFixed32(row), toFixed32(dx), toFixed32(dy)};
    };
    const auto stepOf = [](const Plane& plane)
    { return static_cast<i32>(std::clamp<i64>((plane.dx + 0x8000) >> 16, -0x7FFFFFFF, 0x7FFFFFFF)); };
    std::array<Plane, 4> colors;
    Plane u, v;
    if (!constant)
    {
        for (int i = 0; i < 4; ++i)
        {
            colors[i] = toPlane(g.color[i], g.colorDx[i], g.colorDy[i]);
            span.colorStep[i] = stepOf(colors[i]);
        }
    }
    if (mCombine != RASTER_COMBINE_DIFFUSE)
    {
        u = toPlane(g.u, g.uDx, g.uDy);
        v = toPlane(g.v, g.vDx, g.vDy);
        span.uStep = stepOf(u);
        span.vStep = stepOf(v);
    }

    // Left edges include the pixel centres on them, right edges exclude them: both sides take the first column
    // at or right of the edge, so a shared edge gives the same column to both of its triangles.
    EdgeWalker longEdge(top.x, top.y, bottom.x, bottom.y, static_cast<int>(firstRow));
    const auto walk = [&](EdgeWalker& shortEdge, i64 rowBegin, i64 rowEnd)
    {
        for (i64 y = rowBegin; y < rowEnd; ++y)
        {
            const i64 left = shortEdgesLeft ? shortEdge.column() : longEdge.column();
            const i64 right = shortEdgesLeft ? longEdge.column() : shortEdge.column();
            const int x0 = static_cast<int>(std::max<i64>(left, 0));
            const int x1 = static_cast<int>(std::min<i64>(right, mTarget.width));
            if (x0 < x1)
            {
                if (!constant)
                {
                    for (int i = 0; i < 4; ++i)
                    {
                        // Rounded to the nearest 1/65536.
                        const i64 value = (colors[i].at(x0) + 0x80000000LL) >> 16;
                        span.color[i] = static_cast<i32>(std::clamp<i64>(value, -0x40000000, 0x40000000));
                    }
                }
                if (mCombine != RASTER_COMBINE_DIFFUSE)
                {
                    span.u = static_cast<u32>(static_cast<std::uint64_t>(u.at(x0)) >> 16);
                    span.v = static_cast<u32>(static_cast<std::uint64_t>(v.at(x0)) >> 16);
                }
                mPixelCount += static_cast<std::uint64_t>(x1 - x0);
                draw(span, x1 - x0, row(static_cast<int>(y)) + x0);
            }
            for (Plane& plane : colors)
            {
                plane.nextRow();
            }
            u.nextRow();
            v.nextRow();
            shortEdge.nextRow();
            longEdge.nextRow();
        }
    };
    if (firstRow < middleRow)
    {
        EdgeWalker upper(top.x, top.y, middle.x, middle.y, static_cast<int>(firstRow));
        walk(upper, firstRow, middleRow);
    }
    if (middleRow < endRow)
    {
        EdgeWalker lower(middle.x, middle.y, bottom.x, bottom.y, static_cast<int>(middleRow));
        // The planes stand at the middle row now: they stepped through exactly the upper rows.
        walk(lower, middleRow, endRow);
    }
}

RasterSpan Rasteriser::spanTemplate(std::uint32_t constantColor) const
{
    RasterSpan span;
    span.constantColor = constantColor;
    span.masks = mMasks;
    span.srcBlend = mState.srcBlend;
    span.destBlend = mState.destBlend;
    if (mCombine != RASTER_COMBINE_DIFFUSE)
    {
        rasterUseTexture(span, mState.texture->texels, mState.texture->widthLog2, mState.texture->heightLog2);
    }
    return span;
}

void Rasteriser::shadePixel(int x, int y, std::uint32_t color, float u, float v)
{
    mPixelSpan.constantColor = color;
    if (mCombine != RASTER_COMBINE_DIFFUSE)
    {
        mPixelSpan.u = toWrappedFixed(static_cast<double>(u) * mPixelSpan.width);
        mPixelSpan.v = toWrappedFixed(static_cast<double>(v) * (mPixelSpan.vMask + 1));
    }
    ++mPixelCount;
    mPixelFunction(mPixelSpan, 1, row(y) + x);
}
