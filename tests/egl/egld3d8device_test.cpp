#include "egl/egld3d8device.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>

namespace
{

// Capabilities that meet every test, with nothing to spare.
D3DCAPS8 sufficientCaps()
{
    D3DCAPS8 caps{};
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
    caps.SrcBlendCaps = D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA;
    caps.DestBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_INVSRCALPHA;
    caps.ShadeCaps = D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_COLORGOURAUDRGB;
    caps.TextureCaps = D3DPTEXTURECAPS_ALPHA;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
    caps.LineCaps = D3DLINECAPS_BLEND;
    caps.MaxTextureWidth = 256;
    caps.MaxTextureHeight = 256;
    caps.FVFCaps = 1;
    caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_MODULATE;
    caps.MaxTextureBlendStages = 1;
    caps.MaxSimultaneousTextures = 1;
    caps.MaxPrimitiveCount = 65535;
    caps.MaxVertexIndex = 65534;
    caps.MaxStreams = 1;
    return caps;
}

D3DADAPTER_IDENTIFIER8 identifier(const char* description)
{
    D3DADAPTER_IDENTIFIER8 identifier{};
    std::snprintf(identifier.Description, sizeof identifier.Description, "%s", description);
    return identifier;
}

} // namespace

TEST(EGLD3D8Device, CapsTestNeedsEveryCapability)
{
    EXPECT_TRUE(d3D8CapsAreSufficient(sufficientCaps()));
    const struct
    {
        const char* what;
        std::function<void(D3DCAPS8&)> lack;
    } cases[] = {
        {"windowed rendering", [](D3DCAPS8& caps) { caps.Caps2 = 0; }},
        {"presentation interval one", [](D3DCAPS8& caps) { caps.PresentationIntervals = 0; }},
        {"source blend one", [](D3DCAPS8& caps) { caps.SrcBlendCaps &= ~D3DPBLENDCAPS_ONE; }},
        {"source blend alpha", [](D3DCAPS8& caps) { caps.SrcBlendCaps &= ~D3DPBLENDCAPS_SRCALPHA; }},
        {"destination blend zero", [](D3DCAPS8& caps) { caps.DestBlendCaps &= ~D3DPBLENDCAPS_ZERO; }},
        {"destination blend one", [](D3DCAPS8& caps) { caps.DestBlendCaps &= ~D3DPBLENDCAPS_ONE; }},
        {"destination inverse alpha", [](D3DCAPS8& caps) { caps.DestBlendCaps &= ~D3DPBLENDCAPS_INVSRCALPHA; }},
        {"Gouraud alpha", [](D3DCAPS8& caps) { caps.ShadeCaps &= ~D3DPSHADECAPS_ALPHAGOURAUDBLEND; }},
        {"Gouraud colour", [](D3DCAPS8& caps) { caps.ShadeCaps &= ~D3DPSHADECAPS_COLORGOURAUDRGB; }},
        {"texture alpha", [](D3DCAPS8& caps) { caps.TextureCaps = 0; }},
        {"point minification", [](D3DCAPS8& caps) { caps.TextureFilterCaps &= ~D3DPTFILTERCAPS_MINFPOINT; }},
        {"point magnification", [](D3DCAPS8& caps) { caps.TextureFilterCaps &= ~D3DPTFILTERCAPS_MAGFPOINT; }},
        {"wrap addressing", [](D3DCAPS8& caps) { caps.TextureAddressCaps = 0; }},
        {"blended lines", [](D3DCAPS8& caps) { caps.LineCaps = 0; }},
        {"texture width 256", [](D3DCAPS8& caps) { caps.MaxTextureWidth = 255; }},
        {"texture height 256", [](D3DCAPS8& caps) { caps.MaxTextureHeight = 255; }},
        {"a texture coordinate set", [](D3DCAPS8& caps) { caps.FVFCaps = 0x00010000; }},
        {"disable operation", [](D3DCAPS8& caps) { caps.TextureOpCaps &= ~D3DTEXOPCAPS_DISABLE; }},
        {"modulate operation", [](D3DCAPS8& caps) { caps.TextureOpCaps &= ~D3DTEXOPCAPS_MODULATE; }},
        {"a blend stage", [](D3DCAPS8& caps) { caps.MaxTextureBlendStages = 0; }},
        {"a simultaneous texture", [](D3DCAPS8& caps) { caps.MaxSimultaneousTextures = 0; }},
        {"65535 primitives", [](D3DCAPS8& caps) { caps.MaxPrimitiveCount = 65534; }},
        {"vertex index 65534", [](D3DCAPS8& caps) { caps.MaxVertexIndex = 65533; }},
        {"a stream", [](D3DCAPS8& caps) { caps.MaxStreams = 0; }},
    };
    for (const auto& testCase : cases)
    {
        D3DCAPS8 caps = sufficientCaps();
        testCase.lack(caps);
        EXPECT_FALSE(d3D8CapsAreSufficient(caps)) << "without " << testCase.what;
    }
}

TEST(EGLD3D8Device, QueriesReportTheEnumeratedValues)
{
    const D3DDISPLAYMODE mode{800, 600, 75, D3DFMT_X8R8G8B8};
    const EGLD3D8Device device(nullptr, 1, identifier("Second adapter"), D3DDEVTYPE_REF, mode, D3DFMT_A8R8G8B8, FALSE,
                               D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(device.format(), EGL::A8R8G8B8_FORMAT);
    EXPECT_EQ(device.width(), 800);
    EXPECT_EQ(device.height(), 600);
    EXPECT_EQ(device.refreshRate(), 75);
    EXPECT_FALSE(device.isPrimary());
    EXPECT_EQ(device.description(), "Second adapter");
    EXPECT_EQ(device.target(), EGL::FULL_SCREEN_TARGET);
    EXPECT_EQ(device.type(), EGL::REFERENCE_DEVICE);
}

TEST(EGLD3D8Device, UnknownFormatOrTypeThrows)
{
    const D3DDISPLAYMODE mode{640, 480, 60, D3DFMT_X8R8G8B8};
    const EGLD3D8Device device(nullptr, 0, identifier("A"), 3, mode, D3DFMT_R5G6B5, TRUE, D3DSWAPEFFECT_COPY_VSYNC);
    EXPECT_TRUE(device.isPrimary());
    EXPECT_EQ(device.target(), EGL::WINDOW_TARGET);
    EXPECT_EQ(thrownBy([&] { device.format(); }), "Error: Unknown backbuffer format.");
    EXPECT_EQ(thrownBy([&] { device.type(); }), "Error: Unknoen device type.");
    EXPECT_EQ(thrownBy([&] { EGLD3D8Device copy(device); }), "Error: Value semantics not implemented.");
}

// The enumeration over the host's adapter: its desktop mode plus the 4:3 modes, all X8R8G8B8.
class EGLD3D8Enumeration : public testing::Test
{
protected:
    void SetUp() override { mWrapper->createD3D(); }
    void TearDown() override
    {
        for (EGLD3D8Device* device : mDevices)
            delete device;
        mWrapper->releaseD3D();
    }

    HWND mWindow = testWindow();
    std::unique_ptr<EGLD3D8Wrapper> mWrapper = std::make_unique<EGLD3D8Wrapper>(&mWindow);
    const char mKeys[3] = {};
    std::set<EGLD3D8Device*> mDevices;
};

TEST_F(EGLD3D8Enumeration, WindowedDevicesRunInTheDesktopModeAndFullScreenDevicesInEveryMode)
{
    mDevices = enumerateD3D8Devices(mWrapper.get(), &mKeys[0], &mKeys[1], &mKeys[2]);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(mWrapper->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    const UINT modeCount = mWrapper->GetAdapterModeCount(0);

    int windowed = 0;
    int fullScreen = 0;
    for (const EGLD3D8Device* device : mDevices)
    {
        EXPECT_TRUE(device->isChangeKey(&mKeys[0]));
        EXPECT_TRUE(device->isResourceKey(&mKeys[1]));
        EXPECT_TRUE(device->isSwitchKey(&mKeys[2]));
        EXPECT_TRUE(device->isPrimary());
        if (EGL::WINDOW_TARGET == device->target())
        {
            ++windowed;
            EXPECT_EQ(device->width(), static_cast<std::int32_t>(desktop.Width));
            EXPECT_EQ(device->height(), static_cast<std::int32_t>(desktop.Height));
            EXPECT_EQ(device->refreshRate(), static_cast<std::int32_t>(desktop.RefreshRate));
        }
        else
            ++fullScreen;
    }
    // Each X8R8G8B8 mode gives an X8R8G8B8 and an A8R8G8B8 back buffer; only the desktop's mode a window too.
    EXPECT_EQ(windowed, 2);
    EXPECT_EQ(fullScreen, 2 * static_cast<int>(modeCount));
}

TEST_F(EGLD3D8Enumeration, DeviceSwitchNeedsTheSwitchKey)
{
    mDevices = enumerateD3D8Devices(mWrapper.get(), &mKeys[0], &mKeys[1], &mKeys[2]);
    ASSERT_FALSE(mDevices.empty());
    EGLD3D8Device* device = *mDevices.begin();
    EXPECT_EQ(thrownBy([&] { device->switchOn(&mKeys[0]); }), "Assertion failure: isSwitchKey(switchKey)");
    EXPECT_FALSE(mWrapper->d3DDeviceIsOpen());
}
