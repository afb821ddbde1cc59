#include "game/qlmgraphics.h"

#include "egl/egl.h"
#include "egl/eglsprite.h"
#include "egl/egltext.h"
#include "tests/dbgtesting.h"
#include "tests/game/gametesting.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// ---- Choosing a device from a list of modes ---------------------------------------------------------------

/// A display mode as the graphics library describes it.
struct Mode
{
    std::int32_t target;
    std::int32_t width;
    std::int32_t height;
    std::int32_t rate;
    bool primary = true;
    std::int32_t format = EGL::X8R8G8B8_FORMAT;
    std::int32_t type = EGL::HARDWARE_DEVICE;
};

class FakeDevice final : public EGLDevice
{
public:
    explicit FakeDevice(const Mode& mode) : fMode(mode) {}

    std::int32_t format() const override { return fMode.format; }
    std::int32_t height() const override { return fMode.height; }
    bool isPrimary() const override { return fMode.primary; }
    std::string description() const override { return "fake"; }
    std::int32_t refreshRate() const override { return fMode.rate; }
    std::int32_t target() const override { return fMode.target; }
    std::int32_t type() const override { return fMode.type; }
    std::int32_t width() const override { return fMode.width; }

private:
    Mode fMode;
};

constexpr std::int32_t FULL = EGL::FULL_SCREEN_TARGET;
constexpr std::int32_t WINDOW = EGL::WINDOW_TARGET;

std::string describe(const EGLDevice& device)
{
    return (device.target() == WINDOW ? "window " : "") + std::to_string(device.width()) + "x" +
           std::to_string(device.height()) + "@" + std::to_string(device.refreshRate()) +
           (device.isPrimary() ? "" : " secondary") + (device.format() == EGL::A8R8G8B8_FORMAT ? " alpha" : "");
}

/// The mode the record picks among the modes (sorted as the graphics library's list is), or what it threw.
std::string pick(const QLMDeviceRecord& record, const std::vector<Mode>& modes)
{
    std::deque<FakeDevice> devices(modes.begin(), modes.end());
    std::vector<EGLDevice*> sorted;
    for (FakeDevice& device : devices)
        sorted.push_back(&device);
    std::sort(sorted.begin(), sorted.end(), compareDevices);
    std::string picked;
    const std::string thrown = thrownBy([&] { picked = describe(*pickDevice(record, sorted)); });
    return picked.empty() ? thrown : picked;
}

TEST(QLMPickDeviceTest, PicksTheSmallestSlowestModeThatMeetsTheRecord)
{
    struct Case
    {
        int deviceID;
        std::vector<Mode> modes;
        std::string picked;
    };
    const Case cases[] = {
        {3, {{FULL, 1024, 768, 60}, {FULL, 800, 600, 60}, {FULL, 800, 600, 0}}, "800x600@0"},
        {2, {{FULL, 1024, 768, 60}}, "1024x768@60"},
        {3, {{FULL, 1024, 768, 60}}, "1024x768@60"},
        {4, {{FULL, 1024, 768, 60}}, "1024x768@60"},
        {3, {{FULL, 800, 600, 40}, {FULL, 1280, 1024, 0}, {FULL, 1024, 768, 60}}, "1024x768@60"},
        {2, {{FULL, 800, 600, 60}, {FULL, 640, 480, 75}, {FULL, 640, 480, 50}}, "640x480@50"},
        {3, {{FULL, 800, 600, 60, false}, {FULL, 800, 600, 60, true}}, "800x600@60"},
        {3, {{FULL, 800, 600, 60, true, EGL::A8R8G8B8_FORMAT}, {FULL, 800, 600, 60}}, "800x600@60"},
        {1, {{FULL, 640, 480, 60}, {WINDOW, 1920, 1080, 60}}, "window 1920x1080@60"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pick(deviceRecord(c.deviceID), c.modes), c.picked) << "device " << c.deviceID;
}

TEST(QLMPickDeviceTest, NamesTheFirstTestThatNoModePassed)
{
    struct Case
    {
        std::vector<Mode> modes;
        std::string thrown;
    };
    const Mode reference{FULL, 800, 600, 60, true, EGL::X8R8G8B8_FORMAT, EGL::REFERENCE_DEVICE};
    const Mode referenceWindow{WINDOW, 640, 480, 60, true, EGL::X8R8G8B8_FORMAT, EGL::REFERENCE_DEVICE};
    const Case cases[] = {
        {{reference}, "Assertion failure: someDevicesHaveOkType"},
        {{referenceWindow}, "Assertion failure: someDevicesHaveOkType"},
        {{{WINDOW, 1024, 768, 60}}, "Assertion failure: someDevicesHaveOkTarget"},
        {{{FULL, 640, 480, 60}}, "Assertion failure: someDevicesHaveOkWidth"},
        {{{FULL, 1024, 500, 60}}, "Assertion failure: someDevicesHaveOkHeight"},
        {{{FULL, 800, 600, 40}, {FULL, 1024, 768, 30}}, "Assertion failure: someDevicesHaveOkRate"},
        // Every test was passed by some mode, but no mode passed all of them.
        {{{FULL, 640, 480, 60}, {FULL, 1024, 768, 40}}, "Assertion failure: \"Device found.\" && (i < DEVICE_COUNT)"},
        {{reference, {WINDOW, 800, 600, 60}}, "Assertion failure: \"Device found.\" && (i < DEVICE_COUNT)"},
        {{}, "Assertion failure: 0 < DEVICE_COUNT"},
        {{{FULL, 800, 600, -1}}, "Assertion failure: 0 <= rate"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pick(deviceRecord(QLMDevices::SCREEN_800X600_DEVICE_ID), c.modes), c.thrown) << c.thrown;
}

TEST(QLMPickDeviceTest, TheRatioTestAcceptsOnlyModesOfThatShape)
{
    QLMDeviceRecord record = deviceRecord(QLMDevices::SCREEN_800X600_DEVICE_ID);
    record.checkRatio = 1;
    EXPECT_EQ(pick(record, {{FULL, 1280, 1024, 60}}), "Assertion failure: someDevicesHaveOkRatio");
    EXPECT_EQ(pick(record, {{FULL, 1280, 1024, 60}, {FULL, 1280, 960, 60}}), "1280x960@60");
    EXPECT_EQ(pick(record, {{FULL, 801, 600, 60}}), "Assertion failure: someDevicesHaveOkRatio");
    record.checkRatio = 0;
    EXPECT_EQ(pick(record, {{FULL, 1280, 1024, 60}}), "1280x1024@60") << "the game's rows switch the test off";
}

TEST(QLMPickDeviceTest, OnlyIDsOneToFourHaveRecords)
{
    for (int id = 1; id <= 4; ++id)
        EXPECT_EQ(deviceRecord(id).id, id);
    for (int id : {0, 5})
        EXPECT_EQ(thrownBy([&] { deviceRecord(id); }),
                  "Assertion failure: (QLMDevices::MIN_DEVICE_ID < deviceID) && (deviceID < QLMDevices::MAX_DEVICE_ID)")
            << id;
}

TEST(QLMCompareDevicesTest, OrdersByAreaThenRateThenAdapterThenFormat)
{
    struct Case
    {
        Mode first;
        Mode second;
    };
    const Case cases[] = {
        {{FULL, 640, 480, 85}, {FULL, 800, 600, 0}},
        {{FULL, 1200, 300, 85}, {FULL, 800, 600, 60}}, // area, not width
        {{FULL, 800, 600, 0}, {FULL, 800, 600, 60}},
        {{FULL, 800, 600, 60, true}, {FULL, 800, 600, 60, false}},
        {{FULL, 800, 600, 60, true, EGL::X8R8G8B8_FORMAT}, {FULL, 800, 600, 60, true, EGL::A8R8G8B8_FORMAT}},
    };
    for (const Case& c : cases)
    {
        const FakeDevice first(c.first);
        const FakeDevice second(c.second);
        EXPECT_TRUE(compareDevices(&first, &second)) << describe(first) << " before " << describe(second);
        EXPECT_FALSE(compareDevices(&second, &first)) << describe(second) << " after " << describe(first);
    }
    const FakeDevice same(Mode{FULL, 800, 600, 60});
    EXPECT_FALSE(compareDevices(&same, &same));
}

// ---- The module on the host's devices ---------------------------------------------------------------------

class QLMGraphicsTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        initializeGraphics();
    }
    void TearDown() override
    {
        shutdownGraphics();
        GameTest::TearDown();
    }

    static constexpr std::uint32_t CLEAR_COLOR = 0xFF102030;

    /// Draws a logo and a line of text as the screens do and presents them; the frame's pixels that differ from
    /// the clear colour.
    static long drawnPixels()
    {
        EGL* egl = graphicsLibrary();
        EGLLabel* label = createLabel(egl, getFont(QLMFontID::LARGE_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING),
                                      "QUILLOM", 0.5f, 0.5f, 0xFFFFFFFF);
        egl->beginScene(getSpace());
        clearScreen(CLEAR_COLOR);
        getSpriteType(QLMSpriteTypeID::PRODUCT_LOGO_SPRITE_TYPE_ID)->drawFrame(0, 0);
        label->drawLabel();
        egl->endScene();
        egl->present();
        destroyLabel(label);
        const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
        return std::count_if(frame.pixels.begin(), frame.pixels.end(),
                             [](std::uint32_t p) { return p != CLEAR_COLOR; });
    }
};

TEST_F(QLMGraphicsTest, OpensTheFullScreen800x600ModeOfTheHost)
{
    EGLDevice* device = graphicsDevice();
    EXPECT_EQ(device->target(), EGL::FULL_SCREEN_TARGET);
    EXPECT_EQ(device->width(), 800);
    EXPECT_EQ(device->height(), 600);
    EXPECT_EQ(device->refreshRate(), 60) << "the host reports 60 Hz when SDL reports no rate";
    EXPECT_EQ(graphicsLibrary()->openedDevice(), device);
}

TEST_F(QLMGraphicsTest, EveryDeviceIDFindsAModeOfTheHost)
{
    struct Case
    {
        int deviceID;
        std::int32_t target;
        std::int32_t width; // 0: the desktop's
    };
    const Case cases[] = {{1, WINDOW, 0}, {2, FULL, 640}, {3, FULL, 800}, {4, FULL, 1024}};
    for (const Case& c : cases)
    {
        EGLDevice* device = pickDevice(c.deviceID);
        EXPECT_EQ(device->target(), c.target) << c.deviceID;
        if (c.width != 0)
        {
            EXPECT_EQ(device->width(), c.width) << c.deviceID;
        }
    }
}

TEST_F(QLMGraphicsTest, LendsOutTheTablesObjectsAndTheViewSpace)
{
    EGLSpriteType* productLogo = getSpriteType(QLMSpriteTypeID::PRODUCT_LOGO_SPRITE_TYPE_ID);
    EXPECT_FLOAT_EQ(productLogo->width(), 1200);
    EXPECT_FLOAT_EQ(productLogo->originY(), 1.0f) << "hangs below its position";
    EXPECT_EQ(productLogo->blender()->number(), EGL::ADDITIVE_BLENDING);
    EXPECT_FLOAT_EQ(getSpriteType(QLMSpriteTypeID::MAKER_LOGO_SPRITE_TYPE_ID)->originY(), 0.0f);
    EXPECT_EQ(getSpriteType(QLMSpriteTypeID::PILLS_SPRITE_TYPE_ID)->frameColumnCount(), 8);
    EXPECT_EQ(getSpriteType(QLMSpriteTypeID::SCENERY_SPRITE_TYPE_ID)->blender()->number(), EGL::NO_BLENDING);
    EXPECT_EQ(getFont(QLMFontID::SMALL_FONT_ID)->fontTexture(), getFont(QLMFontID::LARGE_FONT_ID)->fontTexture());
    EXPECT_FLOAT_EQ(getFont(QLMFontID::LARGE_FONT_ID)->frameHeight(), 64);
    EXPECT_EQ(graphicsLibrary()->textures().size(), 11u);
    EXPECT_EQ(spriteTypes().size(), 10u);

    EGLSpace* space = getSpace();
    EXPECT_EQ((std::vector{space->left(), space->right(), space->bottom(), space->top()}),
              (std::vector{-800.0f, 800.0f, -600.0f, 600.0f}));
    EXPECT_EQ(thrownBy([] { getSpriteType(11); }), "Error: Unknown sprite type ID.");
    EXPECT_EQ(thrownBy([] { getFont(3); }), "Error: Unknown font ID.");
}

TEST_F(QLMGraphicsTest, ChangingTheResolutionKeepsEverythingDrawable)
{
    const long before = drawnPixels();
    EXPECT_GT(before, 0);

    changeGraphicsDevice(QLMDevices::SCREEN_1024X768_DEVICE_ID);
    EXPECT_EQ(graphicsDevice()->width(), 1024);
    EXPECT_GT(drawnPixels(), 0);
    EXPECT_EQ(hosttest::lastPresentedFrame().width, 1024);

    changeGraphicsDevice(QLMDevices::SCREEN_800X600_DEVICE_ID);
    EXPECT_EQ(drawnPixels(), before) << "the same frame as before the changes";
}

TEST_F(QLMGraphicsTest, TheWindowedDeviceGivesTheWindowItsPlace)
{
    changeGraphicsDevice(QLMDevices::WINDOW_DEVICE_ID);
    EXPECT_EQ(graphicsDevice()->target(), EGL::WINDOW_TARGET);
    const EGCRectangle place = window()->rectangle();
    EXPECT_EQ((std::vector{place.x(), place.y(), place.width(), place.height()}), (std::vector{0, 0, 800, 600}));
    EXPECT_GT(drawnPixels(), 0);
}

TEST_F(QLMGraphicsTest, ReopeningChoosesTheLastDeviceAgain)
{
    changeGraphicsDevice(QLMDevices::SCREEN_640X480_DEVICE_ID);
    closeGraphicsDevice();
    EXPECT_FALSE(deviceIsOpen());
    EXPECT_EQ(thrownBy([] { graphicsDevice(); }), "Assertion failure: deviceIsOpen()");
    EXPECT_EQ(thrownBy([] { closeGraphicsDevice(); }), "Assertion failure: deviceIsOpen()");
    EXPECT_EQ(thrownBy([] { changeGraphicsDevice(3); }), "Assertion failure: deviceIsOpen()");

    reopenGraphicsDevice();
    EXPECT_EQ(graphicsDevice()->width(), 640);
    EXPECT_EQ(thrownBy([] { reopenGraphicsDevice(); }), "Assertion failure: !deviceIsOpen()");
}

TEST_F(QLMGraphicsTest, ALostDeviceIsRebuiltOnceItCanBeReset)
{
    hosttest::forceDeviceLoss(true);
    EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::PAUSED);
    hosttest::forceDeviceLoss(false);
    EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::DOWN);

    closeGraphicsDevice();
    reopenGraphicsDevice();
    EXPECT_EQ(graphicsLibrary()->refreshState(), EGL::OPEN);
    EXPECT_EQ(graphicsDevice()->width(), 800);
    EXPECT_GT(drawnPixels(), 0);
}

TEST_F(QLMGraphicsTest, AnUnknownDeviceIDLeavesTheOpenDeviceAlone)
{
    for (int id : {0, 5})
        EXPECT_EQ(thrownBy([&] { changeGraphicsDevice(id); }),
                  "Assertion failure: (QLMDevices::MIN_DEVICE_ID < deviceID) && (deviceID < QLMDevices::MAX_DEVICE_ID)")
            << id;
    EXPECT_TRUE(deviceIsOpen());
    EXPECT_EQ(graphicsDevice()->width(), 800);
}

TEST_F(QLMGraphicsTest, OpeningTwiceFailsItsCheck)
{
    EXPECT_EQ(thrownBy([] { initializeGraphics(); }), "Assertion failure: !deviceIsOpen()");
    EXPECT_EQ(thrownBy([] { openTextures(); }), "Assertion failure: !texturesAreOpen()");
    EXPECT_EQ(thrownBy([] { openSpriteTypes(); }), "Assertion failure: !spriteTypesAreOpen()");
    EXPECT_EQ(thrownBy([] { openFonts(); }), "Assertion failure: !fontsAreOpen()");
}

TEST_F(GameTest, GraphicsReadTheirImagesFromTheWorkingDirectory)
{
    const std::filesystem::path dataFolder = std::filesystem::current_path();
    const std::filesystem::path empty = std::filesystem::temp_directory_path() / "qlmgraphics_test_empty";
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    EXPECT_EQ(thrownBy([] { initializeGraphics(); }),
              "Assertion failure: \"Image file open successfully.\" && inputFile.is_open()");
    EXPECT_FALSE(texturesAreOpen());
    closeGraphicsDevice();
    std::filesystem::current_path(dataFolder);
    std::filesystem::remove(empty);
}

} // namespace
