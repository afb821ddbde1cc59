// The Direct3D object: one adapter, its display modes and capabilities, and the factory of software devices.
// The desktop's mode comes from SDL's video subsystem, started by the first Direct3DCreate8.

#include "host/d3d8.h"

#include "host/comobject.h"
#include "host/d3d8device.h"
#include "host/hostwin32.h"

#include <SDL.h>

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace
{

constexpr UINT DEFAULT_REFRESH_RATE = 60; // Hz, when SDL reports none

// The 4:3 modes offered besides the desktop's own; a full-screen device shows them scaled to fit the display.
constexpr std::array<std::array<UINT, 2>, 3> FIXED_MODES = {{{640, 480}, {800, 600}, {1024, 768}}};

D3DDISPLAYMODE desktopMode()
{
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
    {
        mode.w = 1024;
        mode.h = 768;
        mode.refresh_rate = 0;
    }
    const UINT rate = mode.refresh_rate > 0 ? static_cast<UINT>(mode.refresh_rate) : DEFAULT_REFRESH_RATE;
    return {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), rate, D3DFMT_X8R8G8B8};
}

// Everything the software device draws, reported as the capabilities of the hardware device type.
D3DCAPS8 halCaps()
{
    D3DCAPS8 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.Caps3 = D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
    caps.SrcBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA;
    caps.DestBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_INVSRCALPHA;
    caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    caps.TextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_POW2;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
    caps.LineCaps = D3DLINECAPS_BLEND;
    caps.MaxTextureWidth = D3D8_MAX_TEXTURE_SIDE;
    caps.MaxTextureHeight = D3D8_MAX_TEXTURE_SIDE;
    caps.FVFCaps = 1;
    caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_MODULATE;
    caps.MaxTextureBlendStages = 1;
    caps.MaxSimultaneousTextures = 1;
    caps.MaxPrimitiveCount = 0x00FFFFFF;
    caps.MaxVertexIndex = 0x0000FFFF;
    caps.MaxStreams = 1;
    return caps;
}

class Direct3D final : public HostComObject<IDirect3D8>
{
public:
    UINT GetAdapterCount() override { return 1; }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) override
    {
        if (adapter != 0 || identifier == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        *identifier = {};
        std::strcpy(identifier->Driver, "quillom-software");
        std::strcpy(identifier->Description, "Quillom software rasteriser");
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter) override { return adapter == 0 ? static_cast<UINT>(modes().size()) : 0; }

    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override
    {
        const std::vector<D3DDISPLAYMODE> list = modes();
        if (adapter != 0 || displayMode == nullptr || mode >= list.size())
        {
            return D3DERR_INVALIDCALL;
        }
        *displayMode = list.at(mode);
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override
    {
        if (adapter != 0 || displayMode == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        *displayMode = desktopMode();
        return D3D_OK;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) override
    {
        if (adapter != 0 || caps == nullptr || (deviceType != D3DDEVTYPE_HAL && deviceType != D3DDEVTYPE_REF))
        {
            return D3DERR_INVALIDCALL;
        }
        // The reference type draws nothing here: empty caps let callers skip it.
        *caps = deviceType == D3DDEVTYPE_HAL ? halCaps() : D3DCAPS8{};
        caps->DeviceType = deviceType;
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override
    {
        if (adapter != 0)
        {
            return D3DERR_INVALIDCALL;
        }
        const bool drawable = checkType == D3DDEVTYPE_HAL && displayFormat == D3DFMT_X8R8G8B8 &&
                              (backBufferFormat == D3DFMT_X8R8G8B8 || backBufferFormat == D3DFMT_A8R8G8B8);
        const bool onDesktop = !windowed || displayFormat == desktopMode().Format;
        return drawable && onDesktop ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override
    {
        if (adapter != 0)
        {
            return D3DERR_INVALIDCALL;
        }
        const bool texture = resourceType == D3DRTYPE_TEXTURE && checkFormat == D3DFMT_A8R8G8B8;
        const bool ok = deviceType == D3DDEVTYPE_HAL && adapterFormat == D3DFMT_X8R8G8B8 && texture;
        return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) override
    {
        if (device == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        *device = nullptr;
        const DWORD vertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING;
        if (adapter != 0 || parameters == nullptr || (behaviorFlags & vertexProcessing) == 0)
        {
            return D3DERR_INVALIDCALL;
        }
        if (deviceType != D3DDEVTYPE_HAL)
        {
            return D3DERR_NOTAVAILABLE;
        }
        return createD3D8Device(this, focusWindow, *parameters, desktopMode(), device);
    }

private:
    // The desktop's mode first, then those fixed modes at the desktop's rate that differ from it.
    static std::vector<D3DDISPLAYMODE> modes()
    {
        const D3DDISPLAYMODE desktop = desktopMode();
        std::vector<D3DDISPLAYMODE> list{desktop};
        for (const auto& [width, height] : FIXED_MODES)
        {
            if (width != desktop.Width || height != desktop.Height)
            {
                list.push_back({width, height, desktop.RefreshRate, D3DFMT_X8R8G8B8});
            }
        }
        return list;
    }

    ~Direct3D() override = default;
};

} // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION)
    {
        return nullptr;
    }
    if (!hostStartSDL(SDL_INIT_VIDEO))
    {
        return nullptr;
    }
    return new (std::nothrow) Direct3D;
}
