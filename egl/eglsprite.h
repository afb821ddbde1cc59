#pragma once
// Sprite types and sprites. A sprite type cuts one texture into a grid of equal frames and prepares one
// textured quad per frame (one stream, one model per frame); a sprite is a handle on a type with a frame.
//
// Depends on: egl/egl.h (everything is drawn through the library). The texture, the blending method and the
// library must outlive every sprite type made from them, and a sprite type must outlive its sprites.
// Copying either class throws the Error "Value semantics not implemented." (through EGLObject).

#include "egl/egl.h"

#include <cstdint>
#include <set>
#include <vector>

/// One texture cut into frameColumnCount x frameRowCount frames, numbered row by row, row 0 at the top.
class EGLSpriteType final : public EGLObject
{
public:
    /// Builds the quads: width x height space units, the origin at (originX, originY) as fractions of them
    /// (0.5, 0.5 the centre; 0, 0 the lower left corner). The texture's size must divide into the grid.
    EGLSpriteType(EGL* egl, EGLBlendingMethod* blender, EGLTexture* texture, std::int32_t frameColumnCount,
                  std::int32_t frameRowCount, float width, float height, const float& originX, const float& originY);
    /// Destroys the models and the stream through the library.
    ~EGLSpriteType() noexcept(false) override;

    /// Draws frame (column, row) through the library, inside a scene; no range check.
    void drawFrame(std::int32_t column, std::int32_t row);

    EGL* egl() const;
    EGLBlendingMethod* blender() const;
    EGLTexture* texture() const;
    std::int32_t frameColumnCount() const;
    std::int32_t frameRowCount() const;
    /// Space units.
    float width() const;
    /// Space units.
    float height() const;
    const float& originX() const;
    const float& originY() const;

    bool invariant() const;

private:
    void buildStream();
    void buildModels();

    EGL* mEGL;
    EGLBlendingMethod* mBlender;
    EGLTexture* mTexture;
    std::int32_t mFrameColumnCount;
    std::int32_t mFrameRowCount;
    float mWidth;
    float mHeight;
    float mOriginX;
    float mOriginY;
    EGLStream* mStream;
    std::vector<EGLModel*> mModels;
};

/// A sprite type with a current frame.
class EGLSprite final : public EGLObject
{
public:
    EGLSprite(EGLSpriteType* spriteType, std::int32_t column, std::int32_t row);
    ~EGLSprite() noexcept(false) override;

    /// Moves the sprite's user registration from the old type to the new one.
    void setSpriteType(EGLSpriteType* spriteType);
    /// The caller stays inside the type's grid.
    void setFrame(std::int32_t column, std::int32_t row);
    /// Draws the current frame of the type.
    void drawSprite();

    EGLSpriteType* spriteType() const;
    std::int32_t column() const;
    std::int32_t row() const;
    /// The type's width, space units.
    float width() const;
    /// The type's height, space units.
    float height() const;

private:
    EGLSpriteType* mSpriteType;
    std::int32_t mColumn;
    std::int32_t mRow;
};

/// A new sprite type, owned by the caller until destroySpriteType.
EGLSpriteType* createSpriteType(EGL* egl, EGLBlendingMethod* blender, EGLTexture* texture,
                                std::int32_t frameColumnCount, std::int32_t frameRowCount, float width, float height,
                                const float& originX, const float& originY);
/// Removes the sprite type from the registry and deletes it; null does nothing.
void destroySpriteType(EGLSpriteType* spriteType);
/// A new sprite showing frame (column, row), owned by the caller until destroySprite.
EGLSprite* createSprite(EGLSpriteType* spriteType, std::int32_t column, std::int32_t row);
/// Removes the sprite from the registry and deletes it; null does nothing.
void destroySprite(EGLSprite* sprite);

/// False for null, else whether the sprite type was created and not yet destroyed.
bool isOpen(EGLSpriteType* spriteType);
/// False for null, else whether the sprite was created and not yet destroyed.
bool isOpen(EGLSprite* sprite);
/// A copy of the registry of sprite types.
std::set<EGLSpriteType*> spriteTypes();
/// A copy of the registry of sprites.
std::set<EGLSprite*> sprites();
