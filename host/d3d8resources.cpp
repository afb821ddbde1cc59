// Textures and buffers: plain vectors; a buffer's Lock hands out a pointer into it, a texture's a copy of the
// locked texels.

#include "host/d3d8resources.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <new>

bool D3D8Texture::isValidSize(UINT width, UINT height, UINT maxSide)
{
    return std::has_single_bit(width) && std::has_single_bit(height) && width <= maxSide && height <= maxSide;
}

D3D8Texture* D3D8Texture::create(UINT width, UINT height)
{
    try
    {
        return new D3D8Texture(std::countr_zero(width), std::countr_zero(height));
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

D3D8Texture::D3D8Texture(int widthLog2, int heightLog2)
    : mTexels(rasterTexelCount(widthLog2, heightLog2)), mRaster{nullptr, widthLog2, heightLog2}
{
    mRaster.texels = mTexels.data();
}

HRESULT D3D8Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD)
{
    if (level != 0 || lockedRect == nullptr || mLocked)
    {
        return D3DERR_INVALIDCALL;
    }
    RasterTexelRect locked{0, 0, width(), height()};
    if (rect != nullptr)
    {
        const bool inside = rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
                            static_cast<UINT>(rect->right) <= width() && static_cast<UINT>(rect->bottom) <= height();
        if (!inside)
        {
            return D3DERR_INVALIDCALL;
        }
        locked = {static_cast<std::uint32_t>(rect->left), static_cast<std::uint32_t>(rect->top),
                  static_cast<std::uint32_t>(rect->right - rect->left),
                  static_cast<std::uint32_t>(rect->bottom - rect->top)};
    }
    try
    {
        mLockedTexels.resize(std::size_t{locked.width} * locked.height);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    rasterReadTexels(mTexels.data(), mRaster.widthLog2, locked, mLockedTexels.data(), locked.width);
    mLocked = locked;
    lockedRect->Pitch = static_cast<INT>(locked.width * 4);
    lockedRect->pBits = mLockedTexels.data();
    return D3D_OK;
}

HRESULT D3D8Texture::UnlockRect(UINT level)
{
    if (level != 0 || !mLocked)
    {
        return D3DERR_INVALIDCALL;
    }
    rasterWriteTexels(mTexels.data(), mRaster.widthLog2, *mLocked, mLockedTexels.data(), mLocked->width);
    dropPremultiplied();
    mLocked.reset();
    mLockedTexels = std::vector<std::uint32_t>(); // assigning {} would keep the capacity
    return D3D_OK;
}

bool D3D8Texture::copyFrom(const D3D8Texture& source)
{
    if (source.width() != width() || source.height() != height())
    {
        return false;
    }
    std::copy(source.mTexels.begin(), source.mTexels.end(), mTexels.begin());
    dropPremultiplied();
    return true;
}

void D3D8Texture::premultiply()
{
    if (!mPremultiplied.empty())
    {
        return;
    }
    mPremultiplied.resize(mTexels.size());
    rasterPremultiply(mTexels.data(), mTexels.size(), mPremultiplied.data());
    mRaster.premultiplied = mPremultiplied.data();
}

void D3D8Texture::dropPremultiplied()
{
    mPremultiplied = std::vector<std::uint32_t>();
    mRaster.premultiplied = nullptr;
}

template <class Interface>
D3D8Buffer<Interface>* D3D8Buffer<Interface>::create(UINT length)
{
    if (length == 0)
    {
        return nullptr;
    }
    try
    {
        return new D3D8Buffer(length);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

template <class Interface>
HRESULT D3D8Buffer<Interface>::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD)
{
    const std::size_t length = mBytes.size();
    if (data == nullptr || offsetToLock > length || sizeToLock > length - offsetToLock)
    {
        return D3DERR_INVALIDCALL;
    }
    *data = mBytes.data() + offsetToLock;
    return D3D_OK;
}

template class D3D8Buffer<IDirect3DVertexBuffer8>;
template class D3D8Buffer<IDirect3DIndexBuffer8>;
