#include "egl/egltool.h"

#include "egl/eglboot.h"
#include "egltesting.h"
#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace
{

// A device record with the values a test gives it.
class DeviceRecord final : public EGLDevice
{
public:
    DeviceRecord(std::int32_t type, bool isPrimary, std::int32_t format, std::int32_t width, std::int32_t height,
                 std::int32_t refreshRate, std::int32_t target = EGL::FULL_SCREEN_TARGET)
        : mType(type), mIsPrimary(isPrimary), mFormat(format), mWidth(width), mHeight(height),
          mRefreshRate(refreshRate), mTarget(target)
    {
    }

    std::int32_t format() const override { return mFormat; }
    std::int32_t height() const override { return mHeight; }
    bool isPrimary() const override { return mIsPrimary; }
    std::string description() const override { return "record"; }
    std::int32_t refreshRate() const override { return mRefreshRate; }
    std::int32_t target() const override { return mTarget; }
    std::int32_t type() const override { return mType; }
    std::int32_t width() const override { return mWidth; }

private:
    std::int32_t mType;
    bool mIsPrimary;
    std::int32_t mFormat;
    std::int32_t mWidth;
    std::int32_t mHeight;
    std::int32_t mRefreshRate;
    std::int32_t mTarget;
};

constexpr std::int32_t HAL = EGL::HARDWARE_DEVICE;
constexpr std::int32_t REF = EGL::REFERENCE_DEVICE;
constexpr std::int32_t X8R8G8B8 = EGL::X8R8G8B8_FORMAT;
constexpr std::int32_t A8R8G8B8 = EGL::A8R8G8B8_FORMAT;

} // namespace

TEST(EGLDeviceOrder, FirstDifferingKeyDecides)
{
    const struct
    {
        const char* what;
        DeviceRecord first;
        DeviceRecord second;
    } cases[] = {
        {"hardware on adapter 1 before reference on adapter 0",
         {HAL, false, A8R8G8B8, 1024, 768, 85},
         {REF, true, X8R8G8B8, 640, 480, 60}},
        {"primary before secondary", {HAL, true, A8R8G8B8, 1024, 768, 85}, {HAL, false, X8R8G8B8, 640, 480, 60}},
        {"X8R8G8B8 back buffer before A8R8G8B8",
         {HAL, true, X8R8G8B8, 1024, 768, 85},
         {HAL, true, A8R8G8B8, 640, 480, 60}},
        {"smaller area first", {HAL, true, X8R8G8B8, 640, 480, 85}, {HAL, true, X8R8G8B8, 800, 600, 60}},
        {"equal area: lower refresh rate first",
         {HAL, true, X8R8G8B8, 640, 480, 60},
         {HAL, true, X8R8G8B8, 640, 480, 75}},
    };
    for (const auto& testCase : cases)
    {
        EXPECT_TRUE(fDeviceIsPreferred(&testCase.first, &testCase.second)) << testCase.what;
        EXPECT_FALSE(fDeviceIsPreferred(&testCase.second, &testCase.first)) << testCase.what;
    }
}

TEST(EGLDeviceOrder, TargetIsNoKeyAndMissingDevicesFail)
{
    const DeviceRecord windowed(HAL, true, X8R8G8B8, 800, 600, 60, EGL::WINDOW_TARGET);
    const DeviceRecord fullScreen(HAL, true, X8R8G8B8, 800, 600, 60, EGL::FULL_SCREEN_TARGET);
    EXPECT_FALSE(fDeviceIsPreferred(&windowed, &fullScreen));
    EXPECT_FALSE(fDeviceIsPreferred(&fullScreen, &windowed));

    try
    {
        fDeviceIsPreferred(&windowed, nullptr);
        FAIL() << "no exception";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.description(), "device1");
    }
}

TEST(EGLDeviceQuery, ValidityNeedsKnownTypeAndTargetAndOrderedRanges)
{
    const EGLDeviceQuery valid = {false, HAL, false, true, false, EGL::WINDOW_TARGET, 0, 800, 0, 600, 0, 0};
    EXPECT_TRUE(fDeviceQueryIsValid(valid));

    const struct
    {
        const char* what;
        void (*spoil)(EGLDeviceQuery&);
    } cases[] = {
        {"type 0, though not compared", [](EGLDeviceQuery& query) { query.type = 0; }},
        {"type 3", [](EGLDeviceQuery& query) { query.type = 3; }},
        {"target 0, though not compared", [](EGLDeviceQuery& query) { query.target = 0; }},
        {"target 3", [](EGLDeviceQuery& query) { query.target = 3; }},
        {"negative minimum width", [](EGLDeviceQuery& query) { query.minWidth = -1; }},
        {"width range reversed", [](EGLDeviceQuery& query) { query.minWidth = 801; }},
        {"height range reversed", [](EGLDeviceQuery& query) { query.maxHeight = -1; }},
        {"refresh range reversed", [](EGLDeviceQuery& query) { query.minRefreshRate = 1; }},
    };
    for (const auto& testCase : cases)
    {
        EGLDeviceQuery query = valid;
        testCase.spoil(query);
        EXPECT_FALSE(fDeviceQueryIsValid(query)) << testCase.what;
    }
}

// Over the library and the devices the host's adapter offers ------------------------------------------------------

namespace
{

class EGLToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = testWindow();
        mEGL = openEGL(DIRECT3D8_IMPLEMENTATION, &mWindow);
    }

    void TearDown() override { closeEGL(mEGL); }

    // Any hardware device of any mode, rate and target.
    static EGLDeviceQuery anyDevice()
    {
        return {true, HAL, true, true, false, EGL::WINDOW_TARGET, 0, 100000, 0, 100000, 0, 1000};
    }

    HWND mWindow = nullptr;
    EGL* mEGL = nullptr;
};

} // namespace

TEST_F(EGLToolTest, QueryPicksTheMostPreferredDeviceThatMeetsIt)
{
    ASSERT_GT(mEGL->deviceCount(), 0);
    EGLDevice* best = mEGL->device(0);
    for (std::int32_t i = 1; i < mEGL->deviceCount(); ++i)
        if (fDeviceIsPreferred(mEGL->device(i), best))
            best = mEGL->device(i);

    const EGLDeviceAnswer answer = queryDevice(mEGL, anyDevice());
    ASSERT_NE(answer.device, nullptr);
    EXPECT_FALSE(fDeviceIsPreferred(best, answer.device));
    EXPECT_EQ(answer.device->format(), X8R8G8B8);
    EXPECT_EQ(answer.device->width(), 640) << "the smallest mode the adapter offers";
    EXPECT_TRUE(answer.someDevicesHaveOkRate);

    EGLDeviceQuery windowed = anyDevice();
    windowed.checkTarget = true;
    const EGLDeviceAnswer windowedAnswer = queryDevice(mEGL, windowed);
    ASSERT_NE(windowedAnswer.device, nullptr);
    EXPECT_EQ(windowedAnswer.device->target(), EGL::WINDOW_TARGET);
}

TEST_F(EGLToolTest, FlagsShowHowFarTheBestDevicesCame)
{
    const struct
    {
        const char* what;
        void (*narrow)(EGLDeviceQuery&);
        int okFlags; // how many of the six flags are set, in chain order
    } cases[] = {
        {"reference devices", [](EGLDeviceQuery& query) { query.type = REF; }, 0},
        {"secondary adapters", [](EGLDeviceQuery& query) { query.isPrimary = false; }, 1},
        {"narrower than any mode", [](EGLDeviceQuery& query) { query.maxWidth = 639; }, 3},
        {"width 800 but lower than any mode",
         [](EGLDeviceQuery& query)
         {
             query.minWidth = query.maxWidth = 800;
             query.maxHeight = 10;
         },
         4},
        {"rate above any", [](EGLDeviceQuery& query) { query.minRefreshRate = 999; }, 5},
    };
    for (const auto& testCase : cases)
    {
        EGLDeviceQuery query = anyDevice();
        testCase.narrow(query);
        const EGLDeviceAnswer answer = queryDevice(mEGL, query);
        const bool flags[] = {answer.someDevicesHaveOkType,   answer.someDevicesHaveOkIsPrimary,
                              answer.someDevicesHaveOkTarget, answer.someDevicesHaveOkWidth,
                              answer.someDevicesHaveOkHeight, answer.someDevicesHaveOkRate};
        for (int flag = 0; flag < 6; ++flag)
            EXPECT_EQ(flags[flag], flag < testCase.okFlags) << testCase.what << ", flag " << flag;
        EXPECT_EQ(answer.device, nullptr) << testCase.what;
    }

    EGLDeviceQuery invalid = anyDevice();
    invalid.checkType = false;
    invalid.type = 0;
    EXPECT_EQ(thrownBy([&] { queryDevice(mEGL, invalid); }), "Assertion failure: fDeviceQueryIsValid(deviceQuery)");
}

TEST_F(EGLToolTest, TransformShortHandsCloseTheirChangeBracket)
{
    EGLTransform* const transform = createTranslationTransform(mEGL, {10.0f, 20.0f});
    EXPECT_TRUE(mEGL->transforms().contains(transform));
    EXPECT_FALSE(transform->isChanging());
    EXPECT_TRUE(transform->changeCountIsValid());

    mEGL->beginChange(transform);
    changeRotation(mEGL, transform, 1.0f);
    changeScaling(mEGL, transform, {2.0f, 2.0f});
    EXPECT_TRUE(transform->isChanging()) << "a short-hand must leave an outer bracket open";
    mEGL->endChange(transform);
    EXPECT_FALSE(transform->isChanging());
    mEGL->destroy(transform);
}
