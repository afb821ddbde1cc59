#include "egl/egld3d8.h"

#include "egl/egld3d8texture.h"
#include "egl/egltool.h"
#include "egltesting.h"
#include "host/testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr std::uint32_t BLACK = 0xFF000000u;
constexpr std::uint32_t RED = 0xFFFF0000u;
constexpr std::uint32_t GREEN = 0xFF00FF00u;
constexpr std::uint32_t BLUE = 0xFF0000FFu;

EGLImage filledImage(std::int32_t columns, std::int32_t rows, std::uint32_t color)
{
    EGLImage image(columns, rows);
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t column = 0; column < columns; ++column)
            image.pixel(column, row) = color;
    return image;
}

// A library over the test window. The space maps one unit onto one pixel of the windowed back buffer:
// x -32..32 onto columns 0..63, y 24..-24 onto rows 0..47.
class EGLD3D8Library : public testing::Test
{
protected:
    void TearDown() override
    {
        // Whatever a test left open is closed, so that every test starts alike and nothing leaks.
        for (EGLTexture* texture : mEGL->textures())
            while (texture->isChanging())
                mEGL->endChange(texture);
        for (EGLStream* stream : mEGL->streams())
            while (stream->isChanging())
                mEGL->endChange(stream);
        while (EGL::DRAWING == mEGL->refreshState())
            mEGL->endScene();
        if (EGL::CLOSED != mEGL->refreshState())
            mEGL->closeDevice();
        for (EGLModel* model : mEGL->models())
            mEGL->destroy(model);
        for (EGLStream* stream : mEGL->streams())
            mEGL->destroy(stream);
        for (EGLTexture* texture : mEGL->textures())
            mEGL->destroy(texture);
        for (EGLTransform* transform : mEGL->transforms())
            mEGL->destroy(transform);
        for (EGLSpace* space : mEGL->spaces())
            mEGL->destroy(space);
        mEGL.reset();
        forceDeviceLoss(false);
    }

    // The windowed device with an X8R8G8B8 back buffer, looked up anew each time.
    EGLDevice* windowedDevice() const
    {
        for (std::int32_t i = 0; i < mEGL->deviceCount(); ++i)
        {
            EGLDevice* device = mEGL->device(i);
            if (EGL::WINDOW_TARGET == device->target() && EGL::X8R8G8B8_FORMAT == device->format())
                return device;
        }
        return nullptr;
    }

    void openWindowedDevice() { mEGL->openDevice(windowedDevice()); }

    // An axis-aligned quad from (left, bottom) to (right, top) as a textured triangle strip, with the whole
    // texture stretched over it (texel centres at the corners' pixel centres are not needed here).
    EGLModel* quad(float left, float bottom, float right, float top, std::uint32_t color, EGLTexture* texture,
                   std::int32_t blending = EGL::NO_BLENDING)
    {
        EGLStream* stream = mEGL->createStream(EGL::TEXTURE_VERTICES, 4, 0);
        mEGL->beginChange(stream);
        stream->setPositions(0, {0, 4}, {{left, top}, {right, top}, {left, bottom}, {right, bottom}});
        stream->setColors(0, {0, 4}, std::vector<std::uint32_t>(4, color));
        stream->setAddresses(0, {0, 4}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}});
        mEGL->endChange(stream);
        return mEGL->createModel(stream, {0, 4}, mEGL->primitiveType(EGL::TRIANGLE_STRIP),
                                 mEGL->shadingMethod(EGL::FLAT_SHADING), mEGL->blendingMethod(blending),
                                 texture ? texture : mEGL->nullTexture());
    }

    // Draws the models in one scene over a black target and presents the frame.
    void drawFrame(const std::vector<EGLModel*>& models)
    {
        mEGL->beginScene(mSpace);
        mEGL->clearTarget(BLACK);
        for (EGLModel* model : models)
            mEGL->drawModel(model);
        mEGL->endScene();
        mEGL->present();
    }

    HWND mWindow = testWindow();
    std::unique_ptr<EGLD3D8> mEGL = std::make_unique<EGLD3D8>(&mWindow);
    EGLSpace* mSpace = mEGL->createSpace(-32, 32, -24, 24);
};

} // namespace

// Devices ---------------------------------------------------------------------------------------------------

TEST_F(EGLD3D8Library, HandsOutItsDevicesInAddressOrder)
{
    ASSERT_LT(0, mEGL->deviceCount());
    for (std::int32_t i = 1; i < mEGL->deviceCount(); ++i)
        EXPECT_LT(mEGL->device(i - 1), mEGL->device(i));
    EXPECT_EQ(mEGL->device(-1), mEGL->device(0));
    EXPECT_EQ(thrownBy([&] { mEGL->device(mEGL->deviceCount()); }),
              "Assertion failure: mOpenDevices.end() != deviceIterator");
    EXPECT_EQ(mEGL->adapterCount(), 1);
    EXPECT_EQ(mEGL->adapterName(0), mEGL->device(0)->description());
}

TEST_F(EGLD3D8Library, DeviceQueryPicksTheMostPreferredEnumeratedDevice)
{
    EGLDeviceQuery query{true, EGL::HARDWARE_DEVICE, true, true, true, EGL::FULL_SCREEN_TARGET, 800, 800, 600, 600, 0,
                         1000};
    const EGLDeviceAnswer found = queryDevice(mEGL.get(), query);
    ASSERT_NE(found.device, nullptr);
    EXPECT_EQ(found.device->width(), 800);
    EXPECT_EQ(found.device->height(), 600);
    EXPECT_EQ(found.device->target(), EGL::FULL_SCREEN_TARGET);
    EXPECT_EQ(found.device->format(), EGL::X8R8G8B8_FORMAT) << "an X8R8G8B8 back buffer goes first";

    query.minWidth = query.maxWidth = 801;
    const EGLDeviceAnswer none = queryDevice(mEGL.get(), query);
    EXPECT_EQ(none.device, nullptr);
    EXPECT_TRUE(none.someDevicesHaveOkType);
    EXPECT_TRUE(none.someDevicesHaveOkIsPrimary);
    EXPECT_TRUE(none.someDevicesHaveOkTarget);
    EXPECT_FALSE(none.someDevicesHaveOkWidth);
    EXPECT_FALSE(none.someDevicesHaveOkRate);
}

TEST_F(EGLD3D8Library, OpensOnlyItsOwnDevicesAndOnlyWhileClosed)
{
    EXPECT_EQ(mEGL->openedDevice(), nullptr);
    EXPECT_EQ(thrownBy([&] { mEGL->openDevice(nullptr); }), "Assertion failure: isOpen(device)");
    EXPECT_EQ(thrownBy([&] { mEGL->closeDevice(); }),
              "Assertion failure: (OPEN == mState) || (PAUSED == mState) || (DOWN == mState)");
    EGLDevice* device = windowedDevice();
    mEGL->openDevice(device);
    EXPECT_EQ(mEGL->openedDevice(), device);
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
    EXPECT_EQ(thrownBy([&] { mEGL->openDevice(device); }), "Assertion failure: CLOSED == mState");
}

TEST_F(EGLD3D8Library, OpenDeviceSetsTheFixedStateAndNothingElse)
{
    hosttest::resetD3D8Counters();
    openWindowedDevice();
    const hosttest::D3D8Counters counters = hosttest::d3d8Counters();
    EXPECT_EQ(counters.transforms, 1) << "the view";
    EXPECT_EQ(counters.materials, 1);
    EXPECT_EQ(counters.renderStates, 3) << "culling, lighting, vertex colours";
    EXPECT_EQ(counters.textureStageStates, 10);
    EXPECT_EQ(counters.textures + counters.streamSources + counters.indices + counters.vertexShaders, 0);
}

TEST_F(EGLD3D8Library, DeviceThatCannotBeCreatedLeavesTheLibraryClosed)
{
    forceDeviceLoss(true);
    EXPECT_EQ(thrownBy([&] { openWindowedDevice(); }),
              "Assertion failure: \"D3D device created successfully\" && (D3D_OK == result)");
    forceDeviceLoss(false);
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
}

TEST_F(EGLD3D8Library, CloseDeviceRebuildsTheDeviceList)
{
    EGLDevice* device = windowedDevice();
    const std::int32_t deviceCount = mEGL->deviceCount();
    mEGL->openDevice(device);
    mEGL->closeDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    EXPECT_EQ(mEGL->openedDevice(), nullptr);
    EXPECT_EQ(mEGL->deviceCount(), deviceCount);
    EXPECT_FALSE(mEGL->isOpen(device)) << "a device from before closeDevice is gone";
    EXPECT_EQ(thrownBy([&] { mEGL->openDevice(device); }), "Assertion failure: isOpen(device)");
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
}

TEST_F(EGLD3D8Library, RefreshStateFollowsTheDeviceThroughLossAndReopening)
{
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
    forceDeviceLoss(true);
    EXPECT_EQ(mEGL->refreshState(), EGL::PAUSED);
    EXPECT_EQ(mEGL->refreshState(), EGL::PAUSED);
    forceDeviceLoss(false);
    EXPECT_EQ(mEGL->refreshState(), EGL::DOWN);
    EXPECT_EQ(mEGL->refreshState(), EGL::DOWN) << "a lost device stays down until it is made anew";

    // The caller's recovery: close, look the device up anew, open; the textures come back with it.
    EGLTexture* texture = mEGL->createTexture(filledImage(4, 4, GREEN));
    EGLModel* model = quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture);
    mEGL->closeDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), GREEN);
}

TEST_F(EGLD3D8Library, LostDeviceCanBeClosedWhilePaused)
{
    openWindowedDevice();
    forceDeviceLoss(true);
    ASSERT_EQ(mEGL->refreshState(), EGL::PAUSED);
    mEGL->closeDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
}

// Scenes ----------------------------------------------------------------------------------------------------

TEST_F(EGLD3D8Library, NestedScenesReturnToOpenOnlyAtTheOutermostEnd)
{
    openWindowedDevice();
    EXPECT_EQ(mEGL->beginScene(mSpace), 1);
    EXPECT_EQ(mEGL->beginScene(mSpace), 2);
    forceDeviceLoss(true);
    EXPECT_EQ(mEGL->refreshState(), EGL::DRAWING) << "the device is not asked during a scene";
    forceDeviceLoss(false);
    mEGL->endScene();
    EXPECT_EQ(mEGL->refreshState(), EGL::DRAWING);
    mEGL->endScene();
    EXPECT_NE(mEGL->refreshState(), EGL::DRAWING);
}

TEST_F(EGLD3D8Library, InnerSceneEndKeepsThePartsInEffect)
{
    openWindowedDevice();
    EGLModel* model = quad(-32, -24, 32, 24, RED, nullptr);
    mEGL->beginScene(mSpace);
    mEGL->beginScene(mSpace);
    mEGL->drawModel(model);
    mEGL->endScene();
    const auto changesBefore = deviceStateChangeCount();
    mEGL->drawModel(model);
    EXPECT_EQ(deviceStateChangeCount(), changesBefore) << "nothing is switched again inside the outer scene";
    mEGL->endScene();
    const auto changesAtEnd = deviceStateChangeCount();
    EXPECT_GT(changesAtEnd, changesBefore) << "the outermost end switches the stream and texture off";
    mEGL->beginScene(mSpace);
    const auto changesAfterBegin = deviceStateChangeCount();
    mEGL->drawModel(model);
    EXPECT_GT(deviceStateChangeCount(), changesAfterBegin) << "a new frame switches every part on";
    mEGL->endScene();
}

TEST_F(EGLD3D8Library, DrawSwitchesOnlyThePartsThatDiffer)
{
    openWindowedDevice();
    EGLTexture* red = mEGL->createTexture(filledImage(2, 2, RED));
    EGLTexture* blue = mEGL->createTexture(filledImage(2, 2, BLUE));
    EGLModel* first = quad(-32, -24, 0, 24, 0xFFFFFFFFu, red);
    EGLModel* sameParts = mEGL->createModel(first->stream(), first->range(), first->primitiveType(),
                                            first->shadingMethod(), first->blendingMethod(), red);
    EGLModel* otherTexture = mEGL->createModel(first->stream(), first->range(), first->primitiveType(),
                                               first->shadingMethod(), first->blendingMethod(), blue);
    mEGL->beginScene(mSpace);
    mEGL->drawModel(first);
    auto changes = deviceStateChangeCount();
    mEGL->drawModel(sameParts);
    EXPECT_EQ(deviceStateChangeCount(), changes);
    mEGL->drawModel(otherTexture);
    EXPECT_EQ(deviceStateChangeCount(), changes + 1) << "only the texture is set";
    mEGL->endScene();
}

// Changes and device resources -------------------------------------------------------------------------------

TEST_F(EGLD3D8Library, TextureCreatedWhileClosedReachesTheDeviceAtOpenDevice)
{
    EGLTexture* texture = mEGL->createTexture(filledImage(32, 32, GREEN));
    auto* imageTexture = dynamic_cast<EGLD3D8ImageTexture*>(texture);
    ASSERT_NE(imageTexture, nullptr);
    EXPECT_FALSE(imageTexture->d3D8TextureIsOpen());
    // A change while closed is kept in memory; nothing is written to a device.
    mEGL->beginChange(texture);
    texture->setImage(filledImage(32, 32, BLUE));
    mEGL->endChange(texture);
    EXPECT_FALSE(imageTexture->d3D8TextureIsOpen());

    openWindowedDevice();
    EXPECT_TRUE(imageTexture->d3D8TextureIsOpen());
    drawFrame({quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture)});
    EXPECT_EQ(framePixel(10, 10), BLUE);

    mEGL->closeDevice();
    EXPECT_FALSE(imageTexture->d3D8TextureIsOpen());
}

TEST_F(EGLD3D8Library, TextureKeepsItsImageCopyFromCreationToDestroy)
{
    EGLImage image(16, 16);
    for (std::int32_t row = 0; row < 16; ++row)
        for (std::int32_t column = 0; column < 16; ++column)
            image.pixel(column, row) = 0x01020304u * static_cast<std::uint32_t>(row * 16 + column + 1);
    EGLTexture* texture = mEGL->createTexture(image);
    const EGLImage& kept = texture->image();
    const std::uint32_t* keptPixels = &kept.pixel(0, 0);
    openWindowedDevice();
    EGLModel* model = quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture);
    drawFrame({model});
    drawFrame({model});
    // Drawing and closing the device leave the copy itself in place: nothing is dropped or read back from the device.
    EXPECT_TRUE(kept == image) << "the reference taken before the draws";
    EXPECT_EQ(&texture->image(), &kept);
    EXPECT_EQ(&texture->image().pixel(0, 0), keptPixels);
    EXPECT_FLOAT_EQ(texture->columnAddress(3), 3.5f / 16.0f);
    mEGL->closeDevice();
    EXPECT_EQ(&texture->image().pixel(0, 0), keptPixels);
    openWindowedDevice();
    drawFrame({model});
    EXPECT_EQ(framePixel(0, 0), image.pixel(0, 0) | 0xFF000000u);
    EXPECT_TRUE(kept == image);
}

TEST_F(EGLD3D8Library, TextureCreatedWhileOpenGetsItsDeviceTextureAtOnce)
{
    openWindowedDevice();
    EGLTexture* texture = mEGL->createTexture(filledImage(8, 8, RED));
    EXPECT_TRUE(dynamic_cast<EGLD3D8ImageTexture*>(texture)->d3D8TextureIsOpen());
    drawFrame({quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture)});
    EXPECT_EQ(framePixel(40, 30), RED);
}

TEST_F(EGLD3D8Library, NestedChangeCommitsOnlyAtTheOutermostEnd)
{
    openWindowedDevice();
    EGLTexture* texture = mEGL->createTexture(filledImage(4, 4, RED));
    EGLModel* model = quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture);
    mEGL->beginChange(texture);
    mEGL->beginChange(texture);
    texture->setImage(filledImage(4, 4, GREEN));
    mEGL->endChange(texture);
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), RED) << "the inner end does not commit";
    mEGL->endChange(texture);
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), GREEN);
}

TEST_F(EGLD3D8Library, StreamChangesReachTheDeviceAtTheOutermostEnd)
{
    openWindowedDevice();
    EGLModel* model = quad(-32, -24, 32, 24, RED, nullptr);
    EGLStream* stream = model->stream();
    mEGL->beginChange(stream);
    stream->setColors(0, {0, 4}, std::vector<std::uint32_t>(4, BLUE));
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), RED);
    mEGL->endChange(stream);
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), BLUE);
}

TEST_F(EGLD3D8Library, ImageOfAnotherSizeGetsADeviceTextureOfItsOwnSize)
{
    openWindowedDevice();
    EGLTexture* texture = mEGL->createTexture(filledImage(4, 4, RED));
    mEGL->beginChange(texture);
    texture->setImage(filledImage(64, 64, GREEN));
    mEGL->endChange(texture);
    drawFrame({quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture)});
    EXPECT_EQ(framePixel(32, 24), GREEN);
}

TEST_F(EGLD3D8Library, TextureOfABadSizeFailsAtOpenDeviceAndLeavesTheLibraryClosed)
{
    EGLTexture* texture = mEGL->createTexture(filledImage(32, 16, RED));
    EXPECT_EQ(thrownBy([&] { openWindowedDevice(); }),
              "Assertion failure: \"Valid texture size.\" && isValidTextureSize(width, height)");
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    mEGL->destroy(texture);
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
}

TEST_F(EGLD3D8Library, TextureAnOpenDeviceRefusesIsNotKept)
{
    openWindowedDevice();
    EXPECT_EQ(thrownBy([&] { mEGL->createTexture(filledImage(32, 16, RED)); }),
              "Assertion failure: \"Valid texture size.\" && isValidTextureSize(width, height)");
    EXPECT_TRUE(mEGL->textures().empty());
    EXPECT_FALSE(mEGL->nullTexture()->hasUsers());
    mEGL->closeDevice();
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN) << "nothing refused is left for the next openDevice";
}

TEST_F(EGLD3D8Library, OpenDeviceRefusedByATextureInTheMiddleOfAChangeReleasesWhatItMade)
{
    EGLTexture* green = mEGL->createTexture(filledImage(4, 4, GREEN));
    EGLTexture* changing = mEGL->createTexture(filledImage(4, 4, RED));
    EGLModel* model = quad(-32, -24, 32, 24, 0xFFFFFFFFu, green);
    mEGL->beginChange(changing);
    EXPECT_EQ(thrownBy([&] { openWindowedDevice(); }), "Assertion failure: !isChanging()");
    EXPECT_EQ(mEGL->refreshState(), EGL::CLOSED);
    for (EGLTexture* texture : {green, changing})
        EXPECT_FALSE(dynamic_cast<EGLD3D8ImageTexture*>(texture)->d3D8TextureIsOpen());

    mEGL->endChange(changing);
    openWindowedDevice();
    EXPECT_EQ(mEGL->refreshState(), EGL::OPEN);
    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), GREEN);
}

TEST_F(EGLD3D8Library, CreateStreamKnowsTwoVertexFormats)
{
    EXPECT_EQ(thrownBy([&] { mEGL->createStream(3, 4, 0); }), "Error: Unknown vertex format");
    EXPECT_EQ(thrownBy([&] { mEGL->createStream(3, 4, 6); }), "Error: Unknown vertex format");
    EGLStream* indexed = mEGL->createStream(EGL::COLOR_VERTICES, 4, 6);
    EXPECT_TRUE(indexed->isIndexed());
    EXPECT_EQ(indexed->vertexFormat(), EGL::COLOR_VERTICES);
    EXPECT_EQ(mEGL->streams().size(), 1u);
}

// Objects and their users -----------------------------------------------------------------------------------

TEST_F(EGLD3D8Library, LibraryIsAUserOfWhatItCreatesUntilItDestroysIt)
{
    EGLTexture* texture = mEGL->createTexture(filledImage(2, 2, RED));
    EGLTransform* transform = mEGL->createTransform();
    EXPECT_EQ(texture->userCount(), 1u);
    EXPECT_EQ(transform->userCount(), 1u);
    EXPECT_EQ(mSpace->userCount(), 1u);
    EXPECT_EQ(mEGL->textures().count(texture), 1u);
    mEGL->destroy(texture);
    mEGL->destroy(transform);
    EXPECT_TRUE(mEGL->textures().empty());
    EXPECT_TRUE(mEGL->transforms().empty());
    EXPECT_TRUE(mEGL->isOpen(mEGL->nullTexture()));
}

TEST_F(EGLD3D8Library, ModelIsAUserOfItsPartsWhileItHoldsThem)
{
    EGLTexture* texture = mEGL->createTexture(filledImage(2, 2, RED));
    EGLModel* model = quad(-1, -1, 1, 1, RED, texture);
    EGLBlendingMethod* none = mEGL->blendingMethod(EGL::NO_BLENDING);
    EGLBlendingMethod* alpha = mEGL->blendingMethod(EGL::ALPHA_BLENDING);
    EXPECT_EQ(texture->userCount(), 2u) << "the library and the model";
    EXPECT_EQ(model->stream()->userCount(), 2u);
    EXPECT_EQ(none->userCount(), 1u);
    model->setBlendingMethod(alpha);
    EXPECT_EQ(none->userCount(), 0u);
    EXPECT_EQ(alpha->userCount(), 1u);
    model->setTexture(mEGL->nullTexture());
    EXPECT_EQ(texture->userCount(), 1u);
    EGLStream* stream = model->stream();
    EGLPrimitiveType* strip = model->primitiveType();
    mEGL->destroy(model);
    EXPECT_EQ(stream->userCount(), 1u);
    EXPECT_EQ(strip->userCount(), 0u);
    EXPECT_EQ(alpha->userCount(), 0u);
    EXPECT_FALSE(mEGL->nullTexture()->hasUsers());
}

TEST_F(EGLD3D8Library, SpaceBoundsAreKeptAndTheSecondOperationRefuses)
{
    mEGL->beginChange(mSpace);
    mSpace->setBounds(-800, 800, -600, 600);
    mEGL->endChange(mSpace);
    EXPECT_EQ(mSpace->left(), -800);
    EXPECT_EQ(mSpace->right(), 800);
    EXPECT_EQ(mSpace->bottom(), -600);
    EXPECT_EQ(mSpace->top(), 600);
    EXPECT_EQ(thrownBy([&] { mSpace->setCenteredBounds(1, 1); }), "Error: Not implemented.");
}

TEST_F(EGLD3D8Library, CannotBeCopied)
{
    EXPECT_EQ(thrownBy([&] { EGLD3D8 copy(*mEGL); }), "Error: Value semantics not implemented.");
}

// What reaches the target ----------------------------------------------------------------------------------

TEST_F(EGLD3D8Library, SpaceMapsOntoTheWholeTargetWithYUp)
{
    openWindowedDevice();
    // A small quad in the top right corner of the world lands in the top right of the frame.
    drawFrame({quad(24, 16, 32, 24, RED, nullptr)});
    EXPECT_EQ(framePixel(60, 3), RED);
    EXPECT_EQ(framePixel(3, 44), BLACK);
    EXPECT_EQ(framePixel(3, 3), BLACK);
}

TEST_F(EGLD3D8Library, PushedTransformsMoveWhatIsDrawnUntilPopped)
{
    openWindowedDevice();
    EGLModel* model = quad(-4, -4, 4, 4, RED, nullptr);
    EGLTransform* translation = createTranslationTransform(mEGL.get(), {20, 10});
    mEGL->beginScene(mSpace);
    mEGL->clearTarget(BLACK);
    mEGL->pushTransform(translation);
    mEGL->drawModel(model);
    mEGL->popTransform();
    mEGL->endScene();
    mEGL->present();
    EXPECT_EQ(framePixel(52, 14), RED) << "moved by (20, 10)";
    EXPECT_EQ(framePixel(32, 24), BLACK);

    drawFrame({model});
    EXPECT_EQ(framePixel(32, 24), RED) << "the pop restored the view";
    EXPECT_EQ(framePixel(52, 14), BLACK);
}

TEST_F(EGLD3D8Library, TexelsKeepTheirAlphaAndColourChannels)
{
    openWindowedDevice();
    // Half-transparent red blended over black gives half red.
    EGLTexture* texture = mEGL->createTexture(filledImage(2, 2, 0x80FF0000u));
    drawFrame({quad(-32, -24, 32, 24, 0xFFFFFFFFu, texture, EGL::ALPHA_BLENDING)});
    const std::uint32_t pixel = framePixel(32, 24);
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 0x80, 1);
    EXPECT_EQ(pixel & 0xFFFF, 0u);
}

TEST_F(EGLD3D8Library, BlendingMethodsSetTheirOwnFactors)
{
    openWindowedDevice();
    // Over a blue quad: additive half-green adds; alpha half-green after it replaces half the blue;
    // no blending after them writes the colour as it is.
    EGLModel* background = quad(-32, -24, 32, 24, BLUE, nullptr);
    EGLModel* additive = quad(-32, -24, -16, 24, 0x8000FF00u, nullptr, EGL::ADDITIVE_BLENDING);
    EGLModel* alpha = quad(-16, -24, 0, 24, 0x8000FF00u, nullptr, EGL::ALPHA_BLENDING);
    EGLModel* opaque = quad(0, -24, 16, 24, 0x8000FF00u, nullptr, EGL::NO_BLENDING);
    drawFrame({background, additive, alpha, opaque});
    const auto channel = [](std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
    const std::uint32_t added = framePixel(8, 24);
    const std::uint32_t blended = framePixel(24, 24);
    const std::uint32_t written = framePixel(40, 24);
    EXPECT_EQ(channel(added, 0), 0xFF);
    EXPECT_NEAR(channel(added, 8), 0x80, 1);
    EXPECT_NEAR(channel(blended, 0), 0x7F, 1);
    EXPECT_NEAR(channel(blended, 8), 0x80, 1);
    EXPECT_EQ(channel(written, 0), 0);
    EXPECT_EQ(channel(written, 8), 0xFF);
    EXPECT_EQ(framePixel(56, 24), BLUE);
}

TEST_F(EGLD3D8Library, IndexedStreamDrawsItsIndices)
{
    openWindowedDevice();
    EGLStream* stream = mEGL->createStream(EGL::COLOR_VERTICES, 4, 6);
    mEGL->beginChange(stream);
    stream->setPositions(0, {0, 4}, {{-8, 8}, {8, 8}, {-8, -8}, {8, -8}});
    stream->setColors(0, {0, 4}, std::vector<std::uint32_t>(4, GREEN));
    stream->setIndices(0, {0, 6}, {0, 1, 2, 2, 1, 3});
    mEGL->endChange(stream);
    EGLModel* model = mEGL->createModel(stream, {0, 6}, mEGL->primitiveType(EGL::TRIANGLE_LIST),
                                        mEGL->shadingMethod(EGL::GOURAUD_SHADING),
                                        mEGL->blendingMethod(EGL::NO_BLENDING), mEGL->nullTexture());
    drawFrame({model});
    EXPECT_EQ(framePixel(27, 19), GREEN) << "first triangle";
    EXPECT_EQ(framePixel(37, 29), GREEN) << "second triangle";
    EXPECT_EQ(framePixel(20, 24), BLACK);
}

TEST_F(EGLD3D8Library, DrawingNeedsADevice)
{
    const std::string noDevice = "Assertion failure: mWrapper.d3DDeviceIsOpen()";
    EXPECT_EQ(thrownBy([&] { mEGL->beginScene(mSpace); }), noDevice);
    EXPECT_EQ(thrownBy([&] { mEGL->clearTarget(BLACK); }), noDevice);
    EXPECT_EQ(thrownBy([&] { mEGL->endScene(); }), noDevice);
    EXPECT_EQ(thrownBy([&] { mEGL->present(); }), "Assertion failure: d3DDeviceIsOpen()");
}
