#include "egl/egld3d8device.h"

#include "egl/egld3d8keys.h"
#include "foundation/dbg.h"

#include <cstdint>
#include <cstring>
#include <new>

EGLD3D8Device::EGLD3D8Device(EGLD3D8Wrapper* wrapper, UINT adapter, const D3DADAPTER_IDENTIFIER8& adapterIdentifier,
                             D3DDEVTYPE deviceType, const D3DDISPLAYMODE& displayMode, D3DFORMAT backBufferFormat,
                             BOOL windowed, D3DSWAPEFFECT swapEffect)
    : mWrapper(wrapper), mAdapter(adapter), mAdapterIdentifier(adapterIdentifier), mDeviceType(deviceType),
      mDisplayMode(displayMode), mBackBufferFormat(backBufferFormat), mWindowed(windowed), mSwapEffect(swapEffect)
{
}

EGLD3D8Device::~EGLD3D8Device() noexcept(false) = default;

EGLD3D8Device::EGLD3D8Device(const EGLD3D8Device&) : EGLDevice()
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8Device& EGLD3D8Device::operator=(const EGLD3D8Device&)
{
    DBG_ERROR("Value semantics not implemented.");
}

std::int32_t EGLD3D8Device::format() const
{
    switch (mBackBufferFormat)
    {
    case D3DFMT_X8R8G8B8:
        return 1;
    case D3DFMT_A8R8G8B8:
        return 2;
    default:
        DBG_ERROR("Unknown backbuffer format.");
    }
}

std::int32_t EGLD3D8Device::height() const
{
    return static_cast<std::int32_t>(mDisplayMode.Height);
}

bool EGLD3D8Device::isPrimary() const
{
    return 0 == mAdapter;
}

std::string EGLD3D8Device::description() const
{
    const char* text = mAdapterIdentifier.Description;
    return std::string(text, strnlen(text, sizeof mAdapterIdentifier.Description));
}

std::int32_t EGLD3D8Device::refreshRate() const
{
    return static_cast<std::int32_t>(mDisplayMode.RefreshRate);
}

std::int32_t EGLD3D8Device::target() const
{
    return mWindowed ? 1 : 2;
}

std::int32_t EGLD3D8Device::type() const
{
    switch (mDeviceType)
    {
    case D3DDEVTYPE_HAL:
        return 1;
    case D3DDEVTYPE_REF:
        return 2;
    default:
        DBG_ERROR("Unknoen device type.");
    }
}

std::int32_t EGLD3D8Device::width() const
{
    return static_cast<std::int32_t>(mDisplayMode.Width);
}

void EGLD3D8Device::switchOn(EGLKey switchKey)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!isChanging());
    DBG_ASSERT(isSwitchKey(switchKey));
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = mWindowed ? 0 : mDisplayMode.Width;
    parameters.BackBufferHeight = mWindowed ? 0 : mDisplayMode.Height;
    parameters.BackBufferFormat = mBackBufferFormat;
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = mSwapEffect;
    parameters.hDeviceWindow = mWrapper->windowHandle();
    parameters.Windowed = mWindowed ? TRUE : FALSE;
    parameters.EnableAutoDepthStencil = FALSE;
    parameters.AutoDepthStencilFormat = 0;
    parameters.Flags = 0;
    parameters.FullScreen_RefreshRateInHz = mWindowed ? 0 : mDisplayMode.RefreshRate;
    parameters.FullScreen_PresentationInterval = mWindowed ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_ONE;
    mWrapper->createD3DDevice(mAdapter, mDeviceType, mWrapper->windowHandle(), D3DCREATE_HARDWARE_VERTEXPROCESSING,
                              &parameters);
    DBG_ASSERT(invariant());
}

void EGLD3D8Device::switchOff(EGLKey switchKey)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!isChanging());
    DBG_ASSERT(isSwitchKey(switchKey));
    mWrapper->releaseD3DDevice();
    DBG_ASSERT(invariant());
}

bool EGLD3D8Device::invariant() const
{
    return changeCountIsValid();
}

bool d3D8CapsAreSufficient(const D3DCAPS8& caps)
{
    const auto has = [](DWORD bits, DWORD wanted) { return wanted == (bits & wanted); };
    return has(caps.Caps2, D3DCAPS2_CANRENDERWINDOWED) && has(caps.PresentationIntervals, D3DPRESENT_INTERVAL_ONE) &&
           has(caps.SrcBlendCaps, D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA) &&
           has(caps.DestBlendCaps, D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_INVSRCALPHA) &&
           has(caps.ShadeCaps, D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_COLORGOURAUDRGB) &&
           has(caps.TextureCaps, D3DPTEXTURECAPS_ALPHA) &&
           has(caps.TextureFilterCaps, D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT) &&
           has(caps.TextureAddressCaps, D3DPTADDRESSCAPS_WRAP) && has(caps.LineCaps, D3DLINECAPS_BLEND) &&
           caps.MaxTextureWidth >= 256u && caps.MaxTextureHeight >= 256u &&
           (caps.FVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK) >= 1u &&
           has(caps.TextureOpCaps, D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_MODULATE) && caps.MaxTextureBlendStages >= 1u &&
           caps.MaxSimultaneousTextures >= 1u && caps.MaxPrimitiveCount >= 65535u && caps.MaxVertexIndex >= 65534u &&
           caps.MaxStreams >= 1u;
}

namespace
{

bool sameMode(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b)
{
    return a.Width == b.Width && a.Height == b.Height && a.RefreshRate == b.RefreshRate && a.Format == b.Format;
}

// The devices of one adapter and device type whose capabilities passed.
void enumerateModes(EGLD3D8Wrapper* wrapper, UINT adapter, const D3DADAPTER_IDENTIFIER8& identifier,
                    const D3DDISPLAYMODE& desktopMode, D3DDEVTYPE deviceType, D3DSWAPEFFECT swapEffect,
                    EGLKey changeKey, EGLKey resourceKey, EGLKey switchKey, std::set<EGLD3D8Device*>& devices)
{
    // Display format, then back-buffer format: both pairs need an X8R8G8B8 display.
    constexpr D3DFORMAT FORMAT_PAIRS[2][2] = {{D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8}, {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}};
    const UINT modeCount = wrapper->GetAdapterModeCount(adapter);
    for (UINT modeIndex = 0; modeIndex < modeCount; ++modeIndex)
    {
        D3DDISPLAYMODE mode{};
        HRESULT result = wrapper->EnumAdapterModes(adapter, modeIndex, &mode);
        DBG_ASSERT("Display mode retrieved successfully." && (D3D_OK == result));
        for (const auto& [displayFormat, backBufferFormat] : FORMAT_PAIRS)
        {
            if (mode.Format != displayFormat)
                continue;
            for (const BOOL windowed : {TRUE, FALSE})
            {
                if (D3DDEVTYPE_HAL == deviceType)
                {
                    result = wrapper->CheckDeviceType(adapter, deviceType, displayFormat, backBufferFormat, windowed);
                    if (D3DERR_NOTAVAILABLE == result)
                        continue;
                    DBG_CHECK(D3D_OK == result, "Device type check failed.");
                }
                if (windowed && !sameMode(mode, desktopMode))
                    continue;
                EGLD3D8Device* device = new (std::nothrow) EGLD3D8Device(wrapper, adapter, identifier, deviceType, mode,
                                                                         backBufferFormat, windowed, swapEffect);
                DBG_ASSERT("EGLD3D8Device created successfully." && device);
                giveLibraryKeys(*device, changeKey, resourceKey, switchKey);
                devices.insert(device);
            }
        }
    }
}

} // namespace

std::set<EGLD3D8Device*> enumerateD3D8Devices(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey,
                                              EGLKey switchKey)
{
    std::set<EGLD3D8Device*> devices;
    try
    {
        const UINT adapterCount = wrapper->GetAdapterCount();
        for (UINT adapter = 0; adapter < adapterCount; ++adapter)
        {
            D3DDISPLAYMODE desktopMode{};
            HRESULT result = wrapper->GetAdapterDisplayMode(adapter, &desktopMode);
            DBG_ASSERT("Adapter mode retrieved successfully." && (D3D_OK == result));
            D3DADAPTER_IDENTIFIER8 identifier{};
            result = wrapper->GetAdapterIdentifier(adapter, 0, &identifier);
            DBG_ASSERT("Adapter identifier retrieved successfully." && (D3D_OK == result));
            for (const D3DDEVTYPE deviceType : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF})
            {
                D3DCAPS8 caps{};
                result = wrapper->GetDeviceCaps(adapter, deviceType, &caps);
                DBG_ASSERT("Device capacities retrieved successfully." && (D3D_OK == result));
                const D3DSWAPEFFECT swapEffect = (caps.Caps3 & D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD)
                                                     ? D3DSWAPEFFECT_DISCARD
                                                     : D3DSWAPEFFECT_COPY_VSYNC;
                if (d3D8CapsAreSufficient(caps))
                    enumerateModes(wrapper, adapter, identifier, desktopMode, deviceType, swapEffect, changeKey,
                                   resourceKey, switchKey, devices);
            }
        }
    }
    catch (...)
    {
        // A failed query ends the enumeration; the devices found so far must not leak.
        for (EGLD3D8Device* device : devices)
            delete device;
        throw;
    }
    return devices;
}
