// The rasteriser on small pixel buffers: fill rule, texel mapping, colour arithmetic, shading, lines, points and
// clipping, each checked pixel by pixel.

#include "host/rasteriser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace
{

constexpr std::uint32_t BLACK = 0xFF000000u;
constexpr std::uint32_t UNIT = 0xFF101010u; // one additive coat

// A target of width x height pixels and a rasteriser drawing into it; positions are given in target pixels.
class Canvas
{
public:
    Canvas(int width, int height, std::uint32_t fill = BLACK, RasterPath path = RasterPath::FASTEST)
        : mWidth(width), mHeight(height), mPixels(static_cast<size_t>(width * height), fill), mRasteriser(path)
    {
        mRasteriser.setTarget({mPixels.data(), width, height, width});
    }

    RasterVertex at(double x, double y, std::uint32_t color = 0xFFFFFFFFu, float u = 0, float v = 0) const
    {
        return {
            static_cast<float>(x / mWidth * 2 - 1), static_cast<float>(1 - y / mHeight * 2), 0.5f, 1.0f, color, u, v};
    }

    void setState(const RasterState& state) { mRasteriser.setState(state); }
    Rasteriser& rasteriser() { return mRasteriser; }
    std::uint32_t pixel(int x, int y) const { return mPixels[static_cast<size_t>(y * mWidth + x)]; }
    const std::vector<std::uint32_t>& pixels() const { return mPixels; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }

    // The quad (x0, y0)-(x1, y1) as two triangles sharing the diagonal, with texture addresses u0..u1, v0..v1.
    void quad(double x0, double y0, double x1, double y1, std::uint32_t color, float u0 = 0, float v0 = 0, float u1 = 1,
              float v1 = 1)
    {
        const RasterVertex a = at(x0, y0, color, u0, v0);
        const RasterVertex b = at(x1, y0, color, u1, v0);
        const RasterVertex c = at(x1, y1, color, u1, v1);
        const RasterVertex d = at(x0, y1, color, u0, v1);
        mRasteriser.drawTriangle(a, b, c, color);
        mRasteriser.drawTriangle(a, c, d, color);
    }

    // One character per pixel: '.' untouched (BLACK), '1' one additive coat, '2' two, '?' anything else.
    std::string coats() const
    {
        std::string picture;
        for (int y = 0; y < mHeight; ++y)
        {
            for (int x = 0; x < mWidth; ++x)
            {
                const std::uint32_t p = pixel(x, y);
                picture += p == BLACK ? '.' : p == UNIT ? '1' : p == 0xFF202020u ? '2' : '?';
            }
            picture += '\n';
        }
        return picture;
    }

private:
    int mWidth;
    int mHeight;
    std::vector<std::uint32_t> mPixels;
    Rasteriser mRasteriser;
};

RasterState additive()
{
    RasterState state;
    state.blendEnable = true;
    state.srcBlend = D3DBLEND_SRCALPHA;
    state.destBlend = D3DBLEND_ONE;
    state.cullMode = D3DCULL_NONE;
    return state;
}

RasterState opaque()
{
    RasterState state;
    state.cullMode = D3DCULL_NONE;
    return state;
}

TEST(RasteriserFill, SquareOnPixelCentresTakesItsTopAndLeftEdgesOnly)
{
    Canvas canvas(6, 6);
    canvas.setState(additive());
    canvas.quad(1, 1, 4, 3, UNIT);
    EXPECT_EQ(canvas.coats(), "......\n"
                              ".111..\n"
                              ".111..\n"
                              "......\n"
                              "......\n"
                              "......\n");
}

// A convex polygon cut into a fan of triangles around an inner point: additive coats show any pixel drawn twice,
// and every pixel centre strictly inside must be drawn.
TEST(RasteriserFill, FanAroundAnInnerPointDrawsEachPixelInsideOnce)
{
    struct Case
    {
        double cx, cy;                          // the inner point
        std::vector<std::array<double, 2>> rim; // clockwise on the screen
    };
    const std::vector<Case> cases = {
        {8.3, 7.7, {{1.2, 1.1}, {14.7, 2.3}, {15.1, 13.9}, {2.2, 14.6}}},
        {8.0, 8.0, {{0.0, 0.0}, {16.0, 0.0}, {16.0, 16.0}, {0.0, 16.0}}},
        {7.5, 8.5, {{3.0, 0.5}, {13.0, 3.0}, {15.5, 11.0}, {8.0, 15.5}, {0.5, 10.0}, {0.5, 4.0}}},
        {6.0, 9.0, {{6.0, 1.0}, {12.25, 9.0}, {6.0, 15.0}, {2.0, 9.0}}},
    };
    for (const Case& c : cases)
    {
        Canvas canvas(16, 16);
        canvas.setState(additive());
        const size_t n = c.rim.size();
        for (size_t i = 0; i < n; ++i)
        {
            const auto& p = c.rim[i];
            const auto& q = c.rim[(i + 1) % n];
            canvas.rasteriser().drawTriangle(canvas.at(c.cx, c.cy, UNIT), canvas.at(p[0], p[1], UNIT),
                                             canvas.at(q[0], q[1], UNIT), UNIT);
        }
        for (int y = 0; y < 16; ++y)
        {
            for (int x = 0; x < 16; ++x)
            {
                // Inside by more than a rounding error of every rim edge (clockwise: the inside is on the right).
                double nearest = 1e9;
                for (size_t i = 0; i < n; ++i)
                {
                    const auto& p = c.rim[i];
                    const auto& q = c.rim[(i + 1) % n];
                    const double cross = (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0]);
                    nearest = std::min(nearest, cross / std::hypot(q[0] - p[0], q[1] - p[1]));
                }
                const std::uint32_t p = canvas.pixel(x, y);
                if (nearest > 0.01)
                {
                    EXPECT_EQ(p, UNIT) << "inside at " << x << "," << y << "\n" << canvas.coats();
                }
                else if (nearest < -0.01)
                {
                    EXPECT_EQ(p, BLACK) << "outside at " << x << "," << y << "\n" << canvas.coats();
                }
                else
                {
                    EXPECT_TRUE(p == UNIT || p == BLACK) << "on the rim at " << x << "," << y << "\n" << canvas.coats();
                }
            }
        }
    }
}

TEST(RasteriserClip, QuadsFarLargerThanTheTargetCoverEachPixelOnce)
{
    // Half sizes in multiples of the target: 100 stays inside the guard band, 10^5 is cut by it.
    for (const double scale : {100.0, 1.0e5})
    {
        for (const double degrees : {0.0, 30.0})
        {
            Canvas canvas(8, 8);
            canvas.setState(additive());
            const double angle = degrees * 3.14159265358979 / 180;
            const auto corner = [&](double sx, double sy)
            {
                const double x = scale * 8 * (sx * std::cos(angle) - sy * std::sin(angle));
                const double y = scale * 8 * (sx * std::sin(angle) + sy * std::cos(angle));
                return canvas.at(4 + x, 4 + y, UNIT);
            };
            const RasterVertex a = corner(-1, -1), b = corner(1, -1), c = corner(1, 1), d = corner(-1, 1);
            canvas.rasteriser().drawTriangle(a, b, c, UNIT);
            canvas.rasteriser().drawTriangle(a, c, d, UNIT);
            std::string everyPixelOnce;
            for (int y = 0; y < 8; ++y)
            {
                everyPixelOnce += "11111111\n";
            }
            EXPECT_EQ(canvas.coats(), everyPixelOnce) << "scale " << scale << ", " << degrees << " degrees";
        }
    }
}

TEST(RasteriserClip, TrianglesOutsideTheTargetOrBehindTheViewerDrawNothing)
{
    Canvas canvas(8, 8);
    canvas.setState(additive());
    canvas.quad(9, 0, 20, 8, UNIT);
    canvas.quad(-10, -10, 0, 8, UNIT);
    RasterVertex behind[3] = {canvas.at(1, 1, UNIT), canvas.at(7, 1, UNIT), canvas.at(7, 7, UNIT)};
    for (RasterVertex& v : behind)
    {
        v.w = -1;
    }
    canvas.rasteriser().drawTriangle(behind[0], behind[1], behind[2], UNIT);
    RasterVertex broken = canvas.at(1, 1, UNIT);
    broken.x = NAN;
    canvas.rasteriser().drawTriangle(broken, canvas.at(7, 1, UNIT), canvas.at(7, 7, UNIT), UNIT);
    EXPECT_EQ(canvas.rasteriser().pixelCount(), 0u);
}

TEST(RasteriserClip, TrianglesMostlyBeyondASideKeepTheirPixelsInside)
{
    struct Case
    {
        double x0, y0, x1, y1; // a quad over a side, reaching 0.1 pixel past the centres next to it or short of them
        std::string expected;
    };
    for (const Case& c : {
             Case{2.9, 1, 9, 2.5, "....\n...1\n...1\n....\n"},
             Case{-5, 1, 0.1, 2.5, "....\n1...\n1...\n....\n"},
             Case{0.5, -5, 2.5, 0.1, ".11.\n....\n....\n....\n"},
             Case{0.5, 2.9, 2.5, 9, "....\n....\n....\n.11.\n"},
             Case{3.1, 0, 9, 4, "....\n....\n....\n....\n"},
         })
    {
        Canvas canvas(4, 4);
        canvas.setState(additive());
        canvas.quad(c.x0, c.y0, c.x1, c.y1, UNIT);
        EXPECT_EQ(canvas.coats(), c.expected) << c.x0 << "," << c.y0;
    }
}

TEST(RasteriserCull, CullModesDropTheirWindingOnly)
{
    struct Case
    {
        DWORD cullMode;
        bool drawsClockwise, drawsCounterClockwise;
    };
    for (const Case c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_CCW, true, false}})
    {
        Canvas canvas(4, 4);
        RasterState state = opaque();
        state.cullMode = c.cullMode;
        canvas.setState(state);
        const RasterVertex a = canvas.at(0, 0), b = canvas.at(4, 0), d = canvas.at(0, 4);
        canvas.rasteriser().drawTriangle(a, b, d, 0xFFFFFFFFu); // clockwise on the screen
        EXPECT_EQ(canvas.pixel(0, 0) != BLACK, c.drawsClockwise);
        Canvas other(4, 4);
        other.setState(state);
        other.rasteriser().drawTriangle(a, d, b, 0xFFFFFFFFu);
        EXPECT_EQ(other.pixel(0, 0) != BLACK, c.drawsCounterClockwise);
    }
}

// ---- Textures ----

struct Texture
{
    explicit Texture(int log2, std::uint32_t base = 0xFF000000u)
        : base(base), side(1u << log2), texels(rasterTexelCount(log2, log2)), raster{texels.data(), log2, log2}
    {
        std::vector<std::uint32_t> rows(side * side);
        for (size_t i = 0; i < rows.size(); ++i)
        {
            rows[i] = base + static_cast<std::uint32_t>(i);
        }
        rasterWriteTexels(texels.data(), log2, {0, 0, side, side}, rows.data(), side);
    }
    std::uint32_t at(int x, int y) const
    {
        return base + static_cast<std::uint32_t>(y) * side + static_cast<std::uint32_t>(x);
    }

    std::uint32_t base;
    std::uint32_t side;
    std::vector<std::uint32_t> texels;
    RasterTexture raster;
};

TEST(RasteriserTexture, QuadWithCornersOnTexelCentresMapsTexelsOneToOne)
{
    Texture texture(3);
    Canvas canvas(8, 8);
    RasterState state = opaque();
    state.texture = &texture.raster;
    state.alphaOp = D3DTOP_MODULATE;
    canvas.setState(state);
    // The corners sit on the centres of pixels (0, 0) and (7, 7) and carry the addresses of texel centres.
    canvas.quad(0, 0, 7, 7, 0xFFFFFFFFu, 0.5f / 8, 0.5f / 8, 7.5f / 8, 7.5f / 8);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            const std::uint32_t expected = (x < 7 && y < 7) ? texture.at(x, y) : BLACK;
            EXPECT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(RasteriserTexture, AddressesWrapAroundInBothDirections)
{
    Texture texture(2);
    Canvas canvas(8, 8);
    RasterState state = opaque();
    state.texture = &texture.raster;
    canvas.setState(state);
    // Addresses -1..1 over eight pixels, half a pixel left of and above the target: two repetitions.
    canvas.quad(-0.5, -0.5, 7.5, 7.5, 0xFFFFFFFFu, -1, -1, 1, 1);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            EXPECT_EQ(canvas.pixel(x, y), texture.at(x % 4, y % 4)) << x << "," << y;
        }
    }
}

TEST(RasteriserTexture, HugeTexturedQuadKeepsItsTexelPhase)
{
    Texture texture(3);
    Canvas canvas(8, 8);
    RasterState state = opaque();
    state.texture = &texture.raster;
    canvas.setState(state);
    // 800 pixels wide from x = -396.5 with 100 repetitions: one texel per pixel, texel (x + 396) mod 8.
    canvas.quad(-396.5, -396.5, 403.5, 403.5, 0xFFFFFFFFu, 0, 0, 100, 100);
    for (int y = 0; y < 8; ++y)
    {
        for (int x = 0; x < 8; ++x)
        {
            EXPECT_EQ(canvas.pixel(x, y), texture.at((x + 4) % 8, (y + 4) % 8)) << x << "," << y;
        }
    }
}

// ---- Colour arithmetic ----

TEST(RasteriserColor, StageAndBlendGiveTheRoundedProducts)
{
    struct Case
    {
        const char* name;
        bool textured;
        std::uint32_t texel, diffuse;
        DWORD alphaOp;
        bool blend;
        DWORD src, dest;
        std::uint32_t target, expected;
    };
    const std::vector<Case> cases = {
        {"modulate", true, 0xFF804020u, 0x80FFFFFFu, D3DTOP_MODULATE, false, 0, 0, BLACK, 0x80804020u},
        {"modulate by grey", true, 0xFFFF8000u, 0xFF808080u, D3DTOP_MODULATE, false, 0, 0, BLACK, 0xFF804000u},
        {"alpha from the texel only", true, 0x40FF8000u, 0x80FFFFFFu, D3DTOP_SELECTARG1, false, 0, 0, BLACK,
         0x40FF8000u},
        {"diffuse without texture", false, 0, 0x12345678u, D3DTOP_MODULATE, false, 0, 0, BLACK, 0x12345678u},
        {"alpha over", false, 0, 0x80FF0000u, D3DTOP_MODULATE, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA,
         0xFF0000FFu, 0xBF80007Fu},
        {"transparent over", false, 0, 0x00FF0000u, D3DTOP_MODULATE, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA,
         0xFF0000FFu, 0xFF0000FFu},
        {"additive", false, 0, 0x80FF8000u, D3DTOP_MODULATE, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, 0xFF404040u,
         0xFFC08040u},
        {"additive saturates", false, 0, 0xFF80FF01u, D3DTOP_MODULATE, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE,
         0xFF90FF01u, 0xFFFFFF02u},
        {"additive textured", true, 0xFFFFFFFFu, 0x80808080u, D3DTOP_MODULATE, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE,
         0xFF000000u, 0xFF404040u},
        {"one plus one saturates", false, 0, 0x80C00000u, D3DTOP_MODULATE, true, D3DBLEND_ONE, D3DBLEND_ONE,
         0x80800000u, 0xFFFF0000u},
        {"zero and inverse alpha", false, 0, 0x40FFFFFFu, D3DTOP_MODULATE, true, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA,
         0xFF8000FFu, 0xBF6000BFu},
        {"blending off keeps alpha", false, 0, 0x00123456u, D3DTOP_MODULATE, false, 0, 0, 0xFFFFFFFFu, 0x00123456u},
    };
    for (const Case& c : cases)
    {
        std::vector<std::uint32_t> texels(1, c.texel);
        const RasterTexture texture{texels.data(), 0, 0};
        // One row of 11 pixels: two runs of four and three single pixels, which take different code paths.
        Canvas canvas(11, 1, c.target);
        RasterState state = opaque();
        state.texture = c.textured ? &texture : nullptr;
        state.alphaOp = c.alphaOp;
        state.blendEnable = c.blend;
        state.srcBlend = c.src;
        state.destBlend = c.dest;
        canvas.setState(state);
        canvas.quad(0, 0, 11, 1, c.diffuse);
        for (int x = 0; x < 11; ++x)
        {
            EXPECT_EQ(canvas.pixel(x, 0), c.expected) << c.name << " at " << x;
        }
    }
}

TEST(RasteriserShading, FlatTakesTheGivenColourAndGouraudInterpolates)
{
    // A gradient of red from 0 at the centre of pixel 0 to 255 at the centre of pixel 15: 17 per pixel.
    for (const DWORD shadeMode : {D3DSHADE_FLAT, D3DSHADE_GOURAUD})
    {
        Canvas canvas(16, 2);
        RasterState state = opaque();
        state.shadeMode = shadeMode;
        canvas.setState(state);
        const RasterVertex a = canvas.at(0, 0, 0xFF000000u), b = canvas.at(15, 0, 0xFFFF0000u);
        const RasterVertex c = canvas.at(15, 1, 0xFFFF0000u), d = canvas.at(0, 1, 0xFF000000u);
        canvas.rasteriser().drawTriangle(a, b, c, 0xFF0000FFu);
        canvas.rasteriser().drawTriangle(a, c, d, 0xFF0000FFu);
        for (int x = 0; x < 15; ++x)
        {
            const std::uint32_t expected =
                shadeMode == D3DSHADE_FLAT ? 0xFF0000FFu : 0xFF000000u | static_cast<std::uint32_t>(17 * x) << 16;
            EXPECT_EQ(canvas.pixel(x, 0), expected) << x;
        }
        EXPECT_EQ(canvas.pixel(15, 0), BLACK);
        EXPECT_EQ(canvas.pixel(0, 1), BLACK);
    }
}

// ---- Lines and points ----

TEST(RasteriserLines, LinesLeaveOutTheirLastPixel)
{
    struct Case
    {
        const char* name;
        std::vector<std::array<double, 2>> strip;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"horizontal", {{1, 2}, {5, 2}}, "......\n......\n.1111.\n......\n......\n......\n"},
        {"strip with a joint", {{1, 1}, {4, 1}, {4, 4}}, "......\n.1111.\n....1.\n....1.\n......\n......\n"},
        {"diagonal", {{0, 0}, {4, 4}}, "1.....\n.1....\n..1...\n...1..\n......\n......\n"},
        {"diagonal backwards", {{4, 4}, {0, 0}}, "......\n.1....\n..1...\n...1..\n....1.\n......\n"},
        {"shallow", {{0, 1}, {6, 4}}, "......\n1.....\n.11...\n...11.\n.....1\n......\n"},
        {"clipped", {{-100, 3}, {100, 3}}, "......\n......\n......\n111111\n......\n......\n"},
        {"outside", {{-100, -3}, {100, -3}}, "......\n......\n......\n......\n......\n......\n"},
    };
    for (const Case& c : cases)
    {
        Canvas canvas(6, 6);
        canvas.setState(additive());
        for (size_t i = 0; i + 1 < c.strip.size(); ++i)
        {
            canvas.rasteriser().drawLine(canvas.at(c.strip[i][0], c.strip[i][1], UNIT),
                                         canvas.at(c.strip[i + 1][0], c.strip[i + 1][1], UNIT));
        }
        EXPECT_EQ(canvas.coats(), c.expected) << c.name;
    }
}

TEST(RasteriserLines, GouraudLinesInterpolateAndFlatLinesTakeTheFirstColour)
{
    for (const DWORD shadeMode : {D3DSHADE_FLAT, D3DSHADE_GOURAUD})
    {
        Canvas canvas(16, 1);
        RasterState state = opaque();
        state.shadeMode = shadeMode;
        canvas.setState(state);
        canvas.rasteriser().drawLine(canvas.at(0, 0, 0xFF000000u), canvas.at(15, 0, 0xFF0000FFu));
        EXPECT_EQ(canvas.pixel(0, 0), 0xFF000000u);
        EXPECT_EQ(canvas.pixel(5, 0), shadeMode == D3DSHADE_FLAT ? 0xFF000000u : 0xFF000055u);
        EXPECT_EQ(canvas.pixel(15, 0), BLACK);
    }
}

TEST(RasteriserPoints, PointCoversThePixelWhoseCentreIsNearest)
{
    struct Case
    {
        double x, y;
        int column, row;
    };
    for (const Case c :
         {Case{3, 4, 3, 4}, Case{3.5, 4.5, 3, 4}, Case{3.49, 4.51, 3, 5}, Case{0, 0, 0, 0}, Case{5.4, 5.4, 5, 5}})
    {
        Canvas canvas(6, 6);
        canvas.setState(additive());
        canvas.rasteriser().drawPoint(canvas.at(c.x, c.y, UNIT));
        EXPECT_EQ(canvas.pixel(c.column, c.row), UNIT) << c.x << "," << c.y;
        EXPECT_EQ(canvas.rasteriser().pixelCount(), 1u);
    }
    Canvas canvas(6, 6);
    canvas.setState(additive());
    canvas.rasteriser().drawPoint(canvas.at(-0.6, 2, UNIT));
    canvas.rasteriser().drawPoint(canvas.at(2, 5.6, UNIT));
    EXPECT_EQ(canvas.rasteriser().pixelCount(), 0u);
}

// A batch spans several of the rasteriser's inner batches and runs from far off the target across it, each
// point on a lattice that never falls on a half pixel: each pixel takes a coat from every point nearest its
// centre, and none from the rest.
TEST(RasteriserPoints, BatchCoversThePixelNearestEachPointOnAndAroundTheTarget)
{
    constexpr int WIDTH = 5;
    constexpr int HEIGHT = 3;
    Canvas canvas(WIDTH, HEIGHT);
    canvas.setState(additive());
    std::vector<RasterVertex> points;
    std::vector<int> expected(WIDTH * HEIGHT);
    for (double y = -2 * HEIGHT - 0.35; y < 3 * HEIGHT; y += 0.75)
    {
        for (double x = -2 * WIDTH - 0.1; x < 3 * WIDTH; x += 0.75)
        {
            points.push_back(canvas.at(x, y, 0xFF010101u));
            const int column = static_cast<int>(std::floor(x + 0.5));
            const int row = static_cast<int>(std::floor(y + 0.5));
            if (0 <= column && column < WIDTH && 0 <= row && row < HEIGHT)
            {
                ++expected[static_cast<std::size_t>(row * WIDTH + column)];
            }
        }
    }
    ASSERT_GT(points.size(), 512u);
    canvas.rasteriser().drawPoints(points);
    for (int y = 0; y < HEIGHT; ++y)
    {
        for (int x = 0; x < WIDTH; ++x)
        {
            const auto coats = static_cast<std::uint32_t>(expected[static_cast<std::size_t>(y * WIDTH + x)]);
            EXPECT_EQ(canvas.pixel(x, y), BLACK + coats * 0x010101u) << x << "," << y;
        }
    }
}

TEST(RasteriserPoints, PointsOutsideTheClipVolumeOrNotFiniteDrawNothing)
{
    constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
    constexpr float INFINITE = std::numeric_limits<float>::infinity();
    Canvas canvas(4, 4);
    canvas.setState(additive());
    std::vector<RasterVertex> points = {{0, 0, 0.5f, 0, UNIT, 0, 0},
                                        {0, 0, 0.5f, -1, UNIT, 0, 0},
                                        {0, 0, 0, 1e-7f, UNIT, 0, 0},
                                        {0, 0, -0.5f, 1, UNIT, 0, 0},
                                        {0, 0, 1.5f, 1, UNIT, 0, 0},
                                        {NOT_A_NUMBER, 0, 0.5f, 1, UNIT, 0, 0},
                                        {0, 0, 0.5f, NOT_A_NUMBER, UNIT, 0, 0},
                                        {0, INFINITE, 0.5f, 1, UNIT, 0, 0},
                                        {0, 0, 0.5f, 1, UNIT, INFINITE, 0},
                                        {0, 0, 0.5f, INFINITE, UNIT, 0, 0},
                                        {-200, 0, 0.5f, 1, UNIT, 0, 0},
                                        {0, 5000, 0.5f, 1, UNIT, 0, 0}};
    canvas.rasteriser().drawPoints(points);
    EXPECT_EQ(canvas.rasteriser().pixelCount(), 0u);
    EXPECT_EQ(canvas.coats(), "....\n....\n....\n....\n");
}

TEST(RasteriserClear, ClearFillsTheTargetOrARectangleInsideIt)
{
    Canvas canvas(4, 3);
    canvas.rasteriser().clear(UNIT);
    canvas.rasteriser().clear(0xFF202020u, {2, 1, 9, 9});
    EXPECT_EQ(canvas.coats(), "1111\n1122\n1122\n");
}

TEST(RasteriserClear, ClearOfAnInvertedRectangleChangesNothing)
{
    Canvas canvas(4, 3);
    canvas.rasteriser().clear(UNIT);
    canvas.rasteriser().clear(0xFF202020u, {3, 0, 1, 3});
    canvas.rasteriser().clear(0xFF202020u, {0, 2, 4, 1});
    EXPECT_EQ(canvas.coats(), "1111\n1111\n1111\n");
}

// ---- Recording ----

TEST(RasteriserRecording, ReplayDrawsTheRecordedPixelsOnTheFastestAndTheScalarPath)
{
    std::vector<std::uint32_t> texels(rasterTexelCount(4, 4));
    for (std::size_t i = 0; i < texels.size(); ++i)
    {
        texels[i] = static_cast<std::uint32_t>(i * 0x9E3779B9u);
    }
    std::vector<std::uint32_t> premultiplied(texels.size());
    rasterPremultiply(texels.data(), texels.size(), premultiplied.data());
    const RasterTexture texture{texels.data(), 4, 4, premultiplied.data()};
    RasterState textured = additive();
    textured.texture = &texture;
    textured.colorOp = D3DTOP_MODULATE;
    textured.alphaOp = D3DTOP_MODULATE;
    RasterState over = opaque();
    over.blendEnable = true;
    over.srcBlend = D3DBLEND_SRCALPHA;
    over.destBlend = D3DBLEND_INVSRCALPHA;

    Canvas original(40, 30);
    RasterRecording recording;
    original.rasteriser().record(&recording);
    original.rasteriser().clear(0xFF203040u);
    original.rasteriser().clear(0xFF000000u, {5, 5, 35, 25});
    original.setState(textured);
    original.quad(2, 3, 37, 28, 0xFFFFFFFFu, -0.3f, 0.2f, 1.7f, 2.1f);
    original.quad(10, 1, 30, 20, 0xC080FF40u);
    original.quad(0, 12, 40, 18, 0xFFFFFFFFu, 0.1f, 0.3f, 0.7f, 0.9f); // white: the premultiplied texels
    original.setState(over);
    original.rasteriser().drawTriangle(original.at(1, 29, 0x80FF0000u), original.at(39, 15, 0xFF00FF00u),
                                       original.at(20, 0, 0x400000FFu), 0);
    original.rasteriser().drawLine(original.at(0.5, 0.5), original.at(39.5, 29.5, 0x80000000u));
    original.rasteriser().drawPoint(original.at(7.2, 8.9, 0xFF00FFFFu));
    original.rasteriser().record(nullptr);
    original.rasteriser().clear(BLACK);
    EXPECT_EQ(recording.width, 40);
    EXPECT_EQ(recording.height, 30);
    EXPECT_EQ(recording.commands.size(), 14u) << "three states, two clears, seven triangles, a line and a point";

    Canvas fastest(40, 30, 0xFFFFFFFFu);
    fastest.rasteriser().replay(recording);
    Canvas scalar(40, 30, 0xFFFFFFFFu, RasterPath::SCALAR);
    scalar.rasteriser().replay(recording);
    EXPECT_EQ(fastest.pixels(), scalar.pixels());
    original.rasteriser().replay(recording);
    EXPECT_EQ(original.pixels(), fastest.pixels());
    EXPECT_NE(fastest.pixel(20, 15), fastest.pixel(3, 3));
}

} // namespace
