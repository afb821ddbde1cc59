#pragma once
// Textures of the Direct3D implementation: image textures, made from an EGLImage and mirrored in a managed
// A8R8G8B8 texture on stage 0, and the library's one null texture, which stands for "no texture".
//
// Depends on: egl/egl.h (EGLTexture), egl/egltypes.h (EGLImage), egl/egld3d8wrapper.h.

#include "egl/egl.h"
#include "egl/egld3d8wrapper.h"

#include <cstdint>

/// The base of the Direct3D textures; it adds nothing to EGLTexture.
class EGLD3D8Texture : public EGLTexture
{
public:
    ~EGLD3D8Texture() noexcept(false) override = default;
};

/// A texture holding a copy of an image. Its device texture is square with sides a power of two.
class EGLD3D8ImageTexture final : public EGLD3D8Texture
{
public:
    /// Copies the image; no device texture until the library creates it.
    EGLD3D8ImageTexture(EGLD3D8Wrapper* wrapper, const EGLImage& image);
    /// Requires the device texture released and no open change.
    ~EGLD3D8ImageTexture() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ImageTexture(const EGLD3D8ImageTexture& other);
    /// Not supported: throws the Error "Value semantics not implemented.".
    EGLD3D8ImageTexture& operator=(const EGLD3D8ImageTexture& other);

    /// Replaces the image copy; only while changing. The device sees it at the commit after the change.
    void setImage(const EGLImage& image) override;
    /// The address of the pixel's centre: ((column + 0.5) / columns, (row + 0.5) / rows).
    EGLVector address(std::int32_t column, std::int32_t row) const override;
    /// The image copy; the reference holds until setImage or the texture's destruction.
    const EGLImage& image() const override;
    float columnAddress(std::int32_t column) const override;
    float rowAddress(std::int32_t row) const override;

    /// Writes the image into the device texture, made anew when the image's size changed.
    void commitChange(EGLKey changeKey) override;
    /// Creates the device texture at the image's size.
    void createResource(EGLKey resourceKey) override;
    void releaseResource(EGLKey resourceKey) override;
    /// Sets the device texture on stage 0.
    void switchOn(EGLKey switchKey) override;
    /// Leaves stage 0 without a texture.
    void switchOff(EGLKey switchKey) override;

    /// True while the device texture exists.
    bool d3D8TextureIsOpen() const;
    /// The change count is valid.
    bool invariant() const;

private:
    void createD3DTexture();

    EGLImage mImage;
    EGLD3D8Wrapper* mWrapper;
    IDirect3DTexture8* mTexture;
    // The size the device texture was made with.
    std::int32_t mTextureColumnCount;
    std::int32_t mTextureRowCount;
};

/// The texture that stands for no texture: switching it on or off leaves stage 0 empty.
class EGLD3D8NullTexture final : public EGLD3D8Texture
{
public:
    explicit EGLD3D8NullTexture(EGLD3D8Wrapper* wrapper);
    ~EGLD3D8NullTexture() noexcept(false) override;
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8NullTexture(const EGLD3D8NullTexture& other);
    /// Not supported: throws the Error "Value semantics not implemeted.".
    EGLD3D8NullTexture& operator=(const EGLD3D8NullTexture& other);

    /// Throws the Error "Null texture has no image.".
    void setImage(const EGLImage& image) override;
    /// Throws the Error "Null texture can not be adressed.".
    EGLVector address(std::int32_t column, std::int32_t row) const override;
    /// Throws the Error "Null texture has no image.".
    const EGLImage& image() const override;
    /// Throws the Error "Null texture can not be adressed.".
    float columnAddress(std::int32_t column) const override;
    /// Throws the Error "Null texture can not be adressed.".
    float rowAddress(std::int32_t row) const override;

    void switchOn(EGLKey switchKey) override;
    void switchOff(EGLKey switchKey) override;

    /// The change count is valid.
    bool invariant() const;

private:
    EGLD3D8Wrapper* mWrapper;
};
