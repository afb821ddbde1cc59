// FreeType (libfreetype) renders the glyphs; DejaVu Sans Bold stays readable when the game draws a 32 pixel
// cell at half size.

#include "tools/datagen/font.h"

#include "foundation/dbg.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstddef>
#include <vector>

namespace datagen
{

struct Typeface::Impl
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

Typeface::Typeface(const std::string& fileName) : mImpl(std::make_unique<Impl>())
{
    DBG_CHECK(FT_Init_FreeType(&mImpl->library) == 0, "FreeType could not be started.");
    if (FT_New_Face(mImpl->library, fileName.c_str(), 0, &mImpl->face) != 0)
    {
        FT_Done_FreeType(mImpl->library);
        DBG_ERROR("Font file could not be opened.");
    }
}

Typeface::~Typeface()
{
    FT_Done_Face(mImpl->face);
    FT_Done_FreeType(mImpl->library);
}

GlyphBitmap Typeface::glyph(char code, int pixelSize) const
{
    FT_Face face = mImpl->face;
    DBG_CHECK(FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) == 0, "Font size could not be set.");
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(code));
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return {};
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    GlyphBitmap result{Mask(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows)), face->glyph->bitmap_left,
                       face->glyph->bitmap_top, static_cast<int>(face->glyph->advance.x >> 6)};
    for (int y = 0; y < result.coverage.height; ++y)
        for (int x = 0; x < result.coverage.width; ++x)
            result.coverage.at(x, y) = bitmap.buffer[y * bitmap.pitch + x] / 255.0f;
    return result;
}

Mask Typeface::line(const std::string& text, int pixelSize, int tracking, int margin) const
{
    std::vector<GlyphBitmap> glyphs;
    int width = 0;
    int ascent = 0;
    int descent = 0;
    for (char c : text)
    {
        glyphs.push_back(glyph(c, pixelSize));
        const GlyphBitmap& g = glyphs.back();
        width += g.advance + tracking;
        ascent = std::max(ascent, g.top);
        descent = std::max(descent, g.coverage.height - g.top);
    }
    width -= tracking;
    Mask result(width + 2 * margin, ascent + descent + 2 * margin);
    int pen = margin;
    for (const GlyphBitmap& g : glyphs)
    {
        for (int y = 0; y < g.coverage.height; ++y)
            for (int x = 0; x < g.coverage.width; ++x)
            {
                const int px = pen + g.left + x;
                const int py = margin + ascent - g.top + y;
                if (px >= 0 && px < result.width)
                    result.at(px, py) = std::max(result.at(px, py), g.coverage.at(x, y));
            }
        pen += g.advance + tracking;
    }
    return result;
}

Canvas makeFontPicture(int cellSize)
{
    const Typeface face(DEJAVU_DIRECTORY + "DejaVuSans-Bold.ttf");
    const int pixelSize = cellSize * 3 / 4;
    constexpr char FIRST = ' ';
    constexpr char LAST = '~';

    // One baseline for all cells, so that a line of glyphs sits level; centre the tallest extent in the cell.
    std::vector<GlyphBitmap> glyphs;
    int ascent = 0;
    int descent = 0;
    for (char c = FIRST; c <= LAST; ++c)
    {
        glyphs.push_back(face.glyph(c, pixelSize));
        ascent = std::max(ascent, glyphs.back().top);
        descent = std::max(descent, glyphs.back().coverage.height - glyphs.back().top);
    }
    DBG_ASSERT(ascent + descent <= cellSize);
    const int baseline = ascent + (cellSize - ascent - descent) / 2;

    Canvas picture(FONT_GRID * cellSize, FONT_GRID * cellSize);
    for (char c = FIRST; c <= LAST; ++c)
    {
        const GlyphBitmap& g = glyphs[static_cast<std::size_t>(c - FIRST)];
        const int x0 = (c % FONT_GRID) * cellSize;
        const int y0 = (c / FONT_GRID) * cellSize;
        // The measured width runs from the first to the last non-empty column, and the cell's last column is
        // never measured: keep every glyph clear of it, centred in the rest.
        DBG_ASSERT(g.coverage.width <= cellSize - 2);
        const int left = x0 + (cellSize - 1 - g.coverage.width) / 2;
        for (int y = 0; y < g.coverage.height; ++y)
            for (int x = 0; x < g.coverage.width; ++x)
                if (g.coverage.at(x, y) > 0.0f)
                    picture.at(left + x, y0 + baseline - g.top + y) = {1.0f, 1.0f, 1.0f, g.coverage.at(x, y)};
        if (c == ' ')
        {
            // Invisible (alpha 0) but not 0, so the width scan gives the space a third of a cell.
            const int spaceWidth = cellSize / 3;
            for (int x = 0; x < spaceWidth; ++x)
                picture.at(x0 + (cellSize - 1 - spaceWidth) / 2 + x, y0 + baseline) = {1.0f, 1.0f, 1.0f, 0.0f};
        }
    }
    return picture;
}

} // namespace datagen
