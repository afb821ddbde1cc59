// The scaled copy's rows for processors with AVX-512: this file alone is compiled for it.

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 intrinsics fill their unused operand with _mm512_undefined_epi32, which its own flow analysis
// then reports as maybe uninitialized.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "host/d3d8present.h"

#include <algorithm>
#include <cstdint>
#include <immintrin.h>

void d3d8ScaleRowUpAvx512(const std::uint32_t* source, const int* columns, int count, std::uint32_t* target)
{
    // Scaling up, sixteen target pixels take at most sixteen neighbouring source pixels: one load of those (no
    // further than the last one needed) and one permutation.
    const auto scaled = [&](int x, int lanes)
    {
        const __m512i index = _mm512_maskz_loadu_epi32(static_cast<__mmask16>((1u << lanes) - 1), columns + x);
        const int first = columns[x];
        const int span = columns[x + lanes - 1] - first + 1;
        const __m512i pixels = _mm512_maskz_loadu_epi32(static_cast<__mmask16>((1u << span) - 1), source + first);
        return _mm512_permutexvar_epi32(_mm512_sub_epi32(index, _mm512_set1_epi32(first)), pixels);
    };
    const auto storePart = [&](int x, int lanes)
    { _mm512_mask_storeu_epi32(target + x, static_cast<__mmask16>((1u << lanes) - 1), scaled(x, lanes)); };
    // The whole cache lines bypass the cache: the target is the window's memory, which the display reads next.
    // A target off the 4-byte grid never reaches a cache line's start, where a streaming store must begin.
    const auto address = reinterpret_cast<std::uintptr_t>(target);
    const bool streamed = address % 4 == 0;
    const int head = streamed ? std::min(count, static_cast<int>((64 - address % 64) % 64 / 4)) : 0;
    if (head > 0)
    {
        storePart(0, head);
    }
    int x = head;
    for (; x + 16 <= count; x += 16)
    {
        if (streamed)
        {
            _mm512_stream_si512(reinterpret_cast<__m512i*>(target + x), scaled(x, 16));
        }
        else
        {
            _mm512_storeu_si512(target + x, scaled(x, 16));
        }
    }
    if (x < count)
    {
        storePart(x, count - x);
    }
    _mm_sfence();
}
