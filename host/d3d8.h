#pragma once
// Our stand-in for the part of Direct3D 8 the program is written against: one adapter, a software device that
// draws the fixed-function subset the program uses (untransformed coloured and textured vertices, point, line and
// triangle lists, strips and fans, stage-0 modulate, alpha and additive blending) and shows its back buffer in the
// window's SDL window at Present.
//
// Interfaces are C++ classes with pure virtual methods over IUnknown; AddRef and Release keep honest counts.
// The result codes are negative HRESULTs in the Direct3D facility; D3D_OK is 0.

#include "host/com.h"
#include "host/win32.h"

// ---- Basic types ----

using D3DCOLOR = DWORD; // 0xAARRGGBB

struct D3DCOLORVALUE
{
    float r;
    float g;
    float b;
    float a;
};

struct D3DRECT
{
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DMATRIX
{
    union
    {
        struct
        {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

struct D3DMATERIAL8
{
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DLOCKED_RECT
{
    INT Pitch; // bytes from one row to the next
    void* pBits;
};

// A region of the window; Present accepts only null for it.
struct RGNDATA;

// ---- Enumerations ----

using D3DFORMAT = DWORD;
constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_INDEX16 = 101;

using D3DDEVTYPE = DWORD;
constexpr D3DDEVTYPE D3DDEVTYPE_HAL = 1;
constexpr D3DDEVTYPE D3DDEVTYPE_REF = 2;

using D3DPOOL = DWORD;
constexpr D3DPOOL D3DPOOL_DEFAULT = 0;
constexpr D3DPOOL D3DPOOL_MANAGED = 1;
constexpr D3DPOOL D3DPOOL_SYSTEMMEM = 2;

using D3DRESOURCETYPE = DWORD;
constexpr D3DRESOURCETYPE D3DRTYPE_SURFACE = 1;
constexpr D3DRESOURCETYPE D3DRTYPE_TEXTURE = 3;
constexpr D3DRESOURCETYPE D3DRTYPE_VERTEXBUFFER = 6;
constexpr D3DRESOURCETYPE D3DRTYPE_INDEXBUFFER = 7;

using D3DSWAPEFFECT = DWORD;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_DISCARD = 1;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_FLIP = 2;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_COPY = 3;
constexpr D3DSWAPEFFECT D3DSWAPEFFECT_COPY_VSYNC = 4;

using D3DMULTISAMPLE_TYPE = DWORD;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_NONE = 0;

using D3DPRIMITIVETYPE = DWORD;
constexpr D3DPRIMITIVETYPE D3DPT_POINTLIST = 1;
constexpr D3DPRIMITIVETYPE D3DPT_LINELIST = 2;
constexpr D3DPRIMITIVETYPE D3DPT_LINESTRIP = 3;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLELIST = 4;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLESTRIP = 5;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLEFAN = 6;

using D3DTRANSFORMSTATETYPE = DWORD;
constexpr D3DTRANSFORMSTATETYPE D3DTS_VIEW = 2;
constexpr D3DTRANSFORMSTATETYPE D3DTS_PROJECTION = 3;
constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLD = 256;

using D3DRENDERSTATETYPE = DWORD;
constexpr D3DRENDERSTATETYPE D3DRS_SHADEMODE = 9;
constexpr D3DRENDERSTATETYPE D3DRS_SRCBLEND = 19;
constexpr D3DRENDERSTATETYPE D3DRS_DESTBLEND = 20;
constexpr D3DRENDERSTATETYPE D3DRS_CULLMODE = 22;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHABLENDENABLE = 27;
constexpr D3DRENDERSTATETYPE D3DRS_LIGHTING = 137;
constexpr D3DRENDERSTATETYPE D3DRS_COLORVERTEX = 141;
constexpr D3DRENDERSTATETYPE D3DRS_BLENDOP = 171;

using D3DSHADEMODE = DWORD;
constexpr D3DSHADEMODE D3DSHADE_FLAT = 1;
constexpr D3DSHADEMODE D3DSHADE_GOURAUD = 2;

using D3DCULL = DWORD;
constexpr D3DCULL D3DCULL_NONE = 1;
constexpr D3DCULL D3DCULL_CW = 2;
constexpr D3DCULL D3DCULL_CCW = 3;

using D3DBLEND = DWORD;
constexpr D3DBLEND D3DBLEND_ZERO = 1;
constexpr D3DBLEND D3DBLEND_ONE = 2;
constexpr D3DBLEND D3DBLEND_SRCALPHA = 5;
constexpr D3DBLEND D3DBLEND_INVSRCALPHA = 6;

using D3DBLENDOP = DWORD;
constexpr D3DBLENDOP D3DBLENDOP_ADD = 1;

using D3DTEXTURESTAGESTATETYPE = DWORD;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLOROP = 1;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG1 = 2;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG2 = 3;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAOP = 4;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG1 = 5;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG2 = 6;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSU = 13;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSV = 14;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MAGFILTER = 16;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MINFILTER = 17;

// Texture stage arguments, operations, filters and addressing modes.
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTOP_DISABLE = 1;
constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;
constexpr DWORD D3DTEXF_POINT = 1;
constexpr DWORD D3DTADDRESS_WRAP = 1;

// ---- Flags ----

// Flexible vertex format codes: position, then the diffuse colour, then texture coordinate pairs.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 1;

constexpr UINT D3DADAPTER_DEFAULT = 0;
constexpr UINT D3D_SDK_VERSION = 220;

// ---- Capabilities ----

constexpr DWORD D3DCAPS2_CANRENDERWINDOWED = 0x00080000;
constexpr DWORD D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD = 0x00000020;
constexpr DWORD D3DPBLENDCAPS_ZERO = 0x01;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x02;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x10;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x20;
constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x00000008;
constexpr DWORD D3DPSHADECAPS_ALPHAGOURAUDBLEND = 0x00004000;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x02;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x04;
constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x20;
constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x00000100;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x01000000;
constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x01;
constexpr DWORD D3DLINECAPS_BLEND = 0x04;
constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x01;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x08;
constexpr DWORD D3DFVFCAPS_TEXCOORDCOUNTMASK = 0x0000FFFF;

struct D3DCAPS8
{
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD Caps2;
    DWORD Caps3;
    DWORD PresentationIntervals;
    DWORD SrcBlendCaps;
    DWORD DestBlendCaps;
    DWORD ShadeCaps;
    DWORD TextureCaps;
    DWORD TextureFilterCaps;
    DWORD TextureAddressCaps;
    DWORD LineCaps;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD FVFCaps; // low 16 bits: the number of texture coordinate sets
    DWORD TextureOpCaps;
    DWORD MaxTextureBlendStages;
    DWORD MaxSimultaneousTextures;
    DWORD MaxPrimitiveCount;
    DWORD MaxVertexIndex;
    DWORD MaxStreams;
};

// ---- Adapter, modes and presentation ----

constexpr UINT MAX_DEVICE_IDENTIFIER_STRING = 512;

struct D3DADAPTER_IDENTIFIER8
{
    char Driver[MAX_DEVICE_IDENTIFIER_STRING];
    char Description[MAX_DEVICE_IDENTIFIER_STRING]; // zero-terminated
    DWORD VendorId;
    DWORD DeviceId;
};

struct D3DDISPLAYMODE
{
    UINT Width;       // pixels
    UINT Height;      // pixels
    UINT RefreshRate; // Hz; 0 is the adapter's default
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth; // 0 in a window: the client area's width
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT FullScreen_PresentationInterval;
};

// ---- Result codes ----

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT makeD3DResult(DWORD code)
{
    return static_cast<HRESULT>(0x88760000u | code);
}
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = makeD3DResult(2072);
constexpr HRESULT D3DERR_DEVICELOST = makeD3DResult(2152);
constexpr HRESULT D3DERR_DEVICENOTRESET = makeD3DResult(2153);
constexpr HRESULT D3DERR_NOTAVAILABLE = makeD3DResult(2154);
constexpr HRESULT D3DERR_INVALIDDEVICE = makeD3DResult(2155);
constexpr HRESULT D3DERR_INVALIDCALL = makeD3DResult(2156);

// ---- Interfaces ----

class IDirect3DDevice8;

/// A texture that stage 0 can sample.
class IDirect3DBaseTexture8 : public IUnknown
{
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8
{
public:
    /// Maps a level's texels (D3DFMT_A8R8G8B8, top row first) for writing; the whole level when rect is null.
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) = 0;
    /// Ends the lock; the next draw samples what was written.
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DVertexBuffer8 : public IUnknown
{
public:
    /// Maps sizeToLock bytes from offsetToLock (0 and 0: the whole buffer) into *data.
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DIndexBuffer8 : public IUnknown
{
public:
    /// Maps sizeToLock bytes from offsetToLock (0 and 0: the whole buffer) into *data.
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DDevice8 : public IUnknown
{
public:
    /// D3D_OK while usable; D3DERR_DEVICELOST while a full-screen device's window is minimised or unfocused;
    /// D3DERR_DEVICENOTRESET once it is back (the device stays lost until released and created anew).
    virtual HRESULT TestCooperativeLevel() = 0;
    /// Shows the whole back buffer in the device window (all four arguments must be null), scaled to fit with
    /// black bars, then waits for the next refresh (the test seam's virtual clock just advances by one refresh
    /// period); D3DERR_DEVICELOST, showing nothing, while the device is lost; E_FAIL when the window could not
    /// show the frame (the first time, the device says why on stderr).
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    /// Fills the back buffer (count 0 and null rects) or the given rectangles with colour; only D3DCLEAR_TARGET.
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    /// Binds texture to stage 0 (null: draw with the diffuse colour alone); the device holds a reference.
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
    /// Binds vertices of stride bytes to stream 0; the device holds a reference.
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) = 0;
    /// Binds 16-bit indices; the device holds a reference.
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) = 0;
    /// Sets the vertex format: D3DFVF_XYZ | D3DFVF_DIFFUSE, optionally | D3DFVF_TEX1.
    virtual HRESULT SetVertexShader(DWORD handle) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                         UINT primitiveCount) = 0;
    /// A D3DFMT_A8R8G8B8 texture with one level; the caller owns the reference. D3DERR_INVALIDCALL for a side
    /// of 0, above the caps' maximum or not a power of two, another format or more levels.
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture8** texture) = 0;
    /// A buffer of length bytes; the caller owns the reference. D3DERR_INVALIDCALL for length 0.
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** vertexBuffer) = 0;
    /// A buffer of length bytes of D3DFMT_INDEX16 indices; the caller owns the reference.
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** indexBuffer) = 0;
    /// Copies the texels of one texture into another of the same size.
    virtual HRESULT UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destTexture) = 0;
};

class IDirect3D8 : public IUnknown
{
public:
    virtual UINT GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT adapter) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    /// The desktop's mode.
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) = 0;
    /// D3D_OK when a device of that type can run with those formats; D3DERR_NOTAVAILABLE otherwise.
    virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    /// A device drawing into focusWindow's SDL window; the caller owns the reference.
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* presentationParameters,
                                 IDirect3DDevice8** returnedDeviceInterface) = 0;
};

using LPDIRECT3D8 = IDirect3D8*;
using LPDIRECT3DDEVICE8 = IDirect3DDevice8*;
using LPDIRECT3DBASETEXTURE8 = IDirect3DBaseTexture8*;
using LPDIRECT3DTEXTURE8 = IDirect3DTexture8*;
using LPDIRECT3DVERTEXBUFFER8 = IDirect3DVertexBuffer8*;
using LPDIRECT3DINDEXBUFFER8 = IDirect3DIndexBuffer8*;

/// The Direct3D object, or null when sdkVersion is not D3D_SDK_VERSION; the caller owns the reference.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
