#include "tools/datagen/pictures.h"

#include "tests/tools/datafiles.h"

#include "egl/egltypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>

namespace
{

using datagen::Blending;
using datagen::PictureRecord;

EGLImage load(const PictureRecord& record)
{
    EGLImage image;
    readImageFile(dataPath(record.fileName), image);
    return image;
}

std::uint32_t alpha(std::uint32_t pixel)
{
    return pixel >> 24;
}

/// Visible on the screen: some alpha, and for additive light some colour too.
bool visible(std::uint32_t pixel, Blending blending)
{
    return alpha(pixel) > 0 && (blending != Blending::additive || (pixel & 0xFFFFFF) != 0);
}

/// Calls f(column, row, x0, y0, width, height) for every frame of the picture's grid.
template <class F>
void forEachFrame(const EGLImage& image, const PictureRecord& record, F f)
{
    const int width = image.columnCount() / record.frameColumns;
    const int height = image.rowCount() / record.frameRows;
    for (int row = 0; row < record.frameRows; ++row)
        for (int column = 0; column < record.frameColumns; ++column)
            f(column, row, column * width, row * height, width, height);
}

TEST(Pictures, EveryPictureLoadsSquareWithAPowerOfTwoSideThatItsFrameGridDivides)
{
    for (const PictureRecord& record : datagen::pictureRecords())
    {
        SCOPED_TRACE(record.fileName);
        const EGLImage image = load(record);
        const int side = image.columnCount();
        EXPECT_EQ(side, image.rowCount());
        EXPECT_GE(side, 32);
        EXPECT_EQ(side & (side - 1), 0) << side;
        EXPECT_EQ(side % record.frameColumns, 0);
        EXPECT_EQ(side % record.frameRows, 0);
    }
}

TEST(Pictures, EveryFrameOfEverySpritePictureHasVisiblePixels)
{
    for (const PictureRecord& record : datagen::pictureRecords())
    {
        if (record.fileName == "font.egl")
            continue; // the font's cells are checked with the font
        const EGLImage image = load(record);
        forEachFrame(image, record,
                     [&](int column, int row, int x0, int y0, int width, int height)
                     {
                         int count = 0;
                         for (int y = y0; y < y0 + height; ++y)
                             for (int x = x0; x < x0 + width; ++x)
                                 count += visible(image.pixel(x, y), record.blending);
                         EXPECT_GT(count, width * height / 20)
                             << record.fileName << " frame (" << column << ", " << row << ")";
                     });
    }
}

TEST(Pictures, BlendedFramesAreClearAtTheirBordersSoNeighboursNeverBleedIn)
{
    // Sprites are drawn out to the centres of their frame's corner pixels: a lit border would show as a hard
    // edge, and in a sheet as a sliver of the next frame.
    for (const PictureRecord& record : datagen::pictureRecords())
    {
        if (record.blending == Blending::none)
            continue;
        const EGLImage image = load(record);
        forEachFrame(image, record,
                     [&](int column, int row, int x0, int y0, int width, int height)
                     {
                         int lit = 0;
                         for (int i = 0; i < width; ++i)
                             lit += visible(image.pixel(x0 + i, y0), record.blending) +
                                    visible(image.pixel(x0 + i, y0 + height - 1), record.blending);
                         for (int i = 0; i < height; ++i)
                             lit += visible(image.pixel(x0, y0 + i), record.blending) +
                                    visible(image.pixel(x0 + width - 1, y0 + i), record.blending);
                         EXPECT_EQ(lit, 0) << record.fileName << " frame (" << column << ", " << row << ")";
                     });
    }
}

TEST(Pictures, TheSceneryIsOpaqueAndNotFlat)
{
    const PictureRecord& record = datagen::pictureRecords().back();
    ASSERT_EQ(record.fileName, "scenery.egl");
    const EGLImage image = load(record);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.rowCount(); ++y)
        for (int x = 0; x < image.columnCount(); ++x)
        {
            ASSERT_EQ(alpha(image.pixel(x, y)), 0xFFu) << x << ", " << y;
            colours.insert(image.pixel(x, y));
        }
    EXPECT_GT(colours.size(), 1000u);
}

TEST(Pictures, TheMakerLogoIsClearWhereTheIntroTickersRun)
{
    // The logo, 512 units to its 512 pixels, stands on the field's bottom edge at -600; the tickers' bands, one
    // font line (32 units) high, are centred at -472 and -536: the picture's rows 368 to 400 and 432 to 464.
    const auto record = std::ranges::find(datagen::pictureRecords(), "tarnwick.egl", &PictureRecord::fileName);
    ASSERT_NE(record, datagen::pictureRecords().end());
    const EGLImage image = load(*record);
    ASSERT_EQ(image.rowCount(), 512);
    for (const int centre : {-472, -536})
    {
        int lit = 0;
        for (int y = 512 - (centre + 600) - 16; y < 512 - (centre + 600) + 16; ++y)
            for (int x = 0; x < image.columnCount(); ++x)
                lit += visible(image.pixel(x, y), record->blending);
        EXPECT_EQ(lit, 0) << "the ticker at " << centre;
    }
}

TEST(Pictures, SplodRowsAndBulletFramesShowTheColourOfTheirColourID)
{
    // The game picks a splod's frame row and a bullet's frame by its colour ID (1 red, 2 green, 3 blue,
    // 4 violet): the strongest channel of each frame's solid pixels must be that colour's.
    const auto strongestChannel = [](std::uint32_t argb)
    {
        const std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
        return r >= g && r >= b ? 0 : g >= b ? 1 : 2;
    };
    for (const PictureRecord& record : datagen::pictureRecords())
    {
        if (record.fileName != "splods.egl" && record.fileName != "bullets.egl")
            continue;
        const EGLImage image = load(record);
        forEachFrame(image, record,
                     [&](int column, int row, int x0, int y0, int width, int height)
                     {
                         const int colorID = record.fileName == "splods.egl" ? row + 1 : row * 2 + column + 1;
                         int votes[3] = {};
                         for (int y = y0; y < y0 + height; ++y)
                             for (int x = x0; x < x0 + width; ++x)
                                 if (alpha(image.pixel(x, y)) > 0x40)
                                     ++votes[strongestChannel(image.pixel(x, y))];
                         EXPECT_EQ(std::max_element(votes, votes + 3) - votes,
                                   strongestChannel(datagen::toArgb(datagen::gameColor(colorID))))
                             << record.fileName << " frame (" << column << ", " << row << ")";
                     });
    }
}

} // namespace
