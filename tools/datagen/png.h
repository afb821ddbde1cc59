#pragma once
// PNG files through libpng: the preview contact sheets and the screenshots of the running game.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen
{

/// Writes width x height 0xAARRGGBB pixels, row 0 at the top, as a compressed 8-bit RGBA PNG file, or RGB when
/// opaque is true (alpha is dropped); false when the file cannot be written.
bool writePng(const std::string& fileName, int width, int height, const std::vector<std::uint32_t>& pixels,
              bool opaque = false);

} // namespace datagen
