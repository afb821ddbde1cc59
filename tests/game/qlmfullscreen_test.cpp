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

// The intro's machine keeps the loop running.
class FullScreenGameTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        initializeIntro();
    }

    void TearDown() override
    {
        post(QLMEventID::QUIT_EVENT_ID);
        shutdownIntro();
        hosttest::ignoreFullScreenRequests(false);
        ScreenTest::TearDown();
    }

    static bool isShownAt(int x, int y, int width, int height)
    {
        const RECT shown = hosttest::shownRectangle(windowHandle());
        const EGCRectangle place = window()->rectangle();
        return shown.left == x && shown.top == y && shown.right == x + width && shown.bottom == y + height &&
               place.x() == x && place.y() == y && place.width() == width && place.height() == height;
    }

    static bool coversTheDisplay()
    {
        return isShownAt(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) &&
               window()->state() == FULL_SCREEN_WINDOW_STATE;
    }
};

TEST_F(FullScreenGameTest, FullScreenDevicesCoverTheDisplayAndTheWindowedOneKeepsItsPlace)
{
    for (const bool requestsIgnored : {false, true})
    {
        SCOPED_TRACE(requestsIgnored ? "without a window manager" : "with a window manager");
        hosttest::ignoreFullScreenRequests(requestsIgnored);
        changeGraphicsDevice(QLMDevices::SCREEN_1024X768_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(coversTheDisplay());
        EXPECT_EQ(hosttest::lastPresentedFrame().width, 1024);

        changeGraphicsDevice(QLMDevices::WINDOW_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(isShownAt(0, 0, 800, 600));

        changeGraphicsDevice(QLMDevices::SCREEN_800X600_DEVICE_ID);
        runFrame();
        EXPECT_TRUE(coversTheDisplay());
    }
}

TEST_F(FullScreenGameTest, SwitchingAwayMinimisesTheWindowAndComingBackRebuildsTheDeviceAndRestartsTheMusic)
{
    for (const bool requestsIgnored : {false, true})
    {
        // With a window manager the player comes back by restoring the window; without one, by focusing it.
        SCOPED_TRACE(requestsIgnored ? "without a window manager" : "with a window manager");
        hosttest::ignoreFullScreenRequests(requestsIgnored);
        changeGraphicsDevice(QLMDevices::SCREEN_800X600_DEVICE_ID);
        runFrame();
        ASSERT_TRUE(coversTheDisplay());

        hosttest::loseFocus(windowHandle());
        processMessages();
        EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::PAUSED);
        EXPECT_EQ(window()->state(), MINIMIZED_WINDOW_STATE) << "so that the window with the focus is seen";

        hosttest::clearAudioLog();
        if (requestsIgnored)
            hosttest::gainFocus(windowHandle());
        else
            hosttest::restore(windowHandle());
        runFrame();
        EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::OPEN);
        EXPECT_TRUE(coversTheDisplay());
        EXPECT_EQ(hosttest::lastPresentedFrame().width, 800);
        const Log log = hosttest::audioLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "stop gametrack.mid");
        EXPECT_EQ(log.back(), "play gametrack.mid");
        EXPECT_EQ(hosttest::audioPlaying(), Log{"gametrack.mid"});
    }
}

} // namespace
