#pragma once
// What the screens' tests share: a working folder of their own holding the game's data files (so that a test may
// rewrite "highscores.txt"), and the application glue and the game modules the screens need, opened headless as
// the program opens them, with the window focused and the random tool seeded the same for every test.

#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmmain.h"
#include "game/qlmsound.h"
#include "host/testing.h"
#include "platform/egc.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

class ScreenTest : public ::testing::Test
{
protected:
    // The game's window: a topmost pop-up with a caption.
    static constexpr unsigned int GAME_STYLE = 0x210;
    static constexpr double FRAME_SECONDS = 1.0 / 60.0;

    void SetUp() override
    {
        hosttest::resetWindows();
        fWorkingDirectory = std::filesystem::current_path();
        fFolder =
            std::filesystem::temp_directory_path() / ("quillom-screens-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(fFolder);
        std::filesystem::create_directories(fFolder);
        // Pictures and sounds are only read: links will do. The table is a copy of its own.
        for (const auto& entry : std::filesystem::directory_iterator(QUILLOM_DATA_DIR))
        {
            if (entry.path().filename() == "highscores.txt")
                std::filesystem::copy_file(entry.path(), fFolder / "highscores.txt");
            else
                std::filesystem::create_symlink(entry.path(), fFolder / entry.path().filename());
        }
        std::filesystem::current_path(fFolder);

        openEGC("Quillom 1.0", GAME_STYLE);
        hosttest::gainFocus(windowHandle());
        randomTool()->setSeed(1.0);
        initializeEvents();
        initializeInput();
        initializeGraphics();
        initializeSound();
        sMainLoop = startMainLoop();
    }

    void TearDown() override
    {
        EXPECT_TRUE(ECA::machines().empty()) << "every test ends the machines it started";
        DBG::destroyTimer(sMainLoop.totalTimer);
        shutdownSound();
        shutdownGraphics();
        shutdownInput();
        shutdownEvents();
        closeEGC();
        std::filesystem::current_path(fWorkingDirectory);
        std::filesystem::remove_all(fFolder);
        hosttest::resetWindows();
    }

    static HWND windowHandle() { return static_cast<EGCWin32Window*>(window())->handle(); }

    /// Posts the event to every machine and runs one update of no time.
    static void post(int eventID)
    {
        postEvent(eventID);
        ECA::update(0.0);
    }

    /// One pass of the program's main loop.
    static void runFrame() { runMainLoopPass(sMainLoop); }

    /// Presses and releases a key (a virtual key) through the window; the next frame delivers it.
    static void tapKey(int virtualKey)
    {
        hosttest::pressKey(virtualKey);
        hosttest::releaseKey(virtualKey);
    }

    /// The pixel of the last presented frame at a point of the view space (x -800 to 800, y -600 to 600, y up).
    static std::uint32_t pixelAt(float x, float y)
    {
        const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
        const int column = static_cast<int>((x + 800.0f) / 1600.0f * static_cast<float>(frame.width));
        const int row = static_cast<int>((600.0f - y) / 1200.0f * static_cast<float>(frame.height));
        return frame.at(column, row) & 0x00FFFFFF;
    }

    static void writeFile(const std::string& name, const std::string& content)
    {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << content;
    }

    static std::string readFile(const std::string& name)
    {
        std::ostringstream content;
        content << std::ifstream(name, std::ios::binary).rdbuf();
        return content.str();
    }

private:
    // The loop's state of the running test (static, so that the static helpers reach it).
    static inline QLMMainLoop sMainLoop;
    std::filesystem::path fWorkingDirectory;
    std::filesystem::path fFolder;
};
