#pragma once
// The single gate between the graphics library and Direct3D 8, and the view-transform matrix stack.
//
// Every Direct3D and D3DX call of the graphics library goes through EGLD3D8Wrapper. The calls that create or
// release Direct3D objects and the adapter queries are checked; the per-frame calls forward and return the
// Direct3D result unexamined, so their callers decide which results matter.
//
// Depends on: foundation/dbg.h (checks), host/d3d8.h and host/d3dx8.h (our Direct3D 8 and D3DX8 stand-in).

#include "host/d3d8.h"
#include "host/d3dx8.h"

#include <cstdint>

/// A D3DX matrix stack whose top is the view transform; the depth counts pushes minus pops.
class EGLD3D8MatrixStack
{
public:
    /// Creates the D3DX stack with the identity on top; depth 0.
    EGLD3D8MatrixStack();
    /// Releases the D3DX stack, which must then have no references left; depth -1.
    virtual ~EGLD3D8MatrixStack() noexcept(false);
    /// Not supported: throws the Error "Value sematics not implemented.".
    EGLD3D8MatrixStack(const EGLD3D8MatrixStack& other);
    /// Not supported: throws the Error "Value sematics not implemented.".
    EGLD3D8MatrixStack& operator=(const EGLD3D8MatrixStack& other);

    /// Pushes a copy of the top and multiplies the matrix onto it: new top = old top x matrix.
    void push(const D3DXMATRIX& matrix);
    /// Drops the top.
    void pop();
    /// Sets the top as the device's D3DTS_VIEW transform.
    void applyViewMatrix(IDirect3DDevice8* device);
    /// True when every push has been popped.
    bool isEmpty() const;

private:
    ID3DXMatrixStack* mMatrixStack;
    std::int32_t mDepth;
};

/// Owns the IDirect3D8 object, the IDirect3DDevice8, the view matrix stack and the window handle.
class EGLD3D8Wrapper
{
public:
    /// Copies the handle the pointer points at; the pointer must be set and the handle not null.
    explicit EGLD3D8Wrapper(const HWND* windowHandle);
    /// Requires the device and the Direct3D object released.
    ~EGLD3D8Wrapper() noexcept(false);
    /// Not supported: throws the Error "EGLD3D8Wrapper value semantics not implemented.".
    EGLD3D8Wrapper(const EGLD3D8Wrapper& other);
    /// Not supported: throws the Error "EGLD3D8Wrapper value semantics not implemented.".
    EGLD3D8Wrapper& operator=(const EGLD3D8Wrapper& other);

    /// Creates the Direct3D object; there must be none.
    void createD3D();
    /// Creates the device; retries once, then falls back to software vertex processing. Must succeed.
    void createD3DDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* pPresentationParameters);
    /// Creates a texture on the device; the size must be square powers of two. Returns the Direct3D result.
    HRESULT createD3DTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                             IDirect3DTexture8** ppTexture);
    /// Releases the Direct3D object; the device must be released first.
    void releaseD3D();
    /// Releases the device.
    void releaseD3DDevice();
    /// Releases one reference of a texture of the open device.
    void releaseTexture(IDirect3DTexture8* texture);

    /// Number of adapters; at least one.
    UINT GetAdapterCount() const;
    /// The adapter's driver and description into *pIdentifier.
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* pIdentifier);
    /// What a device type of the adapter can do, into *pCaps.
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* pCaps);
    /// The adapter's display mode of that index into *pMode.
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* pMode);
    /// The desktop's display mode of the adapter into *pMode.
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode);
    /// Number of display modes of the adapter.
    UINT GetAdapterModeCount(UINT adapter);
    /// D3D_OK when the device type runs with those formats; D3DERR_NOTAVAILABLE when it does not.
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed);
    /// Whether a resource format is usable on the adapter.
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat);
    /// Whether the device is usable: D3D_OK, D3DERR_DEVICELOST or D3DERR_DEVICENOTRESET.
    HRESULT TestCooperativeLevel();
    /// Shows the back buffer; the library passes four nulls (the whole buffer to the window).
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion);
    /// Multiplies the matrix onto the view stack and sets the new top as the view transform.
    void pushMatrix(const D3DXMATRIX& matrix);
    /// Pops the view stack and sets the new top as the view transform.
    void popMatrix();

    // Thin forwarders to the device: no checks, the Direct3D result is returned as it is.
    /// Begins and ends a scene on the device.
    HRESULT BeginScene();
    HRESULT EndScene();
    /// Fills the rectangles (count 0: the whole target) with the colour.
    HRESULT Clear(DWORD count, const D3DRECT* pRects, DWORD flags, D3DCOLOR color, float z, DWORD stencil);
    /// A vertex buffer of length bytes; the caller owns it.
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer);
    /// An index buffer of length bytes; the caller owns it.
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer);
    /// Binds the index buffer (null: none).
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT baseVertexIndex);
    /// Sets the material.
    HRESULT SetMaterial(const D3DMATERIAL8* pMaterial);
    /// Sets one render state.
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    /// Binds the vertex buffer of stride bytes per vertex to a stream (null: none).
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* pStreamData, UINT stride);
    /// Binds the texture to a stage (null: none).
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* pTexture);
    /// Sets one state of a texture stage.
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    /// Sets the view or projection matrix.
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix);
    /// The library passes a flexible vertex format code as the shader handle.
    HRESULT SetVertexShader(DWORD handle);
    /// Copies one texture's texels into another of the same size.
    HRESULT UpdateTexture(IDirect3DBaseTexture8* pSourceTexture, IDirect3DBaseTexture8* pDestinationTexture);
    /// Releases a vertex buffer; returns what Release returns.
    ULONG releaseVertexBuffer(IDirect3DVertexBuffer8* buffer);
    /// Releases an index buffer; returns what Release returns.
    ULONG releaseIndexBuffer(IDirect3DIndexBuffer8* buffer);
    /// Sets the view transform from the stack top, then draws with the current primitive type.
    HRESULT DrawPrimitive(UINT startVertex, UINT primitiveCount);
    /// Sets the view transform from the stack top, then draws indexed with the current primitive type.
    HRESULT DrawIndexedPrimitive(UINT minIndex, UINT numVertices, UINT startIndex, UINT primitiveCount);

    /// Stores the primitive type the draw calls use.
    void setD3DPrimitiveType(D3DPRIMITIVETYPE primitiveType);
    /// Primitives that a vertex or index count makes with the current primitive type.
    std::int32_t primitiveCount(std::int32_t vertexCount) const;
    /// The window the library draws into; never null.
    HWND windowHandle() const;
    bool d3DIsOpen() const;
    bool d3DDeviceIsOpen() const;
    /// The window handle is set, and a device exists only with the Direct3D object.
    bool invariant() const;

private:
    // Square, with sides a non-zero power of two.
    static bool isValidTextureSize(UINT width, UINT height);

    IDirect3D8* mD3D;
    IDirect3DDevice8* mD3DDevice;
    EGLD3D8MatrixStack mMatrixStack;
    D3DPRIMITIVETYPE mD3DPrimitiveType;
    HWND mWindowHandle;
};
