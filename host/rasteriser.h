#pragma once
// The software rasteriser behind the Direct3D device: clip-space points, lines and triangles drawn into a plain
// 32-bit ARGB pixel buffer with the fixed-function subset the program uses. No window, no Direct3D objects.
//
// Rules (those of Direct3D 9): pixel centres sit at integer coordinates; the viewport maps x and y from -1..1
// onto the whole target, y up; triangles follow the top-left fill rule, so pixels on an edge shared by two
// triangles are drawn once; vertices snap to 1/256 pixel. Lines are one pixel wide and leave out their last
// pixel; a point covers the one pixel whose centre is nearest. Attributes are interpolated linearly in screen
// space, which is exact for the orthographic projections the program uses. Textures are sampled at the nearest
// texel with wrap addressing; sides are powers of two.

#include "host/d3d8.h"
#include "host/rasterspan.h"

#include <array>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

struct RasterTarget
{
    std::uint32_t* pixels = nullptr; // 0xAARRGGBB, row 0 at the top
    int width = 0;                   // pixels
    int height = 0;                  // pixels
    int pitch = 0;                   // pixels from one row to the next
};

struct RasterTexture
{
    const std::uint32_t* texels = nullptr; // 0xAARRGGBB at rasterTexelIndex, row 0 at v = 0
    int widthLog2 = 0;
    int heightLog2 = 0;
    /// The same texels premultiplied by their alpha (rasterPremultiply), or null: additive blending of the plain
    /// texel then adds them as they stand.
    const std::uint32_t* premultiplied = nullptr;
};

/// A vertex after the vertex transform: clip-space position, diffuse colour and texture address.
struct RasterVertex
{
    float x, y, z, w;
    std::uint32_t color; // 0xAARRGGBB
    float u, v;
};

/// The device state that decides how pixels are drawn; values are Direct3D's.
struct RasterState
{
    const RasterTexture* texture = nullptr; // stage 0; null draws the diffuse colour
    DWORD colorOp = D3DTOP_MODULATE;
    DWORD colorArg1 = D3DTA_TEXTURE;
    DWORD colorArg2 = D3DTA_DIFFUSE;
    DWORD alphaOp = D3DTOP_SELECTARG1;
    DWORD alphaArg1 = D3DTA_TEXTURE;
    DWORD alphaArg2 = D3DTA_DIFFUSE;
    bool blendEnable = false;
    DWORD srcBlend = D3DBLEND_ONE;   // D3DBLEND_ZERO, _ONE, _SRCALPHA or _INVSRCALPHA
    DWORD destBlend = D3DBLEND_ZERO; // the same four
    DWORD shadeMode = D3DSHADE_GOURAUD;
    DWORD cullMode = D3DCULL_CCW;
};

/// The calls a rasteriser received, in order, so that the same draws can be made again elsewhere. The states
/// point at the textures the calls drew with, which must outlive the recording's replays.
struct RasterRecording
{
    struct Clear
    {
        std::uint32_t color;
        bool whole; // the whole target, else rect
        D3DRECT rect;
    };
    struct Point
    {
        RasterVertex vertex;
    };
    struct Line
    {
        RasterVertex a, b;
    };
    struct Triangle
    {
        RasterVertex a, b, c;
        std::uint32_t flatColor;
    };
    using Command = std::variant<RasterState, Clear, Point, Line, Triangle>;

    int width = 0; // the target's, pixels
    int height = 0;
    std::vector<Command> commands;
};

/// Which span loops shade the pixels: the fastest the processor runs, or the plain scalar ones that every faster
/// path must match pixel for pixel.
enum class RasterPath
{
    FASTEST,
    SCALAR,
};

class Rasteriser
{
public:
    explicit Rasteriser(RasterPath path = RasterPath::FASTEST);

    /// The buffer drawn into; it must outlive the draws.
    void setTarget(const RasterTarget& target);
    /// The state of the following draws; the texture must outlive them.
    void setState(const RasterState& state);

    /// Fills the target, or its part inside rect (x1, y1 inclusive, x2, y2 exclusive), with color.
    void clear(std::uint32_t color);
    void clear(std::uint32_t color, const D3DRECT& rect);

    void drawPoint(const RasterVertex& vertex);
    /// The points one after another, as drawPoint draws each.
    void drawPoints(std::span<const RasterVertex> vertices);
    /// Flat shading takes a's colour.
    void drawLine(const RasterVertex& a, const RasterVertex& b);
    /// Flat shading takes flatColor; the cull mode reads the winding a, b, c.
    void drawTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c, std::uint32_t flatColor);

    /// The number of pixels written since construction (for benchmarks and tests of clipping).
    std::uint64_t pixelCount() const { return mPixelCount; }

    /// From now on every call above is also appended to recording, after the state in force (its size set to
    /// the target's); null stops. The recording must outlive the calls.
    void record(RasterRecording* recording);
    /// Makes the recorded calls again, in order, into the current target.
    void replay(const RasterRecording& recording);

private:
    struct ScreenVertex;
    struct Gradients;

    void fill(std::uint32_t color, const D3DRECT& rect);
    std::uint32_t* row(int y) const;
    /// The vertex's place on the target in subpixels.
    std::array<std::int64_t, 2> snap(const RasterVertex& vertex) const;
    ScreenVertex project(const RasterVertex& vertex) const;
    void rasteriseTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c,
                           std::uint32_t flatColor);
    /// A span with the state's texture, combine masks and blend factors.
    RasterSpan spanTemplate(std::uint32_t constantColor) const;
    void shadePixel(int x, int y, std::uint32_t color, float u, float v);

    RasterPath mPath;
    RasterTarget mTarget;
    RasterState mState;
    // Chosen by setState:
    RasterCombine mCombine = RASTER_COMBINE_DIFFUSE;
    RasterMasks mMasks;
    RasterBlend mBlend = RASTER_BLEND_NONE;
    RasterSpan mPixelSpan; // points and lines: one pixel at a time
    RasterSpanFunction mPixelFunction = nullptr;

    std::uint64_t mPixelCount = 0;
    RasterRecording* mRecording = nullptr;
};
