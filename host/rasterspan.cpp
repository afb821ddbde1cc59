// Picks the span loops for the processor: AVX-512 or AVX2 where it has them, else SSE2 (every x86-64), else scalar.

#include "host/rasterkernel.h"

#include <algorithm>

namespace
{

#if defined(__SSE2__)
using BasePixels = Sse2Pixels;
#else
using BasePixels = ScalarPixels;
#endif

} // namespace

RasterSpanFunction rasterSpanFunction(RasterCombine combine, bool gouraud, RasterBlend blend)
{
#if defined(QUILLOM_RASTER_AVX2)
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx512)
    {
        return rasterSpanFunctionAvx512(combine, gouraud, blend);
    }
    if (avx2)
    {
        return rasterSpanFunctionAvx2(combine, gouraud, blend);
    }
#endif
    return SPAN_FUNCTIONS<BasePixels>.at(combine).at(gouraud ? 1 : 0).at(blend);
}

RasterSpanFunction rasterScalarSpanFunction(RasterCombine combine, bool gouraud, RasterBlend blend)
{
    return SPAN_FUNCTIONS<ScalarPixels>.at(combine).at(gouraud ? 1 : 0).at(blend);
}

namespace
{

// The texels of rect run by run: each run the part of a texel row within one block, stored together.
template <class CopyRun>
void forEachRun(int widthLog2, const RasterTexelRect& rect, std::size_t pitch, CopyRun copyRun)
{
    for (u32 y = 0; y < rect.height; ++y)
    {
        for (u32 x = 0; x < rect.width;)
        {
            const u32 column = rect.left + x;
            const u32 run = std::min(4 - (column & 3u), rect.width - x);
            copyRun(rasterTexelIndex(column, rect.top + y, widthLog2), y * pitch + x, run);
            x += run;
        }
    }
}

} // namespace

std::size_t rasterTexelCount(int widthLog2, int heightLog2)
{
    const std::size_t height = std::size_t{1} << std::max(heightLog2, 2);
    return height * ((std::size_t{1} << std::max(widthLog2, 2)) + 4);
}

std::size_t rasterTexelIndex(std::uint32_t column, std::uint32_t row, int widthLog2)
{
    return blockIndex(column, row, std::max(widthLog2, 2));
}

void rasterReadTexels(const std::uint32_t* texels, int widthLog2, const RasterTexelRect& rect, std::uint32_t* rows,
                      std::size_t pitch)
{
    forEachRun(widthLog2, rect, pitch,
               [&](std::size_t stored, std::size_t place, u32 count)
               { std::copy_n(texels + stored, count, rows + place); });
}

void rasterWriteTexels(std::uint32_t* texels, int widthLog2, const RasterTexelRect& rect, const std::uint32_t* rows,
                       std::size_t pitch)
{
    forEachRun(widthLog2, rect, pitch,
               [&](std::size_t stored, std::size_t place, u32 count)
               { std::copy_n(rows + place, count, texels + stored); });
}

void rasterPremultiply(const std::uint32_t* texels, std::size_t count, std::uint32_t* out)
{
    std::transform(texels, texels + count, out, premultiply);
}

void rasterUseTexture(RasterSpan& span, const std::uint32_t* texels, int widthLog2, int heightLog2)
{
    span.texels = texels;
    span.width = 1u << widthLog2;
    span.storedWidthLog2 = std::max(widthLog2, 2);
    span.uMask = span.width - 1;
    span.vMask = (1u << heightLog2) - 1;
}
