#include "tools/datagen/font.h"
#include "tools/datagen/imagetexture.h"

#include "tests/tools/datafiles.h"

#include "egl/egltext.h"
#include "egl/egltypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

EGLImage generatedFont()
{
    EGLImage image;
    readImageFile(dataPath("font.egl"), image);
    return image;
}

/// The glyph widths of every code, measured as the game measures them: width mode 2, cells drawn 32 units wide.
std::vector<float> measuredWidths(const EGLImage& image)
{
    datagen::ImageTexture texture(image);
    EGLFont* font = createFont(&texture, EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    std::vector<float> widths;
    for (int code = 0; code < 256; ++code)
        widths.push_back(font->glyph(static_cast<char>(code)).glyphWidth());
    destroyFont(font);
    return widths;
}

TEST(Font, MeasuredWidthsSeparateWordsAndFollowTheLetterShapes)
{
    const std::vector<float> widths = measuredWidths(generatedFont());
    const auto width = [&](char c) { return widths[static_cast<unsigned char>(c)]; };
    EXPECT_GT(width(' '), 4.0f);
    EXPECT_LT(width(' '), width('M'));
    EXPECT_LT(width('i'), width('W'));
    EXPECT_LT(width('.'), width('0'));
    for (char c = '!'; c <= '~'; ++c)
    {
        EXPECT_GT(width(c), 1.0f) << c;
        EXPECT_LT(width(c), 32.0f) << c;
    }
}

TEST(Font, DigitsShareOneWidthSoScoresDoNotJitter)
{
    const std::vector<float> widths = measuredWidths(generatedFont());
    const auto width = [&](char c) { return widths[static_cast<unsigned char>(c)]; };
    for (char c = '1'; c <= '9'; ++c)
        EXPECT_NEAR(width(c), width('0'), 3.0f) << c;
}

TEST(Font, PrintableGlyphsAreWhiteAndEveryOtherPixelIsZero)
{
    const EGLImage image = generatedFont();
    const int cell = image.columnCount() / EGLFont::GLYPH_COLUMN_COUNT;
    for (int code = 0; code < 256; ++code)
    {
        const bool printable = code > ' ' && code < 127;
        int inked = 0;
        for (int y = (code / 16) * cell; y < (code / 16 + 1) * cell; ++y)
            for (int x = (code % 16) * cell; x < (code % 16 + 1) * cell; ++x)
            {
                const std::uint32_t pixel = image.pixel(x, y);
                if (pixel == 0)
                    continue;
                ++inked;
                ASSERT_EQ(pixel & 0xFFFFFF, 0xFFFFFFu) << "code " << code;
                // The width scan skips a cell's last column; a glyph touching it would be cut short.
                ASSERT_NE(x % cell, cell - 1) << "code " << code;
                ASSERT_TRUE(printable || (code == ' ' && (pixel >> 24) == 0)) << "code " << code;
            }
        EXPECT_EQ(inked > 0, printable || code == ' ') << "code " << code;
    }
}

TEST(Font, APictureWithAnyCellSizeKeepsTheGridAndTheInvisibleSpace)
{
    const datagen::Canvas picture = datagen::makeFontPicture(16);
    ASSERT_EQ(picture.width(), 256);
    const auto pixelOf = [&](int x, int y) { return datagen::toArgb(picture.at(x, y)); };
    int spacePixels = 0;
    for (int y = 32; y < 48; ++y) // row 2 of cells holds the space
        for (int x = 0; x < 16; ++x)
            spacePixels += pixelOf(x, y) == 0x00FFFFFFu;
    EXPECT_GE(spacePixels, 4);
}

} // namespace
