#pragma once
// The software Direct3D device inside the host layer: created by IDirect3D8::CreateDevice.

#include "host/d3d8.h"

/// The largest texture side the device accepts, in texels.
constexpr UINT D3D8_MAX_TEXTURE_SIDE = 4096;

/// Creates a device for window (its back buffer sized by parameters, or by the window's client area when
/// windowed with zero sizes) into *device; the device holds a reference to direct3D. The caller owns the device.
HRESULT createD3D8Device(IDirect3D8* direct3D, HWND window, const D3DPRESENT_PARAMETERS& parameters,
                         const D3DDISPLAYMODE& desktop, IDirect3DDevice8** device);
