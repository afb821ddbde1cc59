// Feeds arbitrary bytes to both "EGLImage" readers: the decoder, in memory, and readImageFile, the game's reader, from
// a file of the same bytes (a memory file, memfd, so that no run leaves one behind). Each either fails one of its
// checks or yields an image whose pixels all came from inside the data, and the two agree on which and on the image.
#include "egl/egltypes.h"

#include "foundation/dbg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace
{

int imageFile = -1;
std::string fileName; // the memory file by its /proc name

bool succeeds(const std::function<void()>& read)
{
    try
    {
        read();
    }
    catch (const DBGException&)
    {
        return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    imageFile = memfd_create("fuzz_eglimage.egl", MFD_CLOEXEC);
    if (imageFile < 0)
        std::abort();
    fileName = "/proc/self/fd/" + std::to_string(imageFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(imageFile, 0) != 0 || pwrite(imageFile, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    EGLImage decoded;
    EGLImage read;
    const bool wasDecoded = succeeds([&] { decodeImage(data, size, decoded); });
    const bool wasRead = succeeds([&] { readImageFile(fileName, read); });
    if (wasDecoded != wasRead)
        std::abort();
    if (!wasDecoded)
        return 0;
    if (!decoded.invariant() || size < 16 + 4 * pixelCount(decoded.columnCount(), decoded.rowCount()) ||
        !(read == decoded))
        std::abort();
    return 0;
}
