// libpng's simplified interface writes the whole image at once, with its adaptive filters and zlib's default
// compression.

#include "tools/datagen/png.h"

#include <png.h>

#include <cstddef>

namespace datagen
{

bool writePng(const std::string& fileName, int width, int height, const std::vector<std::uint32_t>& pixels, bool opaque)
{
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height)
        return false;
    const int channels = opaque ? 3 : 4;
    std::vector<png_byte> bytes;
    bytes.reserve(pixels.size() * channels);
    for (const std::uint32_t p : pixels)
    {
        bytes.insert(bytes.end(),
                     {static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
        if (!opaque)
            bytes.push_back(static_cast<png_byte>(p >> 24));
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = opaque ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_file(&image, fileName.c_str(), 0, bytes.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return written;
}

} // namespace datagen
