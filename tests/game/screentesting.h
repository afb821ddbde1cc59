#pragma once
// What the screens' tests share: a scratch folder of their own holding the game's data files, and the application glue
// and the game modules the screens need, opened headless as the program opens them, with the window focused and the
// random tool seeded the same for every test.

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
#include "tests/game/scratchfolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

class ScreenTest : public ::testing::Test
{
protected:
    // The game's window: a topmost pop-up with a caption.
    static constexpr unsigned int GAME_STYLE = 0x210;
    static constexpr double FRAME_SECONDS = 1.0 / 60.0;

    void SetUp() override
    {
        hosttest::resetWindows();
        fFolder.emplace(std::string("screens-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
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
        fFolder.reset();
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
    std::optional<ScratchFolder> fFolder;
};
