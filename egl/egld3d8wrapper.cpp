#include "egl/egld3d8wrapper.h"

#include "foundation/dbg.h"

EGLD3D8MatrixStack::EGLD3D8MatrixStack() : mMatrixStack(nullptr), mDepth(0)
{
    HRESULT result = D3DXCreateMatrixStack(0, &mMatrixStack);
    DBG_ASSERT("Matrix stack created successfully." && (D3D_OK == result));
    result = mMatrixStack->LoadIdentity();
    DBG_ASSERT("Matrix stack top set to identity successfully." && (D3D_OK == result));
}

EGLD3D8MatrixStack::~EGLD3D8MatrixStack() noexcept(false)
{
    const ULONG referenceCount = mMatrixStack->Release();
    mDepth = -1;
    DBG_ASSERT("No references left, matrix stack closed." && (0 == referenceCount));
}

EGLD3D8MatrixStack::EGLD3D8MatrixStack(const EGLD3D8MatrixStack&) : mMatrixStack(nullptr), mDepth(0)
{
    DBG_ERROR("Value sematics not implemented.");
}

EGLD3D8MatrixStack& EGLD3D8MatrixStack::operator=(const EGLD3D8MatrixStack&)
{
    DBG_ERROR("Value sematics not implemented.");
}

void EGLD3D8MatrixStack::push(const D3DXMATRIX& matrix)
{
    mMatrixStack->Push();
    mMatrixStack->MultMatrix(&matrix);
    ++mDepth;
}

void EGLD3D8MatrixStack::pop()
{
    mMatrixStack->Pop();
    --mDepth;
}

void EGLD3D8MatrixStack::applyViewMatrix(IDirect3DDevice8* device)
{
    device->SetTransform(D3DTS_VIEW, mMatrixStack->GetTop());
}

bool EGLD3D8MatrixStack::isEmpty() const
{
    return 0 == mDepth;
}

EGLD3D8Wrapper::EGLD3D8Wrapper(const HWND* windowHandle)
    : mD3D(nullptr), mD3DDevice(nullptr), mD3DPrimitiveType(static_cast<D3DPRIMITIVETYPE>(0)), mWindowHandle(nullptr)
{
    DBG_ASSERT("Valid window handle pointer." && windowHandle);
    mWindowHandle = *windowHandle;
    DBG_ASSERT(invariant());
}

EGLD3D8Wrapper::~EGLD3D8Wrapper() noexcept(false)
{
    DBG_ASSERT(!d3DDeviceIsOpen());
    DBG_ASSERT(!d3DIsOpen());
}

EGLD3D8Wrapper::EGLD3D8Wrapper(const EGLD3D8Wrapper&)
    : mD3D(nullptr), mD3DDevice(nullptr), mD3DPrimitiveType(static_cast<D3DPRIMITIVETYPE>(0)), mWindowHandle(nullptr)
{
    DBG_ERROR("EGLD3D8Wrapper value semantics not implemented.");
}

EGLD3D8Wrapper& EGLD3D8Wrapper::operator=(const EGLD3D8Wrapper&)
{
    DBG_ERROR("EGLD3D8Wrapper value semantics not implemented.");
}

void EGLD3D8Wrapper::createD3D()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!d3DIsOpen());
    mD3D = Direct3DCreate8(D3D_SDK_VERSION);
    DBG_ASSERT("D3D object created successfully." && mD3D);
    DBG_ASSERT(invariant());
}

void EGLD3D8Wrapper::createD3DDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                     D3DPRESENT_PARAMETERS* pPresentationParameters)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    DBG_ASSERT(!d3DDeviceIsOpen());
    DBG_ASSERT(pPresentationParameters);
    // Two tries with the requested flags, then one with software vertex processing.
    HRESULT result =
        mD3D->CreateDevice(adapter, deviceType, focusWindow, behaviorFlags, pPresentationParameters, &mD3DDevice);
    if (D3D_OK != result)
        result =
            mD3D->CreateDevice(adapter, deviceType, focusWindow, behaviorFlags, pPresentationParameters, &mD3DDevice);
    if (D3D_OK != result)
        result = mD3D->CreateDevice(adapter, deviceType, focusWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                    pPresentationParameters, &mD3DDevice);
    if (D3D_OK != result)
        mD3DDevice = nullptr;
    DBG_ASSERT("D3D device created successfully" && (D3D_OK == result));
    DBG_ASSERT(invariant());
}

HRESULT EGLD3D8Wrapper::createD3DTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                         D3DPOOL pool, IDirect3DTexture8** ppTexture)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("D3D Device is open" && d3DDeviceIsOpen());
    DBG_ASSERT("Valid texture size." && isValidTextureSize(width, height));
    DBG_ASSERT("Square texture." && (width == height));
    DBG_ASSERT("Valid texture pointer pointer." && ppTexture);
    const HRESULT result = mD3DDevice->CreateTexture(width, height, levels, usage, format, pool, ppTexture);
    DBG_ASSERT(invariant());
    return result;
}

void EGLD3D8Wrapper::releaseD3D()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!d3DDeviceIsOpen());
    DBG_ASSERT(d3DIsOpen());
    mD3D->Release();
    mD3D = nullptr;
    DBG_ASSERT(invariant());
}

void EGLD3D8Wrapper::releaseD3DDevice()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DDeviceIsOpen());
    mD3DDevice->Release();
    mD3DDevice = nullptr;
    DBG_ASSERT(invariant());
}

void EGLD3D8Wrapper::releaseTexture(IDirect3DTexture8* texture)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("D3D Device is open" && d3DDeviceIsOpen());
    DBG_ASSERT("Valid texture pointer." && texture);
    texture->Release();
    DBG_ASSERT(invariant());
}

UINT EGLD3D8Wrapper::GetAdapterCount() const
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    const UINT adapterCount = mD3D->GetAdapterCount();
    DBG_ASSERT(0 < adapterCount);
    DBG_ASSERT(invariant());
    return adapterCount;
}

HRESULT EGLD3D8Wrapper::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* pIdentifier)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    DBG_ASSERT(pIdentifier);
    const HRESULT result = mD3D->GetAdapterIdentifier(adapter, flags, pIdentifier);
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* pCaps)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    DBG_ASSERT(pCaps);
    const HRESULT result = mD3D->GetDeviceCaps(adapter, deviceType, pCaps);
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* pMode)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    DBG_ASSERT(pMode);
    const HRESULT result = mD3D->EnumAdapterModes(adapter, mode, pMode);
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    const HRESULT result = mD3D->GetAdapterDisplayMode(adapter, pMode);
    DBG_ASSERT(invariant());
    return result;
}

UINT EGLD3D8Wrapper::GetAdapterModeCount(UINT adapter)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    const UINT modeCount = mD3D->GetAdapterModeCount(adapter);
    DBG_ASSERT(invariant());
    return modeCount;
}

HRESULT EGLD3D8Wrapper::CheckDeviceType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT displayFormat,
                                        D3DFORMAT backBufferFormat, BOOL windowed)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    const HRESULT result = mD3D->CheckDeviceType(adapter, deviceType, displayFormat, backBufferFormat, windowed);
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                          D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DIsOpen());
    const HRESULT result =
        mD3D->CheckDeviceFormat(adapter, deviceType, adapterFormat, usage, resourceType, checkFormat);
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::TestCooperativeLevel()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DDeviceIsOpen());
    const HRESULT result = mD3DDevice->TestCooperativeLevel();
    DBG_ASSERT(invariant());
    return result;
}

HRESULT EGLD3D8Wrapper::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                                const RGNDATA* pDirtyRegion)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3DDeviceIsOpen());
    const HRESULT result = mD3DDevice->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion);
    DBG_ASSERT(invariant());
    return result;
}

void EGLD3D8Wrapper::pushMatrix(const D3DXMATRIX& matrix)
{
    DBG_ASSERT(d3DDeviceIsOpen());
    mMatrixStack.push(matrix);
    mMatrixStack.applyViewMatrix(mD3DDevice);
}

void EGLD3D8Wrapper::popMatrix()
{
    DBG_ASSERT(d3DDeviceIsOpen());
    mMatrixStack.pop();
    mMatrixStack.applyViewMatrix(mD3DDevice);
}

HRESULT EGLD3D8Wrapper::BeginScene()
{
    return mD3DDevice->BeginScene();
}

HRESULT EGLD3D8Wrapper::EndScene()
{
    return mD3DDevice->EndScene();
}

HRESULT EGLD3D8Wrapper::Clear(DWORD count, const D3DRECT* pRects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    return mD3DDevice->Clear(count, pRects, flags, color, z, stencil);
}

HRESULT EGLD3D8Wrapper::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                           IDirect3DVertexBuffer8** ppVertexBuffer)
{
    return mD3DDevice->CreateVertexBuffer(length, usage, fvf, pool, ppVertexBuffer);
}

HRESULT EGLD3D8Wrapper::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DIndexBuffer8** ppIndexBuffer)
{
    return mD3DDevice->CreateIndexBuffer(length, usage, format, pool, ppIndexBuffer);
}

HRESULT EGLD3D8Wrapper::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT baseVertexIndex)
{
    return mD3DDevice->SetIndices(pIndexData, baseVertexIndex);
}

HRESULT EGLD3D8Wrapper::SetMaterial(const D3DMATERIAL8* pMaterial)
{
    return mD3DDevice->SetMaterial(pMaterial);
}

HRESULT EGLD3D8Wrapper::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    return mD3DDevice->SetRenderState(state, value);
}

HRESULT EGLD3D8Wrapper::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* pStreamData, UINT stride)
{
    return mD3DDevice->SetStreamSource(streamNumber, pStreamData, stride);
}

HRESULT EGLD3D8Wrapper::SetTexture(DWORD stage, IDirect3DBaseTexture8* pTexture)
{
    return mD3DDevice->SetTexture(stage, pTexture);
}

HRESULT EGLD3D8Wrapper::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    return mD3DDevice->SetTextureStageState(stage, type, value);
}

HRESULT EGLD3D8Wrapper::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix)
{
    return mD3DDevice->SetTransform(state, pMatrix);
}

HRESULT EGLD3D8Wrapper::SetVertexShader(DWORD handle)
{
    return mD3DDevice->SetVertexShader(handle);
}

HRESULT EGLD3D8Wrapper::UpdateTexture(IDirect3DBaseTexture8* pSourceTexture, IDirect3DBaseTexture8* pDestinationTexture)
{
    return mD3DDevice->UpdateTexture(pSourceTexture, pDestinationTexture);
}

ULONG EGLD3D8Wrapper::releaseVertexBuffer(IDirect3DVertexBuffer8* buffer)
{
    const ULONG referenceCount = buffer->Release();
    DBG_ASSERT(invariant());
    return referenceCount;
}

ULONG EGLD3D8Wrapper::releaseIndexBuffer(IDirect3DIndexBuffer8* buffer)
{
    return buffer->Release();
}

HRESULT EGLD3D8Wrapper::DrawPrimitive(UINT startVertex, UINT primitiveCount)
{
    mMatrixStack.applyViewMatrix(mD3DDevice);
    return mD3DDevice->DrawPrimitive(mD3DPrimitiveType, startVertex, primitiveCount);
}

HRESULT EGLD3D8Wrapper::DrawIndexedPrimitive(UINT minIndex, UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    mMatrixStack.applyViewMatrix(mD3DDevice);
    return mD3DDevice->DrawIndexedPrimitive(mD3DPrimitiveType, minIndex, numVertices, startIndex, primitiveCount);
}

void EGLD3D8Wrapper::setD3DPrimitiveType(D3DPRIMITIVETYPE primitiveType)
{
    mD3DPrimitiveType = primitiveType;
}

std::int32_t EGLD3D8Wrapper::primitiveCount(std::int32_t vertexCount) const
{
    switch (mD3DPrimitiveType)
    {
    case D3DPT_POINTLIST:
        return vertexCount;
    case D3DPT_LINELIST:
        return vertexCount / 2;
    case D3DPT_LINESTRIP:
        return vertexCount - 1;
    case D3DPT_TRIANGLELIST:
        return vertexCount / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return vertexCount - 2;
    default:
        DBG_ERROR("Unknown D3D primitive type.");
    }
}

HWND EGLD3D8Wrapper::windowHandle() const
{
    return mWindowHandle;
}

bool EGLD3D8Wrapper::d3DIsOpen() const
{
    return nullptr != mD3D;
}

bool EGLD3D8Wrapper::d3DDeviceIsOpen() const
{
    return nullptr != mD3DDevice;
}

bool EGLD3D8Wrapper::invariant() const
{
    return nullptr != mWindowHandle && (!d3DDeviceIsOpen() || d3DIsOpen());
}

bool EGLD3D8Wrapper::isValidTextureSize(UINT width, UINT height)
{
    const auto isPowerOfTwo = [](UINT side) { return 0 != side && 0 == (side & (side - 1)); };
    return width == height && isPowerOfTwo(width);
}
