#pragma once
// The inner loops of the rasteriser: one horizontal run of pixels shaded by the texture stage (texel, diffuse
// colour or their product) and blended into the target. Each combination of stage, shading and blend has its
// own loop.

#include "host/d3d8.h"

#include <array>
#include <cstddef>
#include <cstdint>

/// How texel and diffuse combine.
enum RasterCombine
{
    RASTER_COMBINE_DIFFUSE,  // no texture: the diffuse colour
    RASTER_COMBINE_TEXEL,    // the texel alone
    RASTER_COMBINE_MODULATE, // texel x diffuse, channel by channel
    RASTER_COMBINE_MASKED,   // each channel the product, the texel or the diffuse colour, by the masks
};

/// How the shaded colour s meets the target colour d.
enum RasterBlend
{
    RASTER_BLEND_NONE,     // d := s
    RASTER_BLEND_ALPHA,    // d := s x alpha + d x (1 - alpha)
    RASTER_BLEND_ADDITIVE, // d := d + s x alpha, saturating
    RASTER_BLEND_GENERIC,  // d := s x srcFactor + d x destFactor, saturating, any of ZERO, ONE, SRCALPHA, INVSRCALPHA
    // d := d + s, saturating, for texels whose channels carry their alpha already (rasterPremultiply): additive
    // blending of a texel, with the product taken once per texel rather than once per pixel.
    RASTER_BLEND_PREMULTIPLIED,
    RASTER_BLEND_COUNT,
};

/// Bits of the colour taken from the product, the texel and the diffuse colour (RASTER_COMBINE_MASKED).
struct RasterMasks
{
    std::uint32_t modulate = 0;
    std::uint32_t texel = 0;
    std::uint32_t diffuse = 0;
};

/// Where a span starts and how its attributes change from one pixel to the next, in 16.16 fixed point.
struct RasterSpan
{
    std::array<std::int32_t, 4> color{};     // b, g, r, a (Gouraud shading)
    std::array<std::int32_t, 4> colorStep{}; // per pixel
    std::uint32_t constantColor = 0;         // the diffuse colour otherwise
    std::uint32_t u = 0, v = 0;              // texels, wrapping modulo 2^32 (a multiple of every texture side)
    std::int32_t uStep = 0, vStep = 0;       // per pixel
    const std::uint32_t* texels = nullptr;   // at rasterTexelIndex
    std::uint32_t width = 0;                 // texels
    int storedWidthLog2 = 0;                 // log2 of the width, at least a block's 4 texels
    std::uint32_t uMask = 0, vMask = 0;      // texture side - 1
    RasterMasks masks;
    DWORD srcBlend = D3DBLEND_ONE; // RASTER_BLEND_GENERIC's factors
    DWORD destBlend = D3DBLEND_ZERO;
};

/// A rectangle of a texture's texels.
struct RasterTexelRect
{
    std::uint32_t left = 0, top = 0, width = 0, height = 0;
};

/// How many texels a texture whose sides are 2^widthLog2 and 2^heightLog2 keeps (rasterTexelIndex): its sides
/// padded to the 4 of a block, and a block more in each block row.
std::size_t rasterTexelCount(int widthLog2, int heightLog2);
/// Where a texture 2^widthLog2 wide keeps texel (column, row): in blocks of 4 x 4 texels, one cache line each,
/// stored block row by block row, so that a span crossing the texel rows at a slant reads a few lines instead of
/// one per texel; each block row is followed by an unused block, so that the blocks of a column fall into
/// different cache sets.
std::size_t rasterTexelIndex(std::uint32_t column, std::uint32_t row, int widthLog2);
/// Copies the rect of a texture's texels into rows, pitch texels from one row to the next.
void rasterReadTexels(const std::uint32_t* texels, int widthLog2, const RasterTexelRect& rect, std::uint32_t* rows,
                      std::size_t pitch);
/// Copies rows, pitch texels apart, into the rect of a texture's texels.
void rasterWriteTexels(std::uint32_t* texels, int widthLog2, const RasterTexelRect& rect, const std::uint32_t* rows,
                       std::size_t pitch);

/// The count texels each with every channel, alpha too, times its alpha / 255 (rounded), in the same places, for
/// RASTER_BLEND_PREMULTIPLIED.
void rasterPremultiply(const std::uint32_t* texels, std::size_t count, std::uint32_t* out);

/// Points the span at a texture for sampling; u, v and their steps stay to be set.
void rasterUseTexture(RasterSpan& span, const std::uint32_t* texels, int widthLog2, int heightLog2);

/// Shades count consecutive pixels from the span's start and blends them into target.
using RasterSpanFunction = void (*)(const RasterSpan& span, int count, std::uint32_t* target);

/// The span function for the state, in the widest vector code the processor runs.
RasterSpanFunction rasterSpanFunction(RasterCombine combine, bool gouraud, RasterBlend blend);
/// The same in scalar code, which needs no setting up (single pixels of points and lines) and defines the
/// pixels that every vector path gives.
RasterSpanFunction rasterScalarSpanFunction(RasterCombine combine, bool gouraud, RasterBlend blend);
/// The span function compiled for AVX2; only for processors that have it (built on x86-64 only).
RasterSpanFunction rasterSpanFunctionAvx2(RasterCombine combine, bool gouraud, RasterBlend blend);
/// The same for AVX-512 with its byte and word instructions (AVX512F and AVX512BW).
RasterSpanFunction rasterSpanFunctionAvx512(RasterCombine combine, bool gouraud, RasterBlend blend);
