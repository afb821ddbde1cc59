// The game full screen through its main loop, on a display with a window manager and on one without: the window
// covers the display; switching to another window minimises it; coming back rebuilds the device and the music
// plays again.

#include "egl/egl.h"
#include "game/qlmintro.h"
#include "tests/game/screentesting.h"

#include <string>
#include <vector>

namespace
{

using Log = std::vector<std::string>;

using FullScreenGameTest = ScreenTest;

// The intro's machine keeps the main loop running.
struct RunningIntro
{
    RunningIntro() { initializeIntro(); }
    ~RunningIntro()
    {
        postEvent(QLMEventID::QUIT_EVENT_ID);
        ECA::update(0.0);
        shutdownIntro();
    }
};

bool isShownAt(HWND handle, int x, int y, int width, int height)
{
    const RECT shown = hosttest::shownRectangle(handle);
    const EGCRectangle place = window()->rectangle();
    return shown.left == x && shown.top == y && shown.right == x + width && shown.bottom == y + height &&
           place.x() == x && place.y() == y && place.width() == width && place.height() == height;
}

bool coversTheDisplay(HWND handle)
{
    return isShownAt(handle, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) &&
           window()->state() == FULL_SCREEN_WINDOW_STATE;
}

TEST_F(FullScreenGameTest, FullScreenDevicesCoverTheDisplayAndTheWindowedOneKeepsItsPlace)
{
    const RunningIntro intro;
    for (const bool managerRuns : {true, false})
    {
        SCOPED_TRACE(managerRuns ? "with a window manager" : "without a window manager");
        // The window manager changes while no device holds the window full screen.
        closeGraphicsDevice();
        hosttest::simulateWindowManager(managerRuns);
        reopenGraphicsDevice();
        changeGraphicsDevice(QLMDevices::SCREEN_1024X768_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(coversTheDisplay(windowHandle()));
        EXPECT_EQ(hosttest::lastPresentedFrame().width, 1024);

        changeGraphicsDevice(QLMDevices::WINDOW_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(isShownAt(windowHandle(), 0, 0, 800, 600));

        changeGraphicsDevice(QLMDevices::SCREEN_800X600_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(coversTheDisplay(windowHandle()));
    }
}

TEST_F(FullScreenGameTest, SwitchingAwayMinimisesTheWindowAndComingBackRebuildsTheDeviceAndRestartsTheMusic)
{
    const RunningIntro intro;
    for (const bool managerRuns : {true, false})
    {
        // With a window manager the player comes back by restoring the window; without one, by focusing it.
        SCOPED_TRACE(managerRuns ? "with a window manager" : "without a window manager");
        closeGraphicsDevice();
        hosttest::simulateWindowManager(managerRuns);
        reopenGraphicsDevice();
        ASSERT_TRUE(coversTheDisplay(windowHandle()));

        hosttest::loseFocus(windowHandle());
        processMessages();
        EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::PAUSED);
        EXPECT_EQ(window()->state(), MINIMIZED_WINDOW_STATE) << "so that the window with the focus is seen";

        hosttest::clearAudioLog();
        if (managerRuns)
            hosttest::restore(windowHandle());
        else
            hosttest::gainFocus(windowHandle());
        runFrame();
        EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::OPEN);
        EXPECT_TRUE(coversTheDisplay(windowHandle()));
        EXPECT_EQ(hosttest::lastPresentedFrame().width, 800);
        const Log log = hosttest::audioLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "stop gametrack.mid");
        EXPECT_EQ(log.back(), "play gametrack.mid");
        EXPECT_EQ(hosttest::audioPlaying(), Log{"gametrack.mid"});
    }
}

} // namespace
