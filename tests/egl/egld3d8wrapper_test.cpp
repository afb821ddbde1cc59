#include "egl/egld3d8wrapper.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

TEST(EGLD3D8Wrapper, NeedsAWindowHandle)
{
    const HWND noWindow = nullptr;
    EXPECT_EQ(thrownBy([] { EGLD3D8Wrapper wrapper(nullptr); }),
              "Assertion failure: \"Valid window handle pointer.\" && windowHandle");
    EXPECT_EQ(thrownBy([&] { EGLD3D8Wrapper wrapper(&noWindow); }), "Assertion failure: invariant()");
}

TEST(EGLD3D8Wrapper, Direct3DObjectIsCreatedAndReleasedOnce)
{
    const HWND window = testWindow();
    EGLD3D8Wrapper wrapper(&window);
    EXPECT_EQ(wrapper.windowHandle(), window);
    EXPECT_EQ(thrownBy([&] { wrapper.releaseD3D(); }), "Assertion failure: d3DIsOpen()");
    EXPECT_EQ(thrownBy([&] { wrapper.GetAdapterCount(); }), "Assertion failure: d3DIsOpen()");
    wrapper.createD3D();
    EXPECT_TRUE(wrapper.d3DIsOpen());
    EXPECT_EQ(thrownBy([&] { wrapper.createD3D(); }), "Assertion failure: !d3DIsOpen()");
    EXPECT_LT(0u, wrapper.GetAdapterCount());
    EXPECT_EQ(thrownBy([&] { wrapper.TestCooperativeLevel(); }), "Assertion failure: d3DDeviceIsOpen()");
    EXPECT_EQ(thrownBy([&] { wrapper.GetDeviceCaps(0, D3DDEVTYPE_HAL, nullptr); }), "Assertion failure: pCaps");
    wrapper.releaseD3D();
    EXPECT_FALSE(wrapper.d3DIsOpen());
}

TEST(EGLD3D8Wrapper, PrimitiveCountFollowsTheCurrentType)
{
    const HWND window = testWindow();
    EGLD3D8Wrapper wrapper(&window);
    const struct
    {
        D3DPRIMITIVETYPE type;
        std::int32_t count;
        std::int32_t primitives;
    } cases[] = {
        {D3DPT_POINTLIST, 5, 5},     {D3DPT_LINELIST, 3, 1},     {D3DPT_LINELIST, 4, 2},
        {D3DPT_LINESTRIP, 4, 3},     {D3DPT_TRIANGLELIST, 7, 2}, {D3DPT_TRIANGLELIST, 6, 2},
        {D3DPT_TRIANGLESTRIP, 4, 2}, {D3DPT_TRIANGLEFAN, 5, 3},  {D3DPT_TRIANGLESTRIP, 1, -1},
    };
    for (const auto& testCase : cases)
    {
        wrapper.setD3DPrimitiveType(testCase.type);
        EXPECT_EQ(wrapper.primitiveCount(testCase.count), testCase.primitives)
            << "type " << testCase.type << ", count " << testCase.count;
    }
    wrapper.setD3DPrimitiveType(7);
    EXPECT_EQ(thrownBy([&] { wrapper.primitiveCount(3); }), "Error: Unknown D3D primitive type.");
}

TEST(EGLD3D8Wrapper, CannotBeCopied)
{
    const HWND window = testWindow();
    const EGLD3D8Wrapper wrapper(&window);
    EXPECT_EQ(thrownBy([&] { EGLD3D8Wrapper copy(wrapper); }),
              "Error: EGLD3D8Wrapper value semantics not implemented.");
    const EGLD3D8MatrixStack stack;
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(thrownBy([&] { EGLD3D8MatrixStack copy(stack); }), "Error: Value sematics not implemented.");
}

namespace
{

// A wrapper with a windowed device on the test window.
class EGLD3D8WrapperDevice : public testing::Test
{
protected:
    void SetUp() override
    {
        mWrapper->createD3D();
        mParameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        mParameters.BackBufferCount = 1;
        mParameters.SwapEffect = D3DSWAPEFFECT_COPY_VSYNC;
        mParameters.hDeviceWindow = mWindow;
        mParameters.Windowed = TRUE;
    }
    void TearDown() override
    {
        forceDeviceLoss(false);
        if (mWrapper->d3DDeviceIsOpen())
            mWrapper->releaseD3DDevice();
        mWrapper->releaseD3D();
    }

    void createDevice()
    {
        mWrapper->createD3DDevice(0, D3DDEVTYPE_HAL, mWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING, &mParameters);
    }

    HWND mWindow = testWindow();
    std::unique_ptr<EGLD3D8Wrapper> mWrapper = std::make_unique<EGLD3D8Wrapper>(&mWindow);
    D3DPRESENT_PARAMETERS mParameters{};
};

} // namespace

TEST_F(EGLD3D8WrapperDevice, DeviceExistsOnlyWithTheDirect3DObject)
{
    EXPECT_EQ(thrownBy([&] { mWrapper->createD3DDevice(0, D3DDEVTYPE_HAL, mWindow, 0, nullptr); }),
              "Assertion failure: pPresentationParameters");
    createDevice();
    EXPECT_TRUE(mWrapper->d3DDeviceIsOpen());
    EXPECT_EQ(mWrapper->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(thrownBy([&] { createDevice(); }), "Assertion failure: !d3DDeviceIsOpen()");
    EXPECT_EQ(thrownBy([&] { mWrapper->releaseD3D(); }), "Assertion failure: !d3DDeviceIsOpen()");
    mWrapper->releaseD3DDevice();
    EXPECT_FALSE(mWrapper->d3DDeviceIsOpen());
}

TEST_F(EGLD3D8WrapperDevice, DeviceThatCannotBeMadeFailsAfterItsRetries)
{
    forceDeviceLoss(true);
    EXPECT_EQ(thrownBy([&] { createDevice(); }),
              "Assertion failure: \"D3D device created successfully\" && (D3D_OK == result)");
    EXPECT_FALSE(mWrapper->d3DDeviceIsOpen());
    forceDeviceLoss(false);
    createDevice();
    EXPECT_TRUE(mWrapper->d3DDeviceIsOpen());
}

TEST_F(EGLD3D8WrapperDevice, TexturesMustBeSquareWithPowerOfTwoSides)
{
    IDirect3DTexture8* texture = nullptr;
    const auto create = [&](UINT width, UINT height)
    { return mWrapper->createD3DTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture); };
    EXPECT_EQ(thrownBy([&] { create(32, 32); }), "Assertion failure: \"D3D Device is open\" && d3DDeviceIsOpen()");
    createDevice();
    const std::string badSize = "Assertion failure: \"Valid texture size.\" && isValidTextureSize(width, height)";
    EXPECT_EQ(thrownBy([&] { create(64, 32); }), badSize);
    EXPECT_EQ(thrownBy([&] { create(0, 0); }), badSize);
    EXPECT_EQ(thrownBy([&] { create(48, 48); }), badSize);
    EXPECT_EQ(thrownBy([&] { mWrapper->createD3DTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr); }),
              "Assertion failure: \"Valid texture pointer pointer.\" && ppTexture");
    ASSERT_EQ(create(256, 256), D3D_OK);
    mWrapper->releaseTexture(texture);
}
