#pragma once
// What the game modules' tests share: the application glue opened as the program opens it, headless, in the
// folder where the build puts the game's data files.

#include "host/testing.h"
#include "platform/egc.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <filesystem>

/// Opens the glue in the data folder with the window focused; closes it and goes back afterwards. A test closes
/// every module it opened.
class GameTest : public ::testing::Test
{
protected:
    // The game's window: a topmost pop-up with a caption.
    static constexpr unsigned int GAME_STYLE = 0x210;

    void SetUp() override
    {
        hosttest::resetWindows();
        fWorkingDirectory = std::filesystem::current_path();
        std::filesystem::current_path(QUILLOM_DATA_DIR);
        openEGC("Quillom 1.0", GAME_STYLE);
        hosttest::gainFocus(windowHandle());
    }

    void TearDown() override
    {
        closeEGC();
        std::filesystem::current_path(fWorkingDirectory);
        hosttest::resetWindows();
    }

    static HWND windowHandle() { return static_cast<EGCWin32Window*>(window())->handle(); }

private:
    std::filesystem::path fWorkingDirectory;
};
