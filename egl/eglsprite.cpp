#include "egl/eglsprite.h"

#include "foundation/dbg.h"

#include <cstddef>
#include <new>

namespace
{

// Live from program start to exit; they only refer to the objects, they do not own them.
std::set<EGLSpriteType*>& spriteTypeRegistry()
{
    static std::set<EGLSpriteType*> registry;
    return registry;
}

std::set<EGLSprite*>& spriteRegistry()
{
    static std::set<EGLSprite*> registry;
    return registry;
}

constexpr std::uint32_t OPAQUE_WHITE = 0xFFFFFFFFu;

} // namespace

// Sprite type ----------------------------------------------------------------------------------------------------

EGLSpriteType::EGLSpriteType(EGL* egl, EGLBlendingMethod* blender, EGLTexture* texture, std::int32_t frameColumnCount,
                             std::int32_t frameRowCount, float width, float height, const float& originX,
                             const float& originY)
    : mEGL(egl), mBlender(blender), mTexture(texture), mFrameColumnCount(frameColumnCount),
      mFrameRowCount(frameRowCount), mWidth(width), mHeight(height), mOriginX(originX), mOriginY(originY),
      mStream(nullptr), mModels()
{
    DBG_ASSERT(mEGL);
    DBG_ASSERT(mBlender);
    DBG_ASSERT(mTexture);
    DBG_ASSERT(0 < mFrameColumnCount);
    DBG_ASSERT(0 < mFrameRowCount);
    DBG_ASSERT(0.0f < mWidth);
    DBG_ASSERT(0.0f < mHeight);

    mEGL->addUser(this);
    mBlender->addUser(this);
    mTexture->addUser(this);
    buildStream();
    buildModels();
    DBG_ASSERT(invariant());
}

EGLSpriteType::~EGLSpriteType() noexcept(false)
{
    DBG_ASSERT(invariant());
    for (EGLModel* model : mModels)
        mEGL->destroy(model);
    mModels.clear();
    DBG_ASSERT(0 == mModels.size());
    mEGL->destroy(mStream);
    mStream = nullptr;
    mEGL->removeUser(this);
    mBlender->removeUser(this);
    mTexture->removeUser(this);
    mEGL = nullptr;
    mModels.shrink_to_fit();
    mOriginX = -1.0f;
    mOriginY = -1.0f;
}

void EGLSpriteType::buildStream()
{
    DBG_ASSERT(0 == mModels.size());
    DBG_ASSERT(0 == mStream);

    const std::int32_t TEXTURE_COLUMN_COUNT = mTexture->image().columnCount();
    const std::int32_t TEXTURE_ROW_COUNT = mTexture->image().rowCount();
    DBG_ASSERT(0 == (TEXTURE_COLUMN_COUNT % mFrameColumnCount));
    DBG_ASSERT(0 == (TEXTURE_ROW_COUNT % mFrameRowCount));

    const std::int32_t frameWidth = TEXTURE_COLUMN_COUNT / mFrameColumnCount;
    const std::int32_t frameHeight = TEXTURE_ROW_COUNT / mFrameRowCount;
    const std::size_t FRAME_COUNT = static_cast<std::size_t>(mFrameColumnCount) * mFrameRowCount;
    const std::size_t VERTEX_COUNT = 4 * FRAME_COUNT;
    const EGLRange allVertices = {0, static_cast<std::int32_t>(VERTEX_COUNT)};

    mStream = mEGL->createStream(EGL::TEXTURE_VERTICES, allVertices.count, 0);
    mEGL->beginChange(mStream);

    const std::vector<std::uint32_t> colorVector(VERTEX_COUNT, OPAQUE_WHITE);
    DBG_ASSERT(VERTEX_COUNT == colorVector.size());
    mStream->setColors(0, allVertices, colorVector);

    // Upper left, lower left, upper right, lower right (y grows upwards): one triangle strip per frame.
    const float x0 = -(mOriginX * mWidth);
    const float y0 = -(mOriginY * mHeight);
    const float x1 = x0 + mWidth;
    const float y1 = y0 + mHeight;
    std::vector<EGLVector> positionVector;
    positionVector.reserve(VERTEX_COUNT);
    for (std::size_t frame = 0; frame < FRAME_COUNT; ++frame)
        positionVector.insert(positionVector.end(), {{x0, y1}, {x0, y0}, {x1, y1}, {x1, y0}});
    DBG_ASSERT(VERTEX_COUNT == positionVector.size());
    mStream->setPositions(0, allVertices, positionVector);

    // The quad's corners meet the centres of the frame's corner pixels, so no texel of a neighbour bleeds in;
    // the frame's pixel row 0 lies at the top of the quad.
    std::vector<EGLVector> adressVector;
    adressVector.reserve(VERTEX_COUNT);
    for (std::int32_t row = 0; row < mFrameRowCount; ++row)
    {
        for (std::int32_t column = 0; column < mFrameColumnCount; ++column)
        {
            const std::int32_t px0 = column * frameWidth;
            const std::int32_t py0 = row * frameHeight;
            const std::int32_t px1 = px0 + frameWidth - 1;
            const std::int32_t py1 = py0 + frameHeight - 1;
            adressVector.insert(adressVector.end(), {mTexture->address(px0, py0), mTexture->address(px0, py1),
                                                     mTexture->address(px1, py0), mTexture->address(px1, py1)});
        }
    }
    DBG_ASSERT(VERTEX_COUNT == adressVector.size());
    mStream->setAddresses(0, allVertices, adressVector);

    mEGL->endChange(mStream);
}

void EGLSpriteType::buildModels()
{
    DBG_ASSERT(0 == mModels.size());
    DBG_ASSERT(mStream);

    EGLPrimitiveType* const primitiveType = mEGL->primitiveType(EGL::TRIANGLE_STRIP);
    EGLShadingMethod* const shadingMethod = mEGL->shadingMethod(EGL::FLAT_SHADING);
    const std::size_t FRAME_COUNT = static_cast<std::size_t>(mFrameColumnCount) * mFrameRowCount;
    for (std::size_t frame = 0; frame < FRAME_COUNT; ++frame)
    {
        const EGLRange frameVertices = {static_cast<std::int32_t>(4 * frame), 4};
        mModels.push_back(mEGL->createModel(mStream, frameVertices, primitiveType, shadingMethod, mBlender, mTexture));
    }
    DBG_ASSERT(FRAME_COUNT == mModels.size());
}

void EGLSpriteType::drawFrame(std::int32_t column, std::int32_t row)
{
    mEGL->drawModel(mModels[static_cast<std::size_t>(mFrameColumnCount * row + column)]);
}

EGL* EGLSpriteType::egl() const
{
    return mEGL;
}

EGLBlendingMethod* EGLSpriteType::blender() const
{
    return mBlender;
}

EGLTexture* EGLSpriteType::texture() const
{
    return mTexture;
}

std::int32_t EGLSpriteType::frameColumnCount() const
{
    return mFrameColumnCount;
}

std::int32_t EGLSpriteType::frameRowCount() const
{
    return mFrameRowCount;
}

float EGLSpriteType::width() const
{
    return mWidth;
}

float EGLSpriteType::height() const
{
    return mHeight;
}

const float& EGLSpriteType::originX() const
{
    return mOriginX;
}

const float& EGLSpriteType::originY() const
{
    return mOriginY;
}

bool EGLSpriteType::invariant() const
{
    return mEGL && mBlender && (mFrameColumnCount >= 1) && (mFrameRowCount >= 1) && (mWidth > 0.0f) && (mHeight > 0.0f);
}

// Sprite ---------------------------------------------------------------------------------------------------------

EGLSprite::EGLSprite(EGLSpriteType* spriteType, std::int32_t column, std::int32_t row)
    : mSpriteType(spriteType), mColumn(column), mRow(row)
{
    DBG_ASSERT(mSpriteType);
    mSpriteType->addUser(this);
}

EGLSprite::~EGLSprite() noexcept(false)
{
    mSpriteType->removeUser(this);
    mSpriteType = nullptr;
}

void EGLSprite::setSpriteType(EGLSpriteType* spriteType)
{
    DBG_ASSERT(spriteType);
    mSpriteType->removeUser(this);
    mSpriteType = spriteType;
    mSpriteType->addUser(this);
}

void EGLSprite::setFrame(std::int32_t column, std::int32_t row)
{
    mColumn = column;
    mRow = row;
}

void EGLSprite::drawSprite()
{
    mSpriteType->drawFrame(mColumn, mRow);
}

EGLSpriteType* EGLSprite::spriteType() const
{
    return mSpriteType;
}

std::int32_t EGLSprite::column() const
{
    return mColumn;
}

std::int32_t EGLSprite::row() const
{
    return mRow;
}

float EGLSprite::width() const
{
    return mSpriteType->width();
}

float EGLSprite::height() const
{
    return mSpriteType->height();
}

// Factories and registries ---------------------------------------------------------------------------------------

EGLSpriteType* createSpriteType(EGL* egl, EGLBlendingMethod* blender, EGLTexture* texture,
                                std::int32_t frameColumnCount, std::int32_t frameRowCount, float width, float height,
                                const float& originX, const float& originY)
{
    EGLSpriteType* const spriteType = new (std::nothrow)
        EGLSpriteType(egl, blender, texture, frameColumnCount, frameRowCount, width, height, originX, originY);
    DBG_ASSERT(spriteType);
    spriteTypeRegistry().insert(spriteType);
    return spriteType;
}

void destroySpriteType(EGLSpriteType* spriteType)
{
    if (spriteType)
    {
        spriteTypeRegistry().erase(spriteType);
        delete spriteType;
    }
}

EGLSprite* createSprite(EGLSpriteType* spriteType, std::int32_t column, std::int32_t row)
{
    EGLSprite* const sprite = new (std::nothrow) EGLSprite(spriteType, column, row);
    DBG_ASSERT(sprite);
    spriteRegistry().insert(sprite);
    return sprite;
}

void destroySprite(EGLSprite* sprite)
{
    if (sprite)
    {
        spriteRegistry().erase(sprite);
        delete sprite;
    }
}

bool isOpen(EGLSpriteType* spriteType)
{
    return spriteType && spriteTypeRegistry().contains(spriteType);
}

bool isOpen(EGLSprite* sprite)
{
    return sprite && spriteRegistry().contains(sprite);
}

std::set<EGLSpriteType*> spriteTypes()
{
    return spriteTypeRegistry();
}

std::set<EGLSprite*> sprites()
{
    return spriteRegistry();
}
