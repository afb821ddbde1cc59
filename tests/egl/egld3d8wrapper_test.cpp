#include "egl/egld3d8wrapper.h"

#include "egltesting.h"

#include <gtest/gtest.h>

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
