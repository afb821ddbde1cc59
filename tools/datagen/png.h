#pragma once
// A minimal PNG writer for the preview contact sheets: 8-bit RGBA, stored (uncompressed) deflate blocks.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen
{

/// Writes width x height 0xAARRGGBB pixels, row 0 at the top, as a PNG file; false when the file cannot be written.
bool writePng(const std::string& fileName, int width, int height, const std::vector<std::uint32_t>& pixels);

} // namespace datagen
