#pragma once
// The software device's resources: textures, vertex buffers and index buffers, each a block of memory. Buffers'
// Lock maps it directly; a texture keeps its texels in the rasteriser's blocks and hands out the locked rectangle
// row by row in a buffer of its own. They need no device once created; the device reads them at draw time.

#include "host/comobject.h"
#include "host/d3d8.h"
#include "host/rasteriser.h"

#include <cstdint>
#include <optional>
#include <vector>

/// A one-level D3DFMT_A8R8G8B8 texture whose sides are powers of two.
class D3D8Texture final : public HostComObject<IDirect3DTexture8>
{
public:
    /// Whether the device can hold a texture of that size: power-of-two sides up to maxSide.
    static bool isValidSize(UINT width, UINT height, UINT maxSide);
    /// A texture of a valid size, its texels 0; null when memory is short.
    static D3D8Texture* create(UINT width, UINT height);

    /// The rectangle's texels row by row in a buffer of their own, one lock at a time.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    /// Stores the locked rectangle's texels and frees their buffer.
    HRESULT UnlockRect(UINT level) override;

    UINT width() const { return 1u << mRaster.widthLog2; }
    UINT height() const { return 1u << mRaster.heightLog2; }
    /// The texels as the rasteriser samples them.
    const RasterTexture& raster() const { return mRaster; }
    /// Keeps a premultiplied copy of the texels beside them (for additive blending) until the next UnlockRect.
    void premultiply();
    /// Copies the texels of a texture of the same size; false for another size.
    bool copyFrom(const D3D8Texture& source);

private:
    D3D8Texture(int widthLog2, int heightLog2);
    ~D3D8Texture() override = default;

    // Any change of the texels drops the premultiplied copy.
    void dropPremultiplied();

    std::vector<std::uint32_t> mTexels;        // at rasterTexelIndex
    std::vector<std::uint32_t> mPremultiplied; // empty, or premultiplied mTexels
    RasterTexture mRaster;
    std::optional<RasterTexelRect> mLocked;
    std::vector<std::uint32_t> mLockedTexels; // mLocked's, row by row
};

/// Vertex or index memory of a fixed length in bytes.
template <class Interface>
class D3D8Buffer final : public HostComObject<Interface>
{
public:
    /// Null for length 0 or when memory is short.
    static D3D8Buffer* create(UINT length);

    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override { return D3D_OK; }

    const std::vector<BYTE>& bytes() const { return mBytes; }

private:
    explicit D3D8Buffer(UINT length) : mBytes(length) {}
    ~D3D8Buffer() override = default;

    std::vector<BYTE> mBytes;
};

using D3D8VertexBuffer = D3D8Buffer<IDirect3DVertexBuffer8>;
using D3D8IndexBuffer = D3D8Buffer<IDirect3DIndexBuffer8>;
