// The span loops for processors with AVX2: this file alone is compiled for it.

#include "host/rasterkernel.h"

RasterSpanFunction rasterSpanFunctionAvx2(RasterCombine combine, bool gouraud, RasterBlend blend)
{
    return SPAN_FUNCTIONS<Avx2Pixels>.at(combine).at(gouraud ? 1 : 0).at(blend);
}
