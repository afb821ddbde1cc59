// The span loops for processors with AVX-512 (foundation and byte and word instructions): this file alone is
// compiled for it.

// GCC 12's AVX-512 intrinsics fill their unused operand with _mm512_undefined_epi32, which its own flow analysis
// then reports as maybe uninitialized.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "host/rasterkernel.h"

RasterSpanFunction rasterSpanFunctionAvx512(RasterCombine combine, bool gouraud, RasterBlend blend)
{
    return SPAN_FUNCTIONS<Avx512Pixels>.at(combine).at(gouraud ? 1 : 0).at(blend);
}
