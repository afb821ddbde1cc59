// quillom_screenshots FOLDER
// Runs the whole program headless, as the program tests do, and writes what it presents at four moments as PNG
// files of half its size (400 x 300) into the folder: the intro, the hall of fame, a game under fire and the menu
// over that game.

#include "foundation/dbg.h"
#include "tests/game/programrun.h"
#include "tools/datagen/png.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{

constexpr int PASSES_PER_SECOND = 60;

/// The frame at half its width and height, each pixel the mean of four.
hosttest::PresentedFrame halved(const hosttest::PresentedFrame& frame)
{
    hosttest::PresentedFrame half;
    half.width = frame.width / 2;
    half.height = frame.height / 2;
    half.pixels.reserve(static_cast<std::size_t>(half.width) * half.height);
    for (int y = 0; y < half.height; ++y)
    {
        for (int x = 0; x < half.width; ++x)
        {
            std::uint32_t mean = 0;
            for (int shift = 0; shift < 32; shift += 8)
            {
                const std::uint32_t sum =
                    (frame.at(2 * x, 2 * y) >> shift & 0xFF) + (frame.at(2 * x + 1, 2 * y) >> shift & 0xFF) +
                    (frame.at(2 * x, 2 * y + 1) >> shift & 0xFF) + (frame.at(2 * x + 1, 2 * y + 1) >> shift & 0xFF);
                mean |= (sum + 2) / 4 << shift;
            }
            half.pixels.push_back(mean);
        }
    }
    return half;
}

/// Writes the last frame, halved, as the named PNG file.
bool shoot(const std::filesystem::path& folder, const char* name)
{
    const hosttest::PresentedFrame frame = halved(ProgramRun::frame());
    const std::string path = (folder / name).string();
    if (!datagen::writePng(path, frame.width, frame.height, frame.pixels, true))
    {
        std::fprintf(stderr, "quillom_screenshots: could not write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

bool showsHallOfFame()
{
    return ProgramRun::covers(0x202040, 0.2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(folder);
    try
    {
        ProgramRun run("screenshots");
        // The particles and tickers spread over the first seconds.
        run.passes(4 * PASSES_PER_SECOND);
        bool written = shoot(folder, "intro.png");
        if (run.passUntil(showsHallOfFame, 20 * PASSES_PER_SECOND) < 0)
        {
            std::fprintf(stderr, "quillom_screenshots: the hall of fame did not come\n");
            return 1;
        }
        run.passes(2 * PASSES_PER_SECOND);
        written = written && shoot(folder, "halloffame.png");
        run.click();
        // The field fills for 20 seconds; then two seconds of fire split the nearest splods.
        run.passes(20 * PASSES_PER_SECOND);
        for (int i = 0; i < 2 * PASSES_PER_SECOND; ++i)
            run.aimAndFire();
        written = written && shoot(folder, "game.png");
        run.releaseButton();
        // The active item grows to its full size over a second.
        run.keys({VK_ESCAPE});
        run.passes(PASSES_PER_SECOND);
        written = written && shoot(folder, "menu.png");
        ProgramRun::queueKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        runCoordinator();
        run.shutdown();
        return written ? 0 : 1;
    }
    catch (const DBGException& exception)
    {
        std::fprintf(stderr, "quillom_screenshots: %s: %s (%s:%d)\n", exception.kind(), exception.description(),
                     exception.file(), static_cast<int>(exception.line()));
        return 1;
    }
}
