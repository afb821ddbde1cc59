#include "tools/datagen/png.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

const std::string FILE_NAME =
    (std::filesystem::temp_directory_path() / ("quillom-png-" + std::to_string(::getpid()) + ".png")).string();

/// The file's pixels as libpng reads them back, in the given format; empty when it does not read.
std::vector<png_byte> readBack(png_uint_32 format, png_uint_32& width, png_uint_32& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<png_byte> bytes;
    if (png_image_begin_read_from_file(&image, FILE_NAME.c_str()) == 0)
        return bytes;
    image.format = format;
    bytes.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0)
        bytes.clear();
    width = image.width;
    height = image.height;
    return bytes;
}

class PngTest : public ::testing::Test
{
protected:
    void TearDown() override { std::filesystem::remove(FILE_NAME); }

    // Three columns, two rows: each channel on its own, half-transparent grey, and transparent white.
    const std::vector<std::uint32_t> pixels{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80808080, 0x00FFFFFF, 0xFF000000};
};

TEST_F(PngTest, KeepsEveryChannelAndTheRowOrder)
{
    ASSERT_TRUE(datagen::writePng(FILE_NAME, 3, 2, pixels));
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    EXPECT_EQ(readBack(PNG_FORMAT_RGBA, width, height),
              (std::vector<png_byte>{255, 0,   0,   255, 0,   255, 0,   255, 0, 0, 255, 255,
                                     128, 128, 128, 128, 255, 255, 255, 0,   0, 0, 0,   255}));
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
}

TEST_F(PngTest, AnOpaqueFileDropsTheAlpha)
{
    ASSERT_TRUE(datagen::writePng(FILE_NAME, 3, 2, pixels, true));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, FILE_NAME.c_str()), 0);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    png_image_free(&image);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    EXPECT_EQ(readBack(PNG_FORMAT_RGB, width, height),
              (std::vector<png_byte>{255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 0, 0, 0}));
}

TEST_F(PngTest, CompressesAPlainPicture)
{
    const std::vector<std::uint32_t> plain(640 * 480, 0xFF303080);
    ASSERT_TRUE(datagen::writePng(FILE_NAME, 640, 480, plain, true));
    EXPECT_LT(std::filesystem::file_size(FILE_NAME), 640u * 480u * 3u / 100u);
}

TEST_F(PngTest, RefusesAWrongSizeOrAnUnwritableFile)
{
    EXPECT_FALSE(datagen::writePng(FILE_NAME, 3, 3, pixels));
    EXPECT_FALSE(datagen::writePng(FILE_NAME, 0, 0, {}));
    EXPECT_FALSE(datagen::writePng("/nonexistent-folder/picture.png", 3, 2, pixels));
}

} // namespace
