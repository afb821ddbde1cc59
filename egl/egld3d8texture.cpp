#include "egl/egld3d8texture.h"

#include "foundation/dbg.h"

#include <cstdint>

EGLD3D8ImageTexture::EGLD3D8ImageTexture(EGLD3D8Wrapper* wrapper, const EGLImage& image)
    : mImage(image), mWrapper(wrapper), mTexture(nullptr), mTextureColumnCount(0), mTextureRowCount(0)
{
    DBG_ASSERT(invariant());
}

EGLD3D8ImageTexture::~EGLD3D8ImageTexture() noexcept(false)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!d3D8TextureIsOpen());
    DBG_ASSERT(!isChanging());
}

EGLD3D8ImageTexture::EGLD3D8ImageTexture(const EGLD3D8ImageTexture&)
    : EGLD3D8Texture(), mImage(), mWrapper(nullptr), mTexture(nullptr), mTextureColumnCount(0), mTextureRowCount(0)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLD3D8ImageTexture& EGLD3D8ImageTexture::operator=(const EGLD3D8ImageTexture&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLD3D8ImageTexture::setImage(const EGLImage& image)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(isChanging());
    mImage = image;
    DBG_ASSERT(invariant());
}

EGLVector EGLD3D8ImageTexture::address(std::int32_t column, std::int32_t row) const
{
    return EGLVector{columnAddress(column), rowAddress(row)};
}

const EGLImage& EGLD3D8ImageTexture::image() const
{
    return mImage;
}

float EGLD3D8ImageTexture::columnAddress(std::int32_t column) const
{
    const float du = 1.0f / static_cast<float>(mImage.columnCount());
    return static_cast<float>(column) * du + du * 0.5f;
}

float EGLD3D8ImageTexture::rowAddress(std::int32_t row) const
{
    const float dv = 1.0f / static_cast<float>(mImage.rowCount());
    return static_cast<float>(row) * dv + dv * 0.5f;
}

void EGLD3D8ImageTexture::commitChange(EGLKey)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(d3D8TextureIsOpen());
    DBG_ASSERT(!isChanging());
    // An image of another size than the device texture gets a texture of its own size; writing it into the
    // old one would run past the texels.
    if (mImage.columnCount() != mTextureColumnCount || mImage.rowCount() != mTextureRowCount)
    {
        mTexture->Release();
        mTexture = nullptr;
        createD3DTexture();
    }
    D3DLOCKED_RECT lockedRect{};
    HRESULT result = mTexture->LockRect(0, &lockedRect, nullptr, 0);
    DBG_ASSERT("D3D texture successfully locked." && (D3D_OK == result));
    auto* rowStart = static_cast<BYTE*>(lockedRect.pBits);
    for (std::int32_t row = 0; row < mImage.rowCount(); ++row, rowStart += lockedRect.Pitch)
        for (std::int32_t column = 0; column < mImage.columnCount(); ++column)
        {
            // Little-endian 32-bit texels: the bytes B, G, R, A.
            const std::uint32_t pixel = mImage.pixel(column, row);
            BYTE* texel = rowStart + 4 * column;
            texel[0] = static_cast<BYTE>(pixel);
            texel[1] = static_cast<BYTE>(pixel >> 8);
            texel[2] = static_cast<BYTE>(pixel >> 16);
            texel[3] = static_cast<BYTE>(pixel >> 24);
        }
    result = mTexture->UnlockRect(0);
    DBG_ASSERT("D3D texture successfully unlocked." && (D3D_OK == result));
    DBG_ASSERT(invariant());
}

void EGLD3D8ImageTexture::createResource(EGLKey resourceKey)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!d3D8TextureIsOpen());
    DBG_ASSERT(!isChanging());
    DBG_ASSERT(isResourceKey(resourceKey));
    createD3DTexture();
    DBG_ASSERT(invariant());
}

void EGLD3D8ImageTexture::releaseResource(EGLKey)
{
    DBG_ASSERT(!isChanging());
    if (mTexture)
        mTexture->Release();
    mTexture = nullptr;
}

void EGLD3D8ImageTexture::switchOn(EGLKey)
{
    const HRESULT result = mWrapper->SetTexture(0, mTexture);
    DBG_ASSERT("D3D texture set successfully." && (D3D_OK == result));
}

void EGLD3D8ImageTexture::switchOff(EGLKey)
{
    mWrapper->SetTexture(0, nullptr);
}

bool EGLD3D8ImageTexture::d3D8TextureIsOpen() const
{
    return nullptr != mTexture;
}

bool EGLD3D8ImageTexture::invariant() const
{
    return changeCountIsValid();
}

void EGLD3D8ImageTexture::createD3DTexture()
{
    const HRESULT result =
        mWrapper->createD3DTexture(static_cast<UINT>(mImage.columnCount()), static_cast<UINT>(mImage.rowCount()), 1, 0,
                                   D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &mTexture);
    if (D3D_OK != result)
        mTexture = nullptr;
    DBG_ASSERT("D3D texture created successfully." && (D3D_OK == result));
    mTextureColumnCount = mImage.columnCount();
    mTextureRowCount = mImage.rowCount();
}

EGLD3D8NullTexture::EGLD3D8NullTexture(EGLD3D8Wrapper* wrapper) : mWrapper(wrapper)
{
    DBG_ASSERT(invariant());
}

EGLD3D8NullTexture::~EGLD3D8NullTexture() noexcept(false)
{
    DBG_ASSERT(invariant());
}

EGLD3D8NullTexture::EGLD3D8NullTexture(const EGLD3D8NullTexture&) : EGLD3D8Texture(), mWrapper(nullptr)
{
    DBG_ERROR("Value semantics not implemeted.");
}

EGLD3D8NullTexture& EGLD3D8NullTexture::operator=(const EGLD3D8NullTexture&)
{
    DBG_ERROR("Value semantics not implemeted.");
}

void EGLD3D8NullTexture::setImage(const EGLImage&)
{
    DBG_ERROR("Null texture has no image.");
}

EGLVector EGLD3D8NullTexture::address(std::int32_t, std::int32_t) const
{
    DBG_ERROR("Null texture can not be adressed.");
}

const EGLImage& EGLD3D8NullTexture::image() const
{
    DBG_ERROR("Null texture has no image.");
}

float EGLD3D8NullTexture::columnAddress(std::int32_t) const
{
    DBG_ERROR("Null texture can not be adressed.");
}

float EGLD3D8NullTexture::rowAddress(std::int32_t) const
{
    DBG_ERROR("Null texture can not be adressed.");
}

void EGLD3D8NullTexture::switchOn(EGLKey)
{
    mWrapper->SetTexture(0, nullptr);
}

void EGLD3D8NullTexture::switchOff(EGLKey)
{
    mWrapper->SetTexture(0, nullptr);
}

bool EGLD3D8NullTexture::invariant() const
{
    return changeCountIsValid();
}
