// Where a back buffer lands in a window of another size: scaled to fit, centred, black bars on the rest.

#include "host/d3d8present.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

TEST(D3D8Present, FitRectKeepsTheAspectAndCentresThePicture)
{
    struct Case
    {
        int sourceWidth, sourceHeight, windowWidth, windowHeight;
        RECT expected;
    };
    for (const Case c : {
             Case{800, 600, 800, 600, {0, 0, 800, 600}},       // the same size: one to one
             Case{800, 600, 1600, 1200, {0, 0, 1600, 1200}},   // the same aspect: scaled up
             Case{800, 600, 1920, 1080, {240, 0, 1680, 1080}}, // wider display: bars left and right
             Case{800, 600, 1280, 1024, {0, 32, 1280, 992}},   // taller display: bars above and below
             Case{640, 480, 1366, 768, {171, 0, 1195, 768}},   // an odd remainder goes to the right
             Case{800, 600, 0, 0, {0, 0, 0, 0}},               // a window without client area
         })
    {
        const RECT r = d3d8FitRect(c.sourceWidth, c.sourceHeight, c.windowWidth, c.windowHeight);
        EXPECT_EQ(r.left, c.expected.left) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.top, c.expected.top) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.right, c.expected.right) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.windowWidth << "x" << c.windowHeight;
    }
}

TEST(D3D8Present, ScaleNearestTakesTheSourcePixelUnderEachTargetCentre)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint32_t> source; // one letter per pixel below
        int sourceWidth, sourceHeight, targetWidth, targetHeight;
        std::string expected; // rows of target pixels, '.' for the margin a wider pitch leaves untouched
    };
    for (const Case& c : {
             Case{"doubled", {'a', 'b', 'c', 'd'}, 2, 2, 4, 4, "aabb.|aabb.|ccdd.|ccdd.|"},
             Case{"by 5/3", {'a', 'b', 'c'}, 3, 1, 5, 1, "aabcc.|"},
             Case{"halved", {'a', 'b', 'c', 'd'}, 4, 1, 2, 1, "bd.|"},
             Case{"rows repeat", {'a', 'b'}, 1, 2, 1, 3, "a.|b.|b.|"},
         })
    {
        const int pitch = c.targetWidth + 1;
        std::vector<std::uint32_t> target(static_cast<std::size_t>(pitch * c.targetHeight), '.');
        d3d8ScaleNearest(c.source.data(), c.sourceWidth, c.sourceHeight, c.sourceWidth, target.data(), c.targetWidth,
                         c.targetHeight, pitch);
        std::string actual;
        for (int y = 0; y < c.targetHeight; ++y)
        {
            for (int x = 0; x < pitch; ++x)
            {
                actual += static_cast<char>(target[static_cast<std::size_t>(y * pitch + x)]);
            }
            actual += '|';
        }
        EXPECT_EQ(actual, c.expected) << c.name;
    }
}

TEST(D3D8Present, ScaleNearestOfLongRowsTakesTheSameCentresAtEveryWidth)
{
    // Rows of whole vectors and of remainders, scaled up and down.
    constexpr int SOURCE_WIDTH = 37;
    constexpr int SOURCE_HEIGHT = 3;
    std::vector<std::uint32_t> source(SOURCE_WIDTH * SOURCE_HEIGHT);
    for (std::size_t i = 0; i < source.size(); ++i)
    {
        source[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    for (const int width : {16, 37, 48, 61, 100})
    {
        constexpr int HEIGHT = 5;
        std::vector<std::uint32_t> target(static_cast<std::size_t>(width * HEIGHT));
        d3d8ScaleNearest(source.data(), SOURCE_WIDTH, SOURCE_HEIGHT, SOURCE_WIDTH, target.data(), width, HEIGHT, width);
        for (int y = 0; y < HEIGHT; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const int column = (2 * x + 1) * SOURCE_WIDTH / (2 * width);
                const int row = (2 * y + 1) * SOURCE_HEIGHT / (2 * HEIGHT);
                ASSERT_EQ(target[static_cast<std::size_t>(y * width + x)], source[row * SOURCE_WIDTH + column])
                    << width << " wide, at " << x << "," << y;
            }
        }
    }
}

TEST(D3D8Present, ScaleRowUpAvx512WritesEveryPixelAndNoOtherAtAnyAlignment)
{
    if (!__builtin_cpu_supports("avx512f"))
    {
        GTEST_SKIP() << "no AVX-512 on this processor";
    }
    constexpr int LONGEST = 100;
    std::vector<std::uint32_t> source(LONGEST);
    for (std::size_t i = 0; i < source.size(); ++i)
    {
        source[i] = static_cast<std::uint32_t>((i + 1) * 2654435761u);
    }
    // Rows that start on a cache line, inside one on a pixel boundary, and off the pixel grid; shorter than a
    // vector, of whole vectors, and longer with a remainder.
    for (const std::size_t offset : {0, 4, 60, 1, 2, 3})
    {
        for (const int count : {5, 16, 37, LONGEST})
        {
            const int sourceWidth = count * 3 / 4;
            std::vector<int> columns(static_cast<std::size_t>(count));
            for (int x = 0; x < count; ++x)
            {
                columns[static_cast<std::size_t>(x)] = (2 * x + 1) * sourceWidth / (2 * count);
            }
            alignas(64) std::array<unsigned char, (LONGEST + 32) * 4> bytes;
            bytes.fill(0xEE);
            d3d8ScaleRowUpAvx512(source.data(), columns.data(), count,
                                 reinterpret_cast<std::uint32_t*>(bytes.data() + offset));
            for (std::size_t at = 0; at < bytes.size(); ++at)
            {
                const std::size_t x = (at - offset) / 4;
                if (at < offset || x >= static_cast<std::size_t>(count))
                {
                    ASSERT_EQ(bytes[at], 0xEE) << "byte " << at << " outside " << count << " pixels at " << offset;
                    continue;
                }
                std::uint32_t expected = source[static_cast<std::size_t>(columns[x])];
                ASSERT_EQ(bytes[at], reinterpret_cast<const unsigned char*>(&expected)[(at - offset) % 4])
                    << "pixel " << x << " of " << count << " at " << offset;
            }
        }
    }
}

TEST(D3D8Present, PresenterShowsTheFrameScaledToFitBetweenBlackBars)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("present", 0, 0, 8, 4, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
    // Alpha is ignored: the picture is 4 x 4 between bars of 2 on the left and the right.
    const std::vector<std::uint32_t> frame = {0x00102030u, 0x80405060u, 0xFF708090u, 0x12A0B0C0u};
    D3D8Presenter presenter;
    for (int pass = 0; pass < 2; ++pass)
    {
        ASSERT_TRUE(presenter.show(window, frame.data(), 2, 2));
        std::string shown;
        for (int y = 0; y < 4; ++y)
        {
            for (int x = 0; x < 8; ++x)
            {
                const auto* row = reinterpret_cast<const std::uint8_t*>(surface->pixels) + y * surface->pitch;
                Uint8 r, g, b;
                SDL_GetRGB(reinterpret_cast<const std::uint32_t*>(row)[x], surface->format, &r, &g, &b);
                const std::uint32_t rgb = (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
                shown += rgb == 0          ? '.'
                         : rgb == 0x102030 ? 'a'
                         : rgb == 0x405060 ? 'b'
                         : rgb == 0x708090 ? 'c'
                         : rgb == 0xA0B0C0 ? 'd'
                                           : '?';
            }
            shown += '|';
        }
        EXPECT_EQ(shown, "..aabb..|..aabb..|..ccdd..|..ccdd..|") << "pass " << pass;
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

} // namespace
