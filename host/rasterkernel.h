#pragma once
// The span loops, written once over a vector width: the scalar pixel arithmetic, a vector policy per
// instruction set (SSE2: four pixels, AVX2: eight) and the loop that samples, combines and blends a span.
// Each translation unit that includes it gets its own copy (everything is in an unnamed namespace), compiled
// for its own instruction set; rasterspan.cpp picks one at run time.
//
// Colour arithmetic works on two 8-bit channels at once in the 16-bit lanes of a 32-bit word, or on whole
// vectors of pixels; every product of two channels is rounded to the nearest multiple of 1/255, so that every
// path gives the same pixels.

#include "host/rasterspan.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace
{

using u32 = std::uint32_t;
using i32 = std::int32_t;

constexpr u32 LANES = 0x00FF00FFu;

// ---- Pixel arithmetic ----

// Rounds each 16-bit lane (at most 255 x 255) divided by 255 to the nearest integer.
inline u32 div255Lanes(u32 x)
{
    x += 0x00800080u;
    return ((x + ((x >> 8) & LANES)) >> 8) & LANES;
}

inline u32 div255(u32 x)
{
    return (x + 127) / 255;
}

// Every channel times a / 255.
inline u32 scaleChannels(u32 color, u32 a)
{
    return div255Lanes((color & LANES) * a) | (div255Lanes(((color >> 8) & LANES) * a) << 8);
}

// Channel by channel product of two colours / 255.
inline u32 modulateColors(u32 t, u32 d)
{
    u32 result = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        result |= div255(((t >> shift) & 0xFF) * ((d >> shift) & 0xFF)) << shift;
    }
    return result;
}

// Source alpha over the inverse source alpha.
inline u32 blendAlpha(u32 s, u32 d)
{
    const u32 a = s >> 24;
    const u32 ia = 255 - a;
    const u32 rb = div255Lanes((s & LANES) * a + (d & LANES) * ia);
    const u32 ag = div255Lanes(((s >> 8) & LANES) * a + ((d >> 8) & LANES) * ia);
    return rb | (ag << 8);
}

// Channel by channel sum, saturating at 255.
inline u32 addSaturate(u32 s, u32 d)
{
    u32 rb = (d & LANES) + (s & LANES);
    u32 ag = ((d >> 8) & LANES) + ((s >> 8) & LANES);
    rb |= ((rb >> 8) & 0x00010001u) * 0xFF;
    ag |= ((ag >> 8) & 0x00010001u) * 0xFF;
    return (rb & LANES) | ((ag & LANES) << 8);
}

// The colour with every channel, alpha too, times its alpha: what additive blending adds.
inline u32 premultiply(u32 s)
{
    return scaleChannels(s, s >> 24);
}

// The target plus the source times its alpha, each channel saturating at 255.
inline u32 blendAdditive(u32 s, u32 d)
{
    return addSaturate(premultiply(s), d);
}

u32 blendFactor(DWORD blend, u32 alpha)
{
    switch (blend)
    {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_SRCALPHA:
        return alpha;
    case D3DBLEND_INVSRCALPHA:
        return 255 - alpha;
    default:
        return 255;
    }
}

// Any pair of the four supported factors, channel by channel.
inline u32 blendGeneric(u32 s, u32 d, DWORD srcBlend, DWORD destBlend)
{
    const u32 fs = blendFactor(srcBlend, s >> 24);
    const u32 fd = blendFactor(destBlend, s >> 24);
    u32 result = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const u32 sum = ((s >> shift) & 0xFF) * fs + ((d >> shift) & 0xFF) * fd;
        result |= std::min<u32>(255, div255(sum)) << shift;
    }
    return result;
}

// ---- Combining texel and diffuse ----

template <int C>
inline u32 combine(u32 texel, u32 diffuse, const RasterMasks& masks)
{
    if constexpr (C == RASTER_COMBINE_DIFFUSE)
    {
        return diffuse;
    }
    else if constexpr (C == RASTER_COMBINE_TEXEL)
    {
        return texel;
    }
    else if constexpr (C == RASTER_COMBINE_MODULATE)
    {
        return modulateColors(texel, diffuse);
    }
    else
    {
        return (modulateColors(texel, diffuse) & masks.modulate) | (texel & masks.texel) | (diffuse & masks.diffuse);
    }
}

// ---- Spans ----

inline u32 packColor(const std::array<i32, 4>& channels)
{
    u32 color = 0;
    for (int i = 0; i < 4; ++i)
    {
        color |= static_cast<u32>(std::clamp(channels[i] >> 16, 0, 255)) << (8 * i);
    }
    return color;
}

// rasterTexelIndex in a texture whose rows hold 2^storedWidthLog2 texels: block row row / 4 starts at
// (row & ~3) x (2^storedWidthLog2 + 4), the block in it at (column & ~3) x 4 and the texel in the block at
// (row & 3) x 4 + (column & 3); the block row's padding and the row in the block add up to row x 4.
inline u32 blockIndex(u32 column, u32 row, int storedWidthLog2)
{
    return ((row & ~3u) << storedWidthLog2) + ((row + (column & ~3u)) << 2) + (column & 3u);
}

inline u32 fetchTexel(const RasterSpan& span, u32 u, u32 v)
{
    return span.texels[blockIndex((u >> 16) & span.uMask, (v >> 16) & span.vMask, span.storedWidthLog2)];
}

// ---- Vector policies ----
// Each offers the same operations on N pixels; 16-bit operations work on pixels widened to four 16-bit lanes.

/// No vector unit: every pixel goes through the scalar path.
struct ScalarPixels
{
    static constexpr int N = 0;
};

#if defined(__SSE2__)

struct Sse2Pixels
{
    static constexpr int N = 4;
    using V = __m128i;

    static V load(const u32* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(u32* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    // The first count (< N) pixels alone; SSE2 has no masked moves.
    static V loadFirst(const u32* p, int count)
    {
        alignas(16) std::array<u32, N> pixels{};
        std::copy_n(p, count, pixels.begin());
        return _mm_load_si128(reinterpret_cast<const V*>(pixels.data()));
    }
    static void storeFirst(u32* p, V v, int count)
    {
        alignas(16) std::array<u32, N> pixels;
        _mm_store_si128(reinterpret_cast<V*>(pixels.data()), v);
        std::copy_n(pixels.begin(), count, p);
    }
    static V set1(u32 x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static V set1Wide(std::uint16_t x) { return _mm_set1_epi16(static_cast<short>(x)); }
    static V add(V a, V b) { return _mm_add_epi32(a, b); }
    static V andBits(V a, V b) { return _mm_and_si128(a, b); }
    static V orBits(V a, V b) { return _mm_or_si128(a, b); }
    static V shiftRight16(V a) { return _mm_srli_epi32(a, 16); }
    static V shiftLeft(V a, int count) { return _mm_sll_epi32(a, _mm_cvtsi32_si128(count)); }
    // SSE2 has no gather: the addresses go through memory.
    static V gather(const u32* base, V index)
    {
        alignas(16) std::array<u32, N> i;
        _mm_store_si128(reinterpret_cast<V*>(i.data()), index);
        return _mm_setr_epi32(static_cast<int>(base[i[0]]), static_cast<int>(base[i[1]]), static_cast<int>(base[i[2]]),
                              static_cast<int>(base[i[3]]));
    }
    static V gatherFirst(const u32* base, V index, int) { return gather(base, index); }
    static V widenLow(V a) { return _mm_unpacklo_epi8(a, _mm_setzero_si128()); }
    static V widenHigh(V a) { return _mm_unpackhi_epi8(a, _mm_setzero_si128()); }
    static V narrow(V low, V high) { return _mm_packus_epi16(low, high); }
    static V addWide(V a, V b) { return _mm_add_epi16(a, b); }
    static V subWide(V a, V b) { return _mm_sub_epi16(a, b); }
    static V mulWide(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V mulHighWide(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V alphaWide(V a) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0xFF), 0xFF); }
    static V addSaturate(V a, V b) { return _mm_adds_epu8(a, b); }
};

#endif

#if defined(__AVX2__)

// The 16-bit operations of AVX2 work within each half of the register, which keeps every pixel in its half.
struct Avx2Pixels
{
    static constexpr int N = 8;
    using V = __m256i;

    static V load(const u32* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void store(u32* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V firstLanes(int count)
    {
        return _mm256_cmpgt_epi32(set1(static_cast<u32>(count)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }
    static V loadFirst(const u32* p, int count)
    {
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), firstLanes(count));
    }
    static void storeFirst(u32* p, V v, int count)
    {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(p), firstLanes(count), v);
    }
    static V set1(u32 x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static V set1Wide(std::uint16_t x) { return _mm256_set1_epi16(static_cast<short>(x)); }
    static V add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V andBits(V a, V b) { return _mm256_and_si256(a, b); }
    static V orBits(V a, V b) { return _mm256_or_si256(a, b); }
    static V shiftRight16(V a) { return _mm256_srli_epi32(a, 16); }
    static V shiftLeft(V a, int count) { return _mm256_sll_epi32(a, _mm_cvtsi32_si128(count)); }
    static V gather(const u32* base, V index)
    {
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), index, 4);
    }
    // The first count lanes only: a gather costs a load per lane it fetches.
    static V gatherFirst(const u32* base, V index, int count)
    {
        return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(base), index,
                                           firstLanes(count), 4);
    }
    static V widenLow(V a) { return _mm256_unpacklo_epi8(a, _mm256_setzero_si256()); }
    static V widenHigh(V a) { return _mm256_unpackhi_epi8(a, _mm256_setzero_si256()); }
    static V narrow(V low, V high) { return _mm256_packus_epi16(low, high); }
    static V addWide(V a, V b) { return _mm256_add_epi16(a, b); }
    static V subWide(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V mulWide(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V mulHighWide(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V alphaWide(V a) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF); }
    static V addSaturate(V a, V b) { return _mm256_adds_epu8(a, b); }
};

#endif

#if defined(__AVX512BW__)

// As AVX2, in four quarters of the register.
struct Avx512Pixels
{
    static constexpr int N = 16;
    using V = __m512i;

    static V load(const u32* p) { return _mm512_loadu_si512(p); }
    static void store(u32* p, V v) { _mm512_storeu_si512(p, v); }
    static __mmask16 firstLanes(int count) { return static_cast<__mmask16>((1u << count) - 1); }
    static V loadFirst(const u32* p, int count) { return _mm512_maskz_loadu_epi32(firstLanes(count), p); }
    static void storeFirst(u32* p, V v, int count) { _mm512_mask_storeu_epi32(p, firstLanes(count), v); }
    static V set1(u32 x) { return _mm512_set1_epi32(static_cast<int>(x)); }
    static V set1Wide(std::uint16_t x) { return _mm512_set1_epi16(static_cast<short>(x)); }
    static V add(V a, V b) { return _mm512_add_epi32(a, b); }
    static V andBits(V a, V b) { return _mm512_and_si512(a, b); }
    static V orBits(V a, V b) { return _mm512_or_si512(a, b); }
    static V shiftRight16(V a) { return _mm512_srli_epi32(a, 16); }
    static V shiftLeft(V a, int count) { return _mm512_sll_epi32(a, _mm_cvtsi32_si128(count)); }
    static V gather(const u32* base, V index) { return _mm512_i32gather_epi32(index, base, 4); }
    static V gatherFirst(const u32* base, V index, int count)
    {
        return _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), firstLanes(count), index, base, 4);
    }
    static V widenLow(V a) { return _mm512_unpacklo_epi8(a, _mm512_setzero_si512()); }
    static V widenHigh(V a) { return _mm512_unpackhi_epi8(a, _mm512_setzero_si512()); }
    static V narrow(V low, V high) { return _mm512_packus_epi16(low, high); }
    static V addWide(V a, V b) { return _mm512_add_epi16(a, b); }
    static V subWide(V a, V b) { return _mm512_sub_epi16(a, b); }
    static V mulWide(V a, V b) { return _mm512_mullo_epi16(a, b); }
    static V mulHighWide(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    static V alphaWide(V a) { return _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(a, 0xFF), 0xFF); }
    static V addSaturate(V a, V b) { return _mm512_adds_epu8(a, b); }
};

#endif

// ---- Vector arithmetic, the same as the scalar one above ----

// (x + 128) x 257 / 65536 rounds x / 255 exactly as div255Lanes does for every x up to 255 x 255.
template <class S>
typename S::V div255Wide(typename S::V x)
{
    return S::mulHighWide(S::addWide(x, S::set1Wide(128)), S::set1Wide(257));
}

template <class S>
typename S::V modulateColorsWide(typename S::V t, typename S::V d)
{
    return S::narrow(div255Wide<S>(S::mulWide(S::widenLow(t), S::widenLow(d))),
                     div255Wide<S>(S::mulWide(S::widenHigh(t), S::widenHigh(d))));
}

template <class S>
typename S::V blendAlphaWide(typename S::V s, typename S::V d)
{
    const auto half = [](typename S::V s16, typename S::V d16)
    {
        const typename S::V a = S::alphaWide(s16);
        return div255Wide<S>(S::addWide(S::mulWide(s16, a), S::mulWide(d16, S::subWide(S::set1Wide(255), a))));
    };
    return S::narrow(half(S::widenLow(s), S::widenLow(d)), half(S::widenHigh(s), S::widenHigh(d)));
}

template <class S>
typename S::V blendAdditiveWide(typename S::V s, typename S::V d)
{
    const auto half = [](typename S::V s16) { return div255Wide<S>(S::mulWide(s16, S::alphaWide(s16))); };
    return S::addSaturate(d, S::narrow(half(S::widenLow(s)), half(S::widenHigh(s))));
}

// ---- The span loop ----

template <int B>
inline u32 blendPixel(u32 s, u32 d, const RasterSpan& span)
{
    if constexpr (B == RASTER_BLEND_NONE)
    {
        return s;
    }
    else if constexpr (B == RASTER_BLEND_ALPHA)
    {
        return blendAlpha(s, d);
    }
    else if constexpr (B == RASTER_BLEND_ADDITIVE)
    {
        return blendAdditive(s, d);
    }
    else if constexpr (B == RASTER_BLEND_PREMULTIPLIED)
    {
        return addSaturate(s, d);
    }
    else
    {
        return blendGeneric(s, d, span.srcBlend, span.destBlend);
    }
}

// A whole span in one pass: sample, combine and blend a vector of pixels at a time (any blend but the generic
// one), the last few through a vector of their own; without a vector unit, one pixel at a time.
template <class S, int C, bool Gouraud, int B>
void drawSpan(const RasterSpan& span, int count, u32* target)
{
    u32 u = span.u;
    u32 v = span.v;
    std::array<i32, 4> color = span.color;
    const auto nextDiffuse = [&]
    {
        if constexpr (!Gouraud)
        {
            return span.constantColor;
        }
        const u32 packed = packColor(color);
        for (int c = 0; c < 4; ++c)
        {
            // Wrapping: the lanes past a span's end step on beyond the triangle, and are thrown away.
            color[c] = static_cast<i32>(static_cast<u32>(color[c]) + static_cast<u32>(span.colorStep[c]));
        }
        return packed;
    };
    if constexpr (S::N > 0 && B != RASTER_BLEND_GENERIC)
    {
        using V = typename S::V;
        const auto ramp = [](u32 start, i32 step)
        {
            alignas(32) std::array<u32, S::N> values;
            for (int k = 0; k < S::N; ++k)
            {
                values[static_cast<std::size_t>(k)] = start + static_cast<u32>(k) * static_cast<u32>(step);
            }
            return S::load(values.data());
        };
        V uN = ramp(u, span.uStep);
        V vN = ramp(v, span.vStep);
        const V uStepN = S::set1(static_cast<u32>(S::N) * static_cast<u32>(span.uStep));
        const V vStepN = S::set1(static_cast<u32>(S::N) * static_cast<u32>(span.vStep));
        const V uMask = S::set1(span.uMask);
        const V vMask = S::set1(span.vMask);
        const V constant = S::set1(span.constantColor);
        // The shaded pixels over the target's (read only when the blend needs them).
        const auto shade = [&](V destination, int lanes)
        {
            V texels = constant;
            if constexpr (C != RASTER_COMBINE_DIFFUSE)
            {
                const V column = S::andBits(S::shiftRight16(uN), uMask);
                const V row = S::andBits(S::shiftRight16(vN), vMask);
                // blockIndex, lane by lane.
                const V high = S::set1(~3u);
                const V index = S::add(S::add(S::shiftLeft(S::andBits(row, high), span.storedWidthLog2),
                                              S::shiftLeft(S::add(row, S::andBits(column, high)), 2)),
                                       S::andBits(column, S::set1(3)));
                texels = lanes == S::N ? S::gather(span.texels, index) : S::gatherFirst(span.texels, index, lanes);
                uN = S::add(uN, uStepN);
                vN = S::add(vN, vStepN);
            }
            V diffuse = constant;
            if constexpr (Gouraud)
            {
                alignas(32) std::array<u32, S::N> values;
                for (u32& value : values)
                {
                    value = nextDiffuse();
                }
                diffuse = S::load(values.data());
            }
            V shaded = diffuse;
            if constexpr (C == RASTER_COMBINE_TEXEL)
            {
                shaded = texels;
            }
            else if constexpr (C == RASTER_COMBINE_MODULATE)
            {
                shaded = modulateColorsWide<S>(texels, diffuse);
            }
            else if constexpr (C == RASTER_COMBINE_MASKED)
            {
                shaded = S::orBits(
                    S::orBits(S::andBits(modulateColorsWide<S>(texels, diffuse), S::set1(span.masks.modulate)),
                              S::andBits(texels, S::set1(span.masks.texel))),
                    S::andBits(diffuse, S::set1(span.masks.diffuse)));
            }
            if constexpr (B == RASTER_BLEND_ALPHA)
            {
                shaded = blendAlphaWide<S>(shaded, destination);
            }
            else if constexpr (B == RASTER_BLEND_ADDITIVE)
            {
                shaded = blendAdditiveWide<S>(shaded, destination);
            }
            else if constexpr (B == RASTER_BLEND_PREMULTIPLIED)
            {
                shaded = S::addSaturate(destination, shaded);
            }
            return shaded;
        };
        constexpr bool READS = B != RASTER_BLEND_NONE;
        int i = 0;
        for (; i + S::N <= count; i += S::N)
        {
            S::store(target + i, shade(READS ? S::load(target + i) : constant, S::N));
        }
        if (i < count)
        {
            const int rest = count - i;
            S::storeFirst(target + i, shade(READS ? S::loadFirst(target + i, rest) : constant, rest), rest);
        }
        return;
    }
    for (int i = 0; i < count; ++i)
    {
        u32 texel = 0;
        if constexpr (C != RASTER_COMBINE_DIFFUSE)
        {
            texel = fetchTexel(span, u, v);
            u += static_cast<u32>(span.uStep);
            v += static_cast<u32>(span.vStep);
        }
        target[i] = blendPixel<B>(combine<C>(texel, nextDiffuse(), span.masks), target[i], span);
    }
}

template <class S, int C, bool Gouraud>
constexpr std::array<RasterSpanFunction, RASTER_BLEND_COUNT> BLENDS = {
    drawSpan<S, C, Gouraud, RASTER_BLEND_NONE>, drawSpan<S, C, Gouraud, RASTER_BLEND_ALPHA>,
    drawSpan<S, C, Gouraud, RASTER_BLEND_ADDITIVE>, drawSpan<S, C, Gouraud, RASTER_BLEND_GENERIC>,
    drawSpan<S, C, Gouraud, RASTER_BLEND_PREMULTIPLIED>};

template <class S, int C>
constexpr std::array<std::array<RasterSpanFunction, RASTER_BLEND_COUNT>, 2> SHADINGS = {BLENDS<S, C, false>,
                                                                                        BLENDS<S, C, true>};

/// Every span function for one vector policy, by combine, shading (flat, Gouraud) and blend.
template <class S>
constexpr std::array<std::array<std::array<RasterSpanFunction, RASTER_BLEND_COUNT>, 2>, 4> SPAN_FUNCTIONS = {
    SHADINGS<S, RASTER_COMBINE_DIFFUSE>, SHADINGS<S, RASTER_COMBINE_TEXEL>, SHADINGS<S, RASTER_COMBINE_MODULATE>,
    SHADINGS<S, RASTER_COMBINE_MASKED>};

} // namespace
