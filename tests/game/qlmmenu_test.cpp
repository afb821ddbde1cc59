#include "game/qlmmenu.h"

#include "egl/egltext.h"
#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/screentesting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

using ID = QLMMenuItemID;

constexpr std::uint32_t GREEN = 0xFF00C000;
constexpr std::uint32_t BRIGHT_GREEN = 0xFF00FF00;
const std::string ACTIVATION = "play activatemenuitem.wav secondary";
const std::string SELECTION = "play selectmenuitem.wav secondary";

class MenuTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        fRecorder = std::make_unique<EventRecorder>();
        initializeMenu();
    }

    void TearDown() override
    {
        if (menuIsRunning())
        {
            closeMenu();
            keys({VK_ESCAPE, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        }
        fRecorder.reset();
        shutdownMenu();
        ScreenTest::TearDown();
    }

    /// Taps the keys in order and runs one frame, which delivers them.
    static void keys(std::initializer_list<int> virtualKeys)
    {
        for (const int key : virtualKeys)
            tapKey(key);
        runFrame();
    }

    /// The item now active; none while the menu is closed.
    static std::optional<ID> activeItem()
    {
        std::optional<ID> active;
        for (int i = 0; i < MENU_ITEM_COUNT; ++i)
        {
            if (menuItem(static_cast<ID>(i)).isActive())
            {
                EXPECT_FALSE(active) << "one item at a time";
                active = static_cast<ID>(i);
            }
        }
        return active;
    }

    static void closeMenu()
    {
        for (int attempt = 0; attempt < 2 && activeItem(); ++attempt)
            keys({VK_ESCAPE});
        ASSERT_FALSE(activeItem());
    }

    /// The menu events 9, 10 and 3 delivered since the last call, in order.
    std::vector<int> menuEvents()
    {
        std::vector<int> ids = fRecorder->deliver();
        std::erase_if(ids, [](int id) { return id != 9 && id != 10 && id != 3; });
        return ids;
    }

    static std::vector<std::string> sampleLog()
    {
        std::vector<std::string> plays = hosttest::audioLog();
        std::erase_if(plays, [](const std::string& line) { return line != ACTIVATION && line != SELECTION; });
        hosttest::clearAudioLog();
        return plays;
    }

    /// Whether the menu's machine still runs: besides the recorder, it is the only one.
    static bool menuIsRunning() { return ECA::machines().size() == 2; }

private:
    std::unique_ptr<EventRecorder> fRecorder;
};

TEST_F(MenuTest, EscapeOpensAtGraphicsAndClosesFromEveryMainItemPostingNineAndTen)
{
    EXPECT_EQ(menuEvents(), std::vector<int>{10}) << "the closed menu announces itself at start-up";
    EXPECT_FALSE(activeItem());
    hosttest::clearAudioLog();

    for (const int downs : {0, 1, 2, 3})
    {
        keys({VK_ESCAPE});
        EXPECT_EQ(activeItem(), ID::GRAPHICS);
        EXPECT_EQ(menuItem(ID::GRAPHICS).label()->color(), BRIGHT_GREEN);
        EXPECT_EQ(menuItem(ID::GRAPHICS).targetScale(), 1.5f);
        for (int i = 0; i < downs; ++i)
            keys({VK_DOWN});
        EXPECT_EQ(activeItem(), static_cast<ID>(downs));
        EXPECT_EQ(sampleLog(), std::vector<std::string>(1 + downs, ACTIVATION));
        keys({VK_ESCAPE});
        EXPECT_FALSE(activeItem());
        EXPECT_EQ(menuItem(static_cast<ID>(downs)).label()->color(), GREEN);
        EXPECT_EQ(menuItem(static_cast<ID>(downs)).targetScale(), 1.0f);
        EXPECT_EQ(menuEvents(), (std::vector<int>{9, 10})) << downs << " downs";
    }
}

TEST_F(MenuTest, UpAndDownStopAtTheEndsOfEveryPage)
{
    const struct
    {
        std::initializer_list<int> path;
        int key;
        ID item;
    } ends[] = {
        {{VK_ESCAPE}, VK_UP, ID::GRAPHICS},
        {{VK_ESCAPE, VK_DOWN, VK_DOWN, VK_DOWN}, VK_DOWN, ID::EXIT},
        {{VK_ESCAPE, VK_RETURN}, VK_UP, ID::LORES},
        {{VK_ESCAPE, VK_RETURN, VK_DOWN, VK_DOWN}, VK_DOWN, ID::HIRES},
        {{VK_ESCAPE, VK_DOWN, VK_RETURN}, VK_UP, ID::SAMPLES},
        {{VK_ESCAPE, VK_DOWN, VK_RETURN, VK_DOWN}, VK_DOWN, ID::MUSIC},
        {{VK_ESCAPE, VK_DOWN, VK_DOWN, VK_RETURN}, VK_UP, ID::LOW_VELOCITY},
        {{VK_ESCAPE, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_DOWN}, VK_DOWN, ID::HIGH_VELOCITY},
    };
    for (const auto& end : ends)
    {
        keys(end.path);
        ASSERT_EQ(activeItem(), end.item);
        sampleLog();
        keys({end.key});
        EXPECT_EQ(activeItem(), end.item);
        EXPECT_TRUE(sampleLog().empty()) << "nothing moved, nothing sounds";
        closeMenu();
    }
}

TEST_F(MenuTest, ReturnOpensASubPageAtItsFirstItemAndEscapeGoesBackToItsMainItem)
{
    const struct
    {
        int downs;
        ID first;
    } pages[] = {{0, ID::LORES}, {1, ID::SAMPLES}, {2, ID::LOW_VELOCITY}};
    for (const auto& page : pages)
    {
        keys({VK_ESCAPE});
        for (int i = 0; i < page.downs; ++i)
            keys({VK_DOWN});
        keys({VK_RETURN});
        EXPECT_EQ(activeItem(), page.first);
        keys({VK_ESCAPE});
        EXPECT_EQ(activeItem(), static_cast<ID>(page.downs));
        EXPECT_EQ(menuItem(static_cast<ID>(page.downs)).label()->color(), BRIGHT_GREEN);
        closeMenu();
    }
    EXPECT_EQ(menuEvents(), (std::vector<int>{10, 9, 10, 9, 10, 9, 10}));
}

TEST_F(MenuTest, ChoosingSoundEffectsTogglesThemAndItsTextAndPlaysTheSelectionWhileOn)
{
    keys({VK_ESCAPE, VK_DOWN, VK_RETURN});
    ASSERT_EQ(activeItem(), ID::SAMPLES);
    sampleLog();

    keys({VK_RETURN});
    EXPECT_EQ(menuItem(ID::SAMPLES).label()->text(), "SOUND EFFECTS (OFF)");
    EXPECT_EQ(activeItem(), ID::SAMPLES) << "a selected item stays active";
    EXPECT_TRUE(sampleLog().empty()) << "the selection sound comes after the switch, now off";
    keys({VK_DOWN, VK_UP});
    EXPECT_TRUE(sampleLog().empty());

    keys({VK_RETURN});
    EXPECT_EQ(menuItem(ID::SAMPLES).label()->text(), "SOUND EFFECTS (ON)");
    EXPECT_EQ(sampleLog(), std::vector<std::string>{SELECTION}) << "no second activation";
}

TEST_F(MenuTest, ChoosingMusicStopsAndRestartsTheTrack)
{
    const auto trackPlays = []
    {
        const std::vector<std::string> playing = hosttest::audioPlaying();
        return std::find(playing.begin(), playing.end(), "gametrack.mid") != playing.end();
    };
    ASSERT_TRUE(trackPlays());
    keys({VK_ESCAPE, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(menuItem(ID::MUSIC).label()->text(), "MUSIC (OFF)");
    EXPECT_FALSE(trackPlays());
    keys({VK_RETURN});
    EXPECT_EQ(menuItem(ID::MUSIC).label()->text(), "MUSIC (ON)");
    EXPECT_TRUE(trackPlays());
}

TEST_F(MenuTest, TheSensitivityItemsSetTheMouseVelocity)
{
    const auto motion = []
    {
        setMousePosition(SILVector(0, 0));
        hosttest::moveMouse(windowHandle(), 50, 50, 10, 0);
        processMessages();
        return mousePosition().x();
    };
    processMessages(); // the first poll acquires the mouse
    EXPECT_FLOAT_EQ(motion(), 40.0f);
    keys({VK_ESCAPE, VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN});
    EXPECT_FLOAT_EQ(motion(), 20.0f);
    keys({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_FLOAT_EQ(motion(), 60.0f);
}

TEST_F(MenuTest, TheResolutionItemsChangeTheDisplayDevice)
{
    keys({VK_ESCAPE, VK_RETURN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(graphicsDevice()->width(), 1024);
    EXPECT_EQ(graphicsDevice()->height(), 768);
    keys({VK_UP, VK_RETURN});
    EXPECT_EQ(graphicsDevice()->width(), 800);
    runFrame();
    EXPECT_EQ(hosttest::lastPresentedFrame().width, 800) << "the menu still draws on the new device";
}

TEST_F(MenuTest, ExitPostsQuitAndEndsTheMenu)
{
    menuEvents();
    keys({VK_ESCAPE, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(menuEvents(), (std::vector<int>{9, 3}));
    EXPECT_FALSE(menuIsRunning());
}

TEST_F(MenuTest, OnlyTheOpenMenuDrawsItsPageInGreenAndTheActiveItemGrows)
{
    hosttest::resetD3D8Counters();
    runFrame();
    EXPECT_EQ(hosttest::d3d8Counters().draws, 0) << "closed";

    keys({VK_ESCAPE});
    EXPECT_FLOAT_EQ(menuItem(ID::GRAPHICS).scale(), 1.0f) << "the frame's tick came before its key";
    runFrame();
    EXPECT_FLOAT_EQ(menuItem(ID::GRAPHICS).scale(), 1.05f);
    const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
    const bool green = std::any_of(frame.pixels.begin(), frame.pixels.end(),
                                   [](std::uint32_t p) { return (p & 0x00FFFFFF) == 0x0000FF00; });
    EXPECT_TRUE(green) << "the active item in bright green";
    for (int i = 0; i < 59; ++i)
        ECA::update(FRAME_SECONDS);
    EXPECT_NEAR(menuItem(ID::GRAPHICS).scale(), 1.5f - 0.5f * std::pow(0.9f, 60.0f), 1e-4f) << "a tenth per tick";

    keys({VK_DOWN, VK_ESCAPE});
    const float closedAt = menuItem(ID::GRAPHICS).scale();
    for (int i = 0; i < 10; ++i)
        runFrame();
    EXPECT_FLOAT_EQ(menuItem(ID::GRAPHICS).scale(), closedAt) << "the scales stand still while closed";
}

TEST_F(MenuTest, ItemsOfUnknownDevicesOrVelocitiesAreRefused)
{
    EXPECT_EQ(thrownBy([] { QLMResolutionMenuItem item(5); }), "Error: Unknoen device ID.");
    EXPECT_EQ(thrownBy([] { QLMVelocityMenuItem item(0); }), "Error: Unknoen velocity.");
    EXPECT_EQ(thrownBy([] { addMenuItem(nullptr, nullptr); }), "Assertion failure: menuItem");
}

} // namespace
