// The software Direct3D device: Direct3D's render and texture stage states, vertex fetch and transform, and
// primitive assembly in front of the rasteriser; the back buffer is shown in the window's SDL window at Present.
// Depends on the Win32 stand-in for the window (SDL window, minimised and focus state, client size, full screen)
// and for the virtual clock.

#include "host/d3d8device.h"

#include "host/comobject.h"
#include "host/d3d8present.h"
#include "host/d3d8resources.h"
#include "host/d3dx8.h"
#include "host/hostwin32.h"
#include "host/rasteriser.h"
#include "host/testing.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>
#include <utility>
#include <vector>

namespace
{

struct Seam
{
    bool forcedLoss = false;
    bool showFrames = true;
    bool recordFrames = false;
    hosttest::D3D8Counters counters;
    hosttest::PresentedFrame frame;
    bool frameOpaque = false; // the frame's alpha is still to be set to 0xFF (D3DFMT_X8R8G8B8)
    RasterRecording recordedFrame;
};

Seam& seam()
{
    static Seam instance;
    return instance;
}

constexpr std::size_t RENDER_STATE_COUNT = 256;
constexpr std::size_t STAGE_STATE_COUNT = 32;
constexpr UINT MAX_TARGET_SIDE = 8192; // pixels; the rasteriser's exact arithmetic holds up to this

constexpr DWORD D3DTA_CURRENT = 1;

// The vertices a draw reads for count primitives of a type; 0 for an unknown type.
UINT verticesFor(D3DPRIMITIVETYPE type, UINT count)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return 2 * count;
    case D3DPT_LINESTRIP:
        return count + 1;
    case D3DPT_TRIANGLELIST:
        return 3 * count;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count + 2;
    default:
        return 0;
    }
}

// The layout of a vertex format: position, then the optional diffuse colour and one optional address pair.
struct VertexLayout
{
    bool valid = false;
    UINT size = 0;
    int colorOffset = -1;   // bytes; -1: none, the colour is opaque white
    int addressOffset = -1; // bytes; -1: none, the address is (0, 0)
};

VertexLayout layoutOf(DWORD fvf)
{
    VertexLayout layout;
    if ((fvf & ~(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1)) != 0 || (fvf & D3DFVF_XYZ) == 0)
    {
        return layout;
    }
    layout.valid = true;
    layout.size = 12;
    if ((fvf & D3DFVF_DIFFUSE) != 0)
    {
        layout.colorOffset = static_cast<int>(layout.size);
        layout.size += 4;
    }
    if ((fvf & D3DFVF_TEX1) != 0)
    {
        layout.addressOffset = static_cast<int>(layout.size);
        layout.size += 8;
    }
    return layout;
}

template <class T>
T readAt(const BYTE* bytes, int offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof(T));
    return value;
}

// A lost device stays lost until it is released: Reset is not offered.
enum class Loss
{
    NONE,
    LOST,      // the window is away
    NOT_RESET, // the window is back
};

class Device final : public HostComObject<IDirect3DDevice8>
{
public:
    Device(IDirect3D8* direct3D, HWND window, const D3DPRESENT_PARAMETERS& parameters, UINT width, UINT height,
           UINT refreshRate)
        : mDirect3D(direct3D), mWindow(window), mWindowed(parameters.Windowed != FALSE), mWidth(width), mHeight(height),
          mFormat(parameters.BackBufferFormat), mDiscard(parameters.SwapEffect == D3DSWAPEFFECT_DISCARD),
          mRefreshRate(refreshRate), mBackBuffer(static_cast<std::size_t>(width) * height, 0)
    {
        mDirect3D->AddRef();
        useBackBuffer();
        mRenderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
        mRenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
        mRenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
        mRenderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
        mRenderStates[D3DRS_LIGHTING] = TRUE;
        mRenderStates[D3DRS_COLORVERTEX] = TRUE;
        mRenderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
        mStageStates[D3DTSS_COLOROP] = D3DTOP_MODULATE;
        mStageStates[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        mStageStates[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        mStageStates[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
        mStageStates[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        mStageStates[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        mStageStates[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        mStageStates[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        mStageStates[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        mStageStates[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        D3DXMatrixIdentity(&mWorld);
        D3DXMatrixIdentity(&mView);
        D3DXMatrixIdentity(&mProjection);
        if (!mWindowed)
        {
            hostEnterFullScreen(window);
        }
        mHadFocus = hostWindowHasFocus(window);
        mNextFrame = std::chrono::steady_clock::now();
    }

    HRESULT TestCooperativeLevel() override
    {
        switch (refreshLoss())
        {
        case Loss::NONE:
            return D3D_OK;
        case Loss::LOST:
            return D3DERR_DEVICELOST;
        default:
            return D3DERR_DEVICENOTRESET;
        }
    }

    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override
    {
        ++seam().counters.presents;
        if (sourceRect != nullptr || destRect != nullptr || destWindowOverride != nullptr || dirtyRegion != nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        if (refreshLoss() != Loss::NONE)
        {
            return D3DERR_DEVICELOST;
        }
        hosttest::PresentedFrame& frame = seam().frame;
        frame.width = static_cast<int>(mWidth);
        frame.height = static_cast<int>(mHeight);
        if (mDiscard)
        {
            // A discarding Present leaves the back buffer undefined: hand it over instead of copying it.
            std::swap(frame.pixels, mBackBuffer);
            useBackBuffer();
        }
        else
        {
            frame.pixels.assign(mBackBuffer.begin(), mBackBuffer.end());
        }
        // Showing ignores alpha; only a test that reads the frame needs it made opaque.
        seam().frameOpaque = mFormat == D3DFMT_X8R8G8B8;
        // A frame the window cannot show still takes its refresh period, so that the program keeps its pace.
        const bool shown = !seam().showFrames ||
                           mPresenter.show(hostSDLWindow(mWindow), frame.pixels.data(), frame.width, frame.height);
        recordNextFrame();
        waitForRefresh();
        return shown ? D3D_OK : E_FAIL;
    }

    HRESULT BeginScene() override
    {
        if (mInScene)
        {
            return D3DERR_INVALIDCALL;
        }
        mInScene = true;
        return D3D_OK;
    }

    HRESULT EndScene() override
    {
        if (!mInScene)
        {
            return D3DERR_INVALIDCALL;
        }
        mInScene = false;
        return D3D_OK;
    }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float, DWORD) override
    {
        ++seam().counters.clears;
        // There is no depth or stencil buffer to clear.
        if (flags != D3DCLEAR_TARGET || (count > 0 && rects == nullptr))
        {
            return D3DERR_INVALIDCALL;
        }
        if (count == 0)
        {
            mRasteriser.clear(color);
        }
        for (DWORD i = 0; i < count; ++i)
        {
            mRasteriser.clear(color, rects[i]);
        }
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override
    {
        ++seam().counters.transforms;
        D3DXMATRIX* slot = state == D3DTS_WORLD        ? &mWorld
                           : state == D3DTS_VIEW       ? &mView
                           : state == D3DTS_PROJECTION ? &mProjection
                                                       : nullptr;
        if (slot == nullptr || matrix == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        static_cast<D3DMATRIX&>(*slot) = *matrix;
        mTransformDirty = true;
        return D3D_OK;
    }

    HRESULT SetMaterial(const D3DMATERIAL8* material) override
    {
        ++seam().counters.materials;
        if (material == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        mMaterial = *material; // kept for honesty: without lighting nothing reads it
        return D3D_OK;
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override
    {
        ++seam().counters.renderStates;
        if (state >= RENDER_STATE_COUNT)
        {
            return D3DERR_INVALIDCALL;
        }
        mRenderStates[state] = value;
        mRasterStateDirty = true;
        return D3D_OK;
    }

    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override
    {
        ++seam().counters.textureStageStates;
        if (stage != 0 || type >= STAGE_STATE_COUNT)
        {
            return D3DERR_INVALIDCALL;
        }
        mStageStates[type] = value;
        mRasterStateDirty = true;
        return D3D_OK;
    }

    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override
    {
        ++seam().counters.textures;
        D3D8Texture* ours = dynamic_cast<D3D8Texture*>(texture);
        if (stage != 0 || (texture != nullptr && ours == nullptr))
        {
            return D3DERR_INVALIDCALL;
        }
        replace(mTexture, ours);
        mRasterStateDirty = true;
        return D3D_OK;
    }

    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) override
    {
        ++seam().counters.streamSources;
        D3D8VertexBuffer* ours = dynamic_cast<D3D8VertexBuffer*>(streamData);
        if (streamNumber != 0 || (streamData != nullptr && ours == nullptr))
        {
            return D3DERR_INVALIDCALL;
        }
        replace(mVertexBuffer, ours);
        mStride = stride;
        return D3D_OK;
    }

    HRESULT SetIndices(IDirect3DIndexBuffer8* indexData, UINT baseVertexIndex) override
    {
        ++seam().counters.indices;
        D3D8IndexBuffer* ours = dynamic_cast<D3D8IndexBuffer*>(indexData);
        if (indexData != nullptr && ours == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        replace(mIndexBuffer, ours);
        mBaseVertexIndex = baseVertexIndex;
        return D3D_OK;
    }

    HRESULT SetVertexShader(DWORD handle) override
    {
        ++seam().counters.vertexShaders;
        const VertexLayout layout = layoutOf(handle);
        if (!layout.valid)
        {
            return D3DERR_INVALIDCALL;
        }
        mLayout = layout;
        return D3D_OK;
    }

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override
    {
        ++seam().counters.draws;
        const UINT vertexCount = verticesFor(type, primitiveCount);
        if (!canDraw(type, primitiveCount) || !fetchVertices(startVertex, vertexCount))
        {
            return D3DERR_INVALIDCALL;
        }
        if (type == D3DPT_POINTLIST)
        {
            applyRasterState();
            mRasteriser.drawPoints({mVertices.data(), vertexCount});
        }
        else
        {
            assemble(type, primitiveCount, [](UINT k) { return k; });
        }
        return D3D_OK;
    }

    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                 UINT primitiveCount) override
    {
        ++seam().counters.draws;
        const UINT indexCount = verticesFor(type, primitiveCount);
        if (!canDraw(type, primitiveCount) || mIndexBuffer == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        const std::vector<BYTE>& bytes = mIndexBuffer->bytes();
        if (std::uint64_t{startIndex} + indexCount > bytes.size() / 2)
        {
            return D3DERR_INVALIDCALL;
        }
        mIndices.resize(indexCount);
        std::memcpy(mIndices.data(), bytes.data() + std::size_t{startIndex} * 2, std::size_t{indexCount} * 2);
        for (std::uint16_t& index : mIndices)
        {
            if (index < minIndex || index - minIndex >= vertexCount)
            {
                return D3DERR_INVALIDCALL;
            }
            index = static_cast<std::uint16_t>(index - minIndex);
        }
        // Summed in 64 bits: a sum that wrapped would read vertices near the start instead of being refused.
        if (!fetchVertices(std::uint64_t{mBaseVertexIndex} + minIndex, vertexCount))
        {
            return D3DERR_INVALIDCALL;
        }
        assemble(type, primitiveCount, [this](UINT k) { return UINT{mIndices[k]}; });
        return D3D_OK;
    }

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format, D3DPOOL,
                          IDirect3DTexture8** texture) override
    {
        if (texture == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        *texture = nullptr;
        if (levels > 1 || format != D3DFMT_A8R8G8B8 || !D3D8Texture::isValidSize(width, height, D3D8_MAX_TEXTURE_SIDE))
        {
            return D3DERR_INVALIDCALL;
        }
        *texture = D3D8Texture::create(width, height);
        return *texture != nullptr ? D3D_OK : E_OUTOFMEMORY;
    }

    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** vertexBuffer) override
    {
        return createBuffer(length, vertexBuffer);
    }

    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL,
                              IDirect3DIndexBuffer8** indexBuffer) override
    {
        if (format != D3DFMT_INDEX16)
        {
            if (indexBuffer != nullptr)
            {
                *indexBuffer = nullptr;
            }
            return D3DERR_INVALIDCALL;
        }
        return createBuffer(length, indexBuffer);
    }

    HRESULT UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destTexture) override
    {
        const D3D8Texture* source = dynamic_cast<D3D8Texture*>(sourceTexture);
        D3D8Texture* dest = dynamic_cast<D3D8Texture*>(destTexture);
        if (source == nullptr || dest == nullptr || !dest->copyFrom(*source))
        {
            return D3DERR_INVALIDCALL;
        }
        return D3D_OK;
    }

private:
    ~Device() override
    {
        replace(mTexture, static_cast<D3D8Texture*>(nullptr));
        replace(mVertexBuffer, static_cast<D3D8VertexBuffer*>(nullptr));
        replace(mIndexBuffer, static_cast<D3D8IndexBuffer*>(nullptr));
        if (!mWindowed)
        {
            hostLeaveFullScreen(mWindow);
        }
        mDirect3D->Release();
    }

    // Sizes the back buffer (it may have been swapped with a frame of another size) and draws into it.
    void useBackBuffer()
    {
        mBackBuffer.resize(static_cast<std::size_t>(mWidth) * mHeight);
        mRasteriser.setTarget(
            {mBackBuffer.data(), static_cast<int>(mWidth), static_cast<int>(mHeight), static_cast<int>(mWidth)});
    }

    // The rasteriser's calls from one Present to the next go to the seam while it asks for them.
    void recordNextFrame()
    {
        if (mRecording)
        {
            seam().recordedFrame = std::move(mFrameRecording);
            mFrameRecording = {};
        }
        mRecording = seam().recordFrames;
        mRasteriser.record(mRecording ? &mFrameRecording : nullptr);
    }

    template <class Resource>
    static void replace(Resource*& slot, Resource* resource)
    {
        if (resource != nullptr)
        {
            resource->AddRef();
        }
        if (slot != nullptr)
        {
            slot->Release();
        }
        slot = resource;
    }

    template <class Interface>
    static HRESULT createBuffer(UINT length, Interface** buffer)
    {
        if (buffer == nullptr)
        {
            return D3DERR_INVALIDCALL;
        }
        *buffer = nullptr;
        if (length == 0)
        {
            return D3DERR_INVALIDCALL;
        }
        *buffer = D3D8Buffer<Interface>::create(length);
        return *buffer != nullptr ? D3D_OK : E_OUTOFMEMORY;
    }

    // A full-screen device is lost while its window is minimised or, once it had the focus, lacks it. Its window
    // follows the focus, as on the original platform: it is minimised when the player switches to another window,
    // which it would hide, and restored when the player comes back.
    Loss refreshLoss()
    {
        const bool focused = hostWindowHasFocus(mWindow);
        mHadFocus = mHadFocus || focused;
        if (!mWindowed && mHadFocus && focused == hostWindowIsMinimised(mWindow))
        {
            ShowWindow(mWindow, focused ? SW_RESTORE : SW_MINIMIZE);
        }
        const bool away =
            seam().forcedLoss || (!mWindowed && (hostWindowIsMinimised(mWindow) || (mHadFocus && !focused)));
        if (away)
        {
            mLoss = Loss::LOST;
        }
        else if (mLoss == Loss::LOST)
        {
            mLoss = Loss::NOT_RESET;
        }
        return mLoss;
    }

    // One frame per refresh period: on the virtual clock at once, on the real clock by sleeping.
    void waitForRefresh()
    {
        const long long period = 1'000'000'000LL / std::max<UINT>(mRefreshRate, 1);
        if (hostClockIsVirtual())
        {
            hostAdvanceVirtualClock(period);
            return;
        }
        // Keep to the refresh grid; after a stall of more than a period start a new grid now.
        const auto now = std::chrono::steady_clock::now();
        mNextFrame += std::chrono::nanoseconds(period);
        if (mNextFrame + std::chrono::nanoseconds(period) < now)
        {
            mNextFrame = now;
        }
        std::this_thread::sleep_until(mNextFrame);
    }

    bool canDraw(D3DPRIMITIVETYPE type, UINT primitiveCount) const
    {
        return mInScene && verticesFor(type, primitiveCount) > 0 && primitiveCount <= 0x00FFFFFF && mLayout.valid &&
               mVertexBuffer != nullptr && mStride >= mLayout.size;
    }

    // Reads and transforms count vertices from first on; false when the buffer does not hold them.
    bool fetchVertices(std::uint64_t first, UINT count)
    {
        const std::vector<BYTE>& bytes = mVertexBuffer->bytes();
        if (count == 0)
        {
            return false;
        }
        const std::uint64_t end = (first + count - 1) * mStride + mLayout.size;
        if (end > bytes.size())
        {
            return false;
        }
        if (mTransformDirty)
        {
            mTransform = mWorld * mView * mProjection;
            mTransformDirty = false;
        }
        const D3DXMATRIX& m = mTransform;
        mVertices.resize(count);
        for (UINT i = 0; i < count; ++i)
        {
            const BYTE* vertex = bytes.data() + static_cast<std::size_t>(first + i) * mStride;
            const float x = readAt<float>(vertex, 0);
            const float y = readAt<float>(vertex, 4);
            const float z = readAt<float>(vertex, 8);
            RasterVertex& out = mVertices[i];
            out.x = x * m._11 + y * m._21 + z * m._31 + m._41;
            out.y = x * m._12 + y * m._22 + z * m._32 + m._42;
            out.z = x * m._13 + y * m._23 + z * m._33 + m._43;
            out.w = x * m._14 + y * m._24 + z * m._34 + m._44;
            out.color = mLayout.colorOffset >= 0 ? readAt<std::uint32_t>(vertex, mLayout.colorOffset) : 0xFFFFFFFFu;
            out.u = mLayout.addressOffset >= 0 ? readAt<float>(vertex, mLayout.addressOffset) : 0.0f;
            out.v = mLayout.addressOffset >= 0 ? readAt<float>(vertex, mLayout.addressOffset + 4) : 0.0f;
        }
        return true;
    }

    // Hands the primitives to the rasteriser; vertexOf maps the k-th vertex of the draw to a fetched vertex.
    template <class VertexOf>
    void assemble(D3DPRIMITIVETYPE type, UINT count, VertexOf vertexOf)
    {
        applyRasterState();
        const auto v = [&](UINT k) -> const RasterVertex& { return mVertices[vertexOf(k)]; };
        for (UINT i = 0; i < count; ++i)
        {
            switch (type)
            {
            case D3DPT_POINTLIST:
                mRasteriser.drawPoint(v(i));
                break;
            case D3DPT_LINELIST:
                mRasteriser.drawLine(v(2 * i), v(2 * i + 1));
                break;
            case D3DPT_LINESTRIP:
                mRasteriser.drawLine(v(i), v(i + 1));
                break;
            case D3DPT_TRIANGLELIST:
                mRasteriser.drawTriangle(v(3 * i), v(3 * i + 1), v(3 * i + 2), v(3 * i).color);
                break;
            case D3DPT_TRIANGLESTRIP:
                // Every other triangle of a strip turns the other way; swapping two vertices keeps the winding.
                if (i % 2 == 0)
                {
                    mRasteriser.drawTriangle(v(i), v(i + 1), v(i + 2), v(i).color);
                }
                else
                {
                    mRasteriser.drawTriangle(v(i + 1), v(i), v(i + 2), v(i).color);
                }
                break;
            default:
                // A fan's flat colour is that of each triangle's first rim vertex.
                mRasteriser.drawTriangle(v(0), v(i + 1), v(i + 2), v(i + 1).color);
                break;
            }
        }
    }

    void applyRasterState()
    {
        if (!mRasterStateDirty)
        {
            return;
        }
        RasterState state;
        const bool additive = mRenderStates[D3DRS_ALPHABLENDENABLE] != FALSE &&
                              mRenderStates[D3DRS_SRCBLEND] == D3DBLEND_SRCALPHA &&
                              mRenderStates[D3DRS_DESTBLEND] == D3DBLEND_ONE;
        if (mTexture != nullptr && additive)
        {
            mTexture->premultiply();
        }
        state.texture = mTexture != nullptr ? &mTexture->raster() : nullptr;
        state.colorOp = mStageStates[D3DTSS_COLOROP];
        state.colorArg1 = mStageStates[D3DTSS_COLORARG1];
        state.colorArg2 = mStageStates[D3DTSS_COLORARG2];
        state.alphaOp = mStageStates[D3DTSS_ALPHAOP];
        state.alphaArg1 = mStageStates[D3DTSS_ALPHAARG1];
        state.alphaArg2 = mStageStates[D3DTSS_ALPHAARG2];
        state.blendEnable = mRenderStates[D3DRS_ALPHABLENDENABLE] != FALSE;
        state.srcBlend = mRenderStates[D3DRS_SRCBLEND];
        state.destBlend = mRenderStates[D3DRS_DESTBLEND];
        state.shadeMode = mRenderStates[D3DRS_SHADEMODE];
        state.cullMode = mRenderStates[D3DRS_CULLMODE];
        mRasteriser.setState(state);
        mRasterStateDirty = false;
    }

    IDirect3D8* mDirect3D;
    HWND mWindow;
    bool mWindowed;
    UINT mWidth;
    UINT mHeight;
    D3DFORMAT mFormat;
    bool mDiscard;     // D3DSWAPEFFECT_DISCARD: the back buffer need not survive Present
    UINT mRefreshRate; // Hz
    std::vector<std::uint32_t> mBackBuffer;
    Rasteriser mRasteriser;
    D3D8Presenter mPresenter;
    bool mRecording = false; // into mFrameRecording, since the last Present
    RasterRecording mFrameRecording;

    Loss mLoss = Loss::NONE;
    bool mHadFocus = false;
    bool mInScene = false;
    std::chrono::steady_clock::time_point mNextFrame;

    std::array<DWORD, RENDER_STATE_COUNT> mRenderStates{};
    std::array<DWORD, STAGE_STATE_COUNT> mStageStates{};
    bool mRasterStateDirty = true;
    D3DXMATRIX mWorld, mView, mProjection, mTransform;
    bool mTransformDirty = true;
    D3DMATERIAL8 mMaterial{};

    D3D8Texture* mTexture = nullptr; // one reference each
    D3D8VertexBuffer* mVertexBuffer = nullptr;
    D3D8IndexBuffer* mIndexBuffer = nullptr;
    UINT mStride = 0; // bytes
    UINT mBaseVertexIndex = 0;
    VertexLayout mLayout;

    std::vector<RasterVertex> mVertices; // the draw's fetched vertices
    std::vector<std::uint16_t> mIndices; // the draw's indices, relative to its first fetched vertex
};

} // namespace

HRESULT createD3D8Device(IDirect3D8* direct3D, HWND window, const D3DPRESENT_PARAMETERS& parameters,
                         const D3DDISPLAYMODE& desktop, IDirect3DDevice8** device)
{
    *device = nullptr;
    if (window == nullptr || hostSDLWindow(window) == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    const bool formatOk =
        parameters.BackBufferFormat == D3DFMT_X8R8G8B8 || parameters.BackBufferFormat == D3DFMT_A8R8G8B8;
    if (!formatOk || parameters.BackBufferCount > 1 || parameters.MultiSampleType != D3DMULTISAMPLE_NONE ||
        parameters.EnableAutoDepthStencil)
    {
        return D3DERR_INVALIDCALL;
    }
    if (seam().forcedLoss)
    {
        return D3DERR_DEVICELOST;
    }
    UINT width = parameters.BackBufferWidth;
    UINT height = parameters.BackBufferHeight;
    if (parameters.Windowed && (width == 0 || height == 0))
    {
        RECT client{};
        GetClientRect(window, &client);
        width = width != 0 ? width : static_cast<UINT>(std::max<LONG>(client.right - client.left, 1));
        height = height != 0 ? height : static_cast<UINT>(std::max<LONG>(client.bottom - client.top, 1));
    }
    if (width == 0 || height == 0 || width > MAX_TARGET_SIDE || height > MAX_TARGET_SIDE)
    {
        return D3DERR_INVALIDCALL;
    }
    const UINT rate = !parameters.Windowed && parameters.FullScreen_RefreshRateInHz != 0
                          ? parameters.FullScreen_RefreshRateInHz
                          : desktop.RefreshRate;
    try
    {
        *device = new Device(direct3D, window, parameters, width, height, rate);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

namespace hosttest
{

const PresentedFrame& lastPresentedFrame()
{
    Seam& s = seam();
    if (s.frameOpaque)
    {
        for (std::uint32_t& pixel : s.frame.pixels)
        {
            pixel |= 0xFF000000u;
        }
        s.frameOpaque = false;
    }
    return s.frame;
}

void showFrames(bool on)
{
    seam().showFrames = on;
}

void recordFrames(bool on)
{
    seam().recordFrames = on;
}

const RasterRecording& lastRecordedFrame()
{
    return seam().recordedFrame;
}

void forceDeviceLoss(bool on)
{
    seam().forcedLoss = on;
}

D3D8Counters d3d8Counters()
{
    return seam().counters;
}

void resetD3D8Counters()
{
    seam().counters = {};
}

} // namespace hosttest
