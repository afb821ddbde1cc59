// The span loops' vector paths give exactly the pixels of the scalar path, for every combination of texture
// stage, shading and blend.

#include "host/rasterkernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace
{

TEST(RasterSpan, VectorPathsMatchTheScalarPathPixelForPixel)
{
    std::vector<std::pair<const char*, RasterSpanFunction (*)(RasterCombine, bool, RasterBlend)>> paths = {
        {"SSE2", [](RasterCombine c, bool g, RasterBlend b) { return SPAN_FUNCTIONS<Sse2Pixels>[c][g][b]; }},
    };
    if (__builtin_cpu_supports("avx2"))
    {
        paths.emplace_back("AVX2", rasterSpanFunctionAvx2);
    }
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
    {
        paths.emplace_back("AVX-512", rasterSpanFunctionAvx512);
    }
    std::mt19937 random(7);
    std::vector<std::uint32_t> texels(rasterTexelCount(4, 3));
    for (std::uint32_t& texel : texels)
    {
        texel = random();
    }
    constexpr int LONGEST = 37; // vectors of four, eight and sixteen, then a remainder
    std::vector<std::uint32_t> background(LONGEST);
    for (std::uint32_t& pixel : background)
    {
        pixel = random();
    }
    // Spans shorter than a vector, of whole vectors, and longer with a remainder.
    for (const int COUNT : {1, 3, 8, 15, LONGEST})
    {
        for (int combine = 0; combine < 4; ++combine)
        {
            for (int gouraud = 0; gouraud < 2; ++gouraud)
            {
                for (int blend = 0; blend < RASTER_BLEND_COUNT; ++blend)
                {
                    RasterSpan span;
                    rasterUseTexture(span, texels.data(), 4, 3);
                    span.u = random();
                    span.v = random();
                    span.uStep = static_cast<std::int32_t>(random() % 0x30000) - 0x18000;
                    span.vStep = static_cast<std::int32_t>(random() % 0x30000) - 0x18000;
                    span.constantColor = random();
                    for (int c = 0; c < 4; ++c)
                    {
                        span.color[c] = static_cast<std::int32_t>(random() % (256 << 16));
                        span.colorStep[c] = static_cast<std::int32_t>(random() % 0x40000) - 0x20000;
                    }
                    span.masks = {0x00FFFFFFu, 0, 0xFF000000u};
                    span.srcBlend = D3DBLEND_SRCALPHA;
                    span.destBlend = D3DBLEND_ONE;
                    const auto c = static_cast<RasterCombine>(combine);
                    const auto b = static_cast<RasterBlend>(blend);
                    std::vector<std::uint32_t> expected = background;
                    SPAN_FUNCTIONS<ScalarPixels>[c][gouraud][b](span, COUNT, expected.data());
                    for (const auto& [name, path] : paths)
                    {
                        std::vector<std::uint32_t> actual = background;
                        path(c, gouraud != 0, b)(span, COUNT, actual.data());
                        EXPECT_EQ(actual, expected) << name << ": count " << COUNT << ", combine " << combine
                                                    << ", gouraud " << gouraud << ", blend " << blend;
                    }
                }
            }
        }
    }
}

TEST(RasterSpan, PremultipliedTexelsAddedGiveTheAdditiveBlendOfThePlainOnes)
{
    std::mt19937 random(11);
    std::vector<std::uint32_t> texels(rasterTexelCount(5, 4));
    for (std::uint32_t& texel : texels)
    {
        texel = random();
    }
    texels[0] = 0xFFFFFFFFu;
    texels[1] = 0x00FFFFFFu;
    texels[2] = 0x80808080u;
    std::vector<std::uint32_t> premultiplied(texels.size());
    rasterPremultiply(texels.data(), texels.size(), premultiplied.data());
    EXPECT_EQ(premultiplied[0], 0xFFFFFFFFu);
    EXPECT_EQ(premultiplied[1], 0u);
    EXPECT_EQ(premultiplied[2], 0x40404040u) << "0x80 x 0x80 / 255 = 64.25";

    constexpr int COUNT = 45;
    std::vector<std::uint32_t> background(COUNT);
    for (std::uint32_t& pixel : background)
    {
        pixel = random();
    }
    RasterSpan span;
    rasterUseTexture(span, texels.data(), 5, 4);
    span.u = random();
    span.v = random();
    span.uStep = 0x5432;
    span.vStep = -0x2345;
    std::vector<std::uint32_t> expected = background;
    SPAN_FUNCTIONS<ScalarPixels>[RASTER_COMBINE_TEXEL][0][RASTER_BLEND_ADDITIVE](span, COUNT, expected.data());
    span.texels = premultiplied.data();
    for (const RasterSpanFunction function :
         {SPAN_FUNCTIONS<ScalarPixels>[RASTER_COMBINE_TEXEL][0][RASTER_BLEND_PREMULTIPLIED],
          rasterSpanFunction(RASTER_COMBINE_TEXEL, false, RASTER_BLEND_PREMULTIPLIED)})
    {
        std::vector<std::uint32_t> actual = background;
        function(span, COUNT, actual.data());
        EXPECT_EQ(actual, expected);
    }
}

} // namespace
