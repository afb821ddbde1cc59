#pragma once
// Display devices of the Direct3D implementation and their enumeration.
//
// A device is one way the library can draw: an adapter, a Direct3D device type, a display mode, a back-buffer
// format and either the window or the full screen. The library enumerates them when it is built and again at
// every closeDevice; switching a device on creates the Direct3D device, switching it off releases it.
//
// Depends on: egl/egl.h (EGLDevice), egl/egld3d8wrapper.h (every Direct3D call).

#include "egl/egl.h"
#include "egl/egld3d8wrapper.h"

#include <cstdint>
#include <set>
#include <string>

class EGLD3D8Device final : public EGLDevice
{
public:
    /// Keeps the wrapper (not owned) and the device's description as the enumeration found it.
    EGLD3D8Device(EGLD3D8Wrapper* wrapper, UINT adapter, const D3DADAPTER_IDENTIFIER8& adapterIdentifier,
                  D3DDEVTYPE deviceType, const D3DDISPLAYMODE& displayMode, D3DFORMAT backBufferFormat, BOOL windowed,
                  D3DSWAPEFFECT swapEffect);
    ~EGLD3D8Device() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Device(const EGLD3D8Device& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8Device& operator=(const EGLD3D8Device& other);

    /// 1 for an X8R8G8B8 back buffer, 2 for A8R8G8B8.
    std::int32_t format() const override;
    /// Display mode height in pixels.
    std::int32_t height() const override;
    /// True on adapter 0.
    bool isPrimary() const override;
    /// The adapter's description.
    std::string description() const override;
    /// Hz; 0 is the adapter's default.
    std::int32_t refreshRate() const override;
    /// 1 window, 2 full screen.
    std::int32_t target() const override;
    /// 1 hardware (HAL), 2 reference.
    std::int32_t type() const override;
    /// Display mode width in pixels.
    std::int32_t width() const override;

    /// Creates the Direct3D device for this adapter, type, mode and target; only the switch-key holder calls it.
    void switchOn(EGLKey switchKey) override;
    /// Releases the Direct3D device.
    void switchOff(EGLKey switchKey) override;

    /// The change count is valid.
    bool invariant() const;

private:
    EGLD3D8Wrapper* mWrapper;
    UINT mAdapter;
    D3DADAPTER_IDENTIFIER8 mAdapterIdentifier;
    D3DDEVTYPE mDeviceType;
    D3DDISPLAYMODE mDisplayMode;
    D3DFORMAT mBackBufferFormat;
    BOOL mWindowed;
    D3DSWAPEFFECT mSwapEffect;
};

/// True when a device type's capabilities meet everything the library draws with.
bool d3D8CapsAreSufficient(const D3DCAPS8& caps);

/// Every usable device of every adapter, each carrying the three keys; the caller owns the devices.
std::set<EGLD3D8Device*> enumerateD3D8Devices(EGLD3D8Wrapper* wrapper, EGLKey changeKey, EGLKey resourceKey,
                                              EGLKey switchKey);
