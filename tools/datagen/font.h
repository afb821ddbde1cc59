#pragma once
// Glyph rendering with FreeType from the system's DejaVu fonts, and the game's bitmap font picture.

#include "tools/datagen/raster.h"

#include <memory>
#include <string>

namespace datagen
{

/// Where the DejaVu TrueType fonts are installed.
inline const std::string DEJAVU_DIRECTORY = "/usr/share/fonts/truetype/dejavu/";

/// One glyph's coverage, placed relative to the pen: its top left pixel lies `left` right of the pen and `top`
/// above the baseline.
struct GlyphBitmap
{
    Mask coverage{0, 0};
    int left = 0;
    int top = 0;
    int advance = 0; // pixels the pen moves on
};

/// A font face of a TrueType file, rendered at whole pixel sizes with anti-aliasing.
class Typeface
{
public:
    /// Opens the file; a missing or unreadable font throws "Font file could not be opened.".
    explicit Typeface(const std::string& fileName);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    /// The glyph of a character code at the given pixel size (em height); an empty bitmap for an unknown code.
    GlyphBitmap glyph(char code, int pixelSize) const;

    /// One line of text as a coverage mask with `margin` empty pixels on every side; `tracking` extra pixels
    /// between letters. The baseline lies at row margin + the tallest glyph's top.
    Mask line(const std::string& text, int pixelSize, int tracking, int margin) const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};

/// Cells across and down the font picture, one per character code.
inline constexpr int FONT_GRID = 16;

/// "font.egl": the printable ASCII characters in white with coverage as alpha, one per cell of a 16 x 16 grid of
/// `cellSize` pixels, every other pixel 0 except an invisible row that gives the space its width.
Canvas makeFontPicture(int cellSize);

} // namespace datagen
