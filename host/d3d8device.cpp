// The software Direct3D device.

#include "host/d3d8device.h"

HRESULT createD3D8Device(IDirect3D8*, HWND, const D3DPRESENT_PARAMETERS&, const D3DDISPLAYMODE&,
                         IDirect3DDevice8** device)
{
    *device = nullptr;
    return D3DERR_NOTAVAILABLE;
}
