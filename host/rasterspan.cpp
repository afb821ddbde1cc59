// Picks the span loops for the processor: AVX-512 or AVX2 where it has them, else SSE2 (every x86-64), else scalar.

#include "host/rasterkernel.h"

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

void rasterPremultiply(const std::uint32_t* texels, int widthLog2, int heightLog2, std::uint32_t* out)
{
    const u32 width = 1u << widthLog2;
    const u32 height = 1u << heightLog2;
    for (u32 row = 0; row < height; ++row)
    {
        for (u32 column = 0; column < width; ++column)
        {
            out[blockIndex(column, row, widthLog2)] = premultiply(texels[row * width + column]);
        }
    }
}

void rasterUseTexture(RasterSpan& span, const std::uint32_t* texels, int widthLog2, int heightLog2)
{
    span.texels = texels;
    span.width = 1u << widthLog2;
    span.widthLog2 = widthLog2;
    span.uMask = span.width - 1;
    span.vMask = (1u << heightLog2) - 1;
}
