// Feeds arbitrary bytes to the "EGLImage" decoder: it either fails one of its checks or yields an image whose
// pixels all came from inside the data.
#include "egl/egltypes.h"

#include "foundation/dbg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EGLImage image;
    try
    {
        decodeImage(data, size, image);
    }
    catch (const DBGException&)
    {
        return 0;
    }
    const std::size_t pixelBytes = 4 * static_cast<std::size_t>(image.columnCount()) * image.rowCount();
    if (!image.invariant() || size < 16 + pixelBytes)
        std::abort();
    return 0;
}
