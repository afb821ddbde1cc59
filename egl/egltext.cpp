#include "egl/egltext.h"

#include "foundation/dbg.h"

#include <cstddef>
#include <new>

namespace
{

// Live from program start to exit; they only refer to the objects, they do not own them.
std::set<EGLFont*>& fontRegistry()
{
    static std::set<EGLFont*> registry;
    return registry;
}

std::set<EGLLabel*>& labelRegistry()
{
    static std::set<EGLLabel*> registry;
    return registry;
}

// An empty text would lay out into a stream without indices, whose setIndices refuses it halfway through the
// layout; a label refuses it before it makes or changes anything, with the same Error.
void requireCharacters(const std::string& text)
{
    DBG_CHECK(!text.empty(), "Vertex format has no indices.");
}

} // namespace

// Glyph ----------------------------------------------------------------------------------------------------------

EGLGlyph::EGLGlyph() : EGLGlyph(1.0f, 1.0f, 0.5f, 0.6f, 0.5f, 0.6f)
{
}

EGLGlyph::EGLGlyph(float width, float height, float leftU, float rightU, float topV, float bottomV)
    : mWidth(width), mHeight(height), mLeftU(leftU), mRightU(rightU), mTopV(topV), mBottomV(bottomV)
{
}

EGLGlyph::~EGLGlyph()
{
    mWidth = -1.0f;
    mHeight = -1.0f;
}

float EGLGlyph::glyphWidth() const
{
    return mWidth;
}

float EGLGlyph::glyphHeight() const
{
    return mHeight;
}

EGLVector EGLGlyph::cornerAddress(std::int32_t corner) const
{
    switch (corner)
    {
    case 1:
        return {mLeftU, mTopV};
    case 2:
        return {mLeftU, mBottomV};
    case 3:
        return {mRightU, mTopV};
    case 4:
        return {mRightU, mBottomV};
    }
    DBG_ERROR("unknown corner.");
}

EGLVector EGLGlyph::cornerPosition(const EGLVector& origin, std::int32_t corner) const
{
    switch (corner)
    {
    case 1:
        return {origin.x, origin.y + mHeight};
    case 2:
        return origin;
    case 3:
        return {origin.x + mWidth, origin.y + mHeight};
    case 4:
        return {origin.x + mWidth, origin.y};
    }
    DBG_ERROR("unknown corner.");
}

bool EGLGlyph::invariant() const
{
    return (mWidth > 0.0f) && (mHeight > 0.0f) && (0.0f <= mLeftU) && (mLeftU <= mRightU) && (mRightU <= 1.0f) &&
           (0.0f <= mTopV) && (mTopV <= mBottomV) && (mBottomV <= 1.0f);
}

// Font -----------------------------------------------------------------------------------------------------------

EGLFont::EGLFont(EGLTexture* fontTexture, std::int32_t widthMode, float glyphSpaceX, float glyphSpaceY,
                 float frameWidth, float frameHeight)
    : mFontTexture(fontTexture), mWidthMode(widthMode), mGlyphSpaceX(glyphSpaceX), mGlyphSpaceY(glyphSpaceY),
      mFrameWidth(frameWidth), mFrameHeight(frameHeight), mGlyphs()
{
    DBG_ASSERT(mFontTexture);
    DBG_ASSERT((MIN_WIDTH_MODE < mWidthMode) && (mWidthMode < MAX_WIDTH_MODE));
    DBG_ASSERT(0.0f <= mGlyphSpaceX);
    DBG_ASSERT(0.0f <= mGlyphSpaceY);
    DBG_ASSERT(0.0f < mFrameWidth);
    DBG_ASSERT(0.0f < mFrameHeight);

    mFontTexture->addUser(this);
    buildGlyphs();
    DBG_ASSERT(invariant());
}

EGLFont::~EGLFont() noexcept(false)
{
    DBG_ASSERT(invariant());
    mFontTexture->removeUser(this);
    mFontTexture = nullptr;
    mGlyphs.clear();
    mGlyphs.shrink_to_fit();
}

void EGLFont::buildGlyphs()
{
    const EGLImage& image = mFontTexture->image();
    DBG_ASSERT(0 == mGlyphs.size());
    DBG_ASSERT(0 == (mFontTexture->image().columnCount() % GLYPH_COLUMN_COUNT));
    DBG_ASSERT(0 == (mFontTexture->image().rowCount() % GLYPH_ROW_COUNT));

    const std::int32_t cellWidth = image.columnCount() / GLYPH_COLUMN_COUNT;
    const std::int32_t cellHeight = image.rowCount() / GLYPH_ROW_COUNT;
    mGlyphs.reserve(GLYPH_COUNT);
    for (std::int32_t character = 0; character < static_cast<std::int32_t>(GLYPH_COUNT); ++character)
    {
        const std::int32_t MIN_FRAME_COLUMN = (character % GLYPH_COLUMN_COUNT) * cellWidth;
        const std::int32_t MAX_FRAME_COLUMN = MIN_FRAME_COLUMN + cellWidth - 1;
        const std::int32_t y0 = (character / GLYPH_COLUMN_COUNT) * cellHeight;
        const std::int32_t y1 = y0 + cellHeight - 1;

        std::int32_t glyphMinColumn = 0;
        std::int32_t glyphMaxColumn = 0;
        float glyphWidth = 0.0f;
        switch (mWidthMode)
        {
        case CELL_WIDTH:
            glyphMinColumn = MIN_FRAME_COLUMN;
            glyphMaxColumn = MAX_FRAME_COLUMN;
            glyphWidth = mFrameWidth;
            break;
        case PIXEL_WIDTH:
            // The last column of the cell is left out of the scan: a glyph whose only pixels stand there counts
            // as empty and keeps one pixel's share of the width.
            glyphMinColumn = MAX_FRAME_COLUMN;
            glyphMaxColumn = MIN_FRAME_COLUMN;
            for (std::int32_t y = y0; y <= y1; ++y)
            {
                for (std::int32_t x = MIN_FRAME_COLUMN; x < MAX_FRAME_COLUMN; ++x)
                {
                    if (image.pixel(x, y) != 0)
                    {
                        if (x < glyphMinColumn)
                            glyphMinColumn = x;
                        if (x > glyphMaxColumn)
                            glyphMaxColumn = x;
                    }
                }
            }
            if (glyphMaxColumn < glyphMinColumn)
                glyphMaxColumn = glyphMinColumn;
            glyphWidth =
                static_cast<float>(glyphMaxColumn - glyphMinColumn + 1) / static_cast<float>(cellWidth) * mFrameWidth;
            break;
        default:
            DBG_ERROR("Unknown width mode");
        }
        const float glyphHeight = mFrameHeight;

        DBG_ASSERT((MIN_FRAME_COLUMN <= glyphMinColumn) && (glyphMinColumn <= glyphMaxColumn) &&
                   (glyphMaxColumn <= MAX_FRAME_COLUMN));
        DBG_ASSERT(0.0f <= glyphWidth);
        DBG_ASSERT(0.0f <= glyphHeight);

        mGlyphs.emplace_back(glyphWidth, glyphHeight, mFontTexture->columnAddress(glyphMinColumn),
                             mFontTexture->columnAddress(glyphMaxColumn), mFontTexture->rowAddress(y0),
                             mFontTexture->rowAddress(y1));
    }
    DBG_ASSERT(GLYPH_COUNT == mGlyphs.size());
}

const EGLGlyph& EGLFont::glyph(char character) const
{
    return mGlyphs[static_cast<unsigned char>(character)];
}

float EGLFont::frameWidth() const
{
    return mFrameWidth;
}

float EGLFont::frameHeight() const
{
    return mFrameHeight;
}

float EGLFont::glyphSpaceX() const
{
    return mGlyphSpaceX;
}

float EGLFont::glyphSpaceY() const
{
    return mGlyphSpaceY;
}

EGLTexture* EGLFont::fontTexture() const
{
    return mFontTexture;
}

bool EGLFont::invariant() const
{
    return mFontTexture && (CELL_WIDTH <= mWidthMode) && (mWidthMode <= PIXEL_WIDTH) && (mGlyphSpaceX >= 0.0f) &&
           (mGlyphSpaceY >= 0.0f) && (mFrameWidth > 0.0f) && (mFrameHeight > 0.0f);
}

// Label ----------------------------------------------------------------------------------------------------------

EGLLabel::EGLLabel(EGL* egl, EGLFont* font, EGLBlendingMethod* blender, const std::string& text,
                   const float& alignmentX, const float& alignmentY, const std::uint32_t& color)
    : mEGL(egl), mFont(font), mBlender(blender), mText(text), mAlignmentX(alignmentX), mAlignmentY(alignmentY),
      mColor(color), mHeight(0.0f), mWidth(0.0f), mStream(nullptr), mModel(nullptr)
{
    DBG_ASSERT(mEGL);
    DBG_ASSERT(mFont);
    DBG_ASSERT(mBlender);
    requireCharacters(mText);

    mEGL->addUser(this);
    mFont->addUser(this);
    mBlender->addUser(this);
    layOut();
    DBG_ASSERT(invariant());
}

EGLLabel::~EGLLabel() noexcept(false)
{
    mEGL->destroy(mModel);
    mEGL->destroy(mStream);
    mEGL->removeUser(this);
    mFont->removeUser(this);
    mBlender->removeUser(this);
    mAlignmentX = -1.0f;
    mAlignmentY = -1.0f;
    mHeight = -1.0f;
    mWidth = -1.0f;
    mText.clear();
    mText.shrink_to_fit();
}

void EGLLabel::layOut()
{
    const std::size_t n = mText.size();
    mWidth = 0.0f;
    if (n > 0)
    {
        mWidth = static_cast<float>(n - 1) * mFont->glyphSpaceX();
        for (const char character : mText)
            mWidth += mFont->glyph(character).glyphWidth();
    }
    mHeight = mFont->frameHeight();

    const auto vertexCount = static_cast<std::int32_t>(4 * n);
    const auto indexCount = static_cast<std::int32_t>(6 * n);
    mStream = mEGL->createStream(EGL::TEXTURE_VERTICES, vertexCount, indexCount);
    mModel = mEGL->createModel(mStream, {0, mStream->indexCount()}, mEGL->primitiveType(EGL::TRIANGLE_LIST),
                               mEGL->shadingMethod(EGL::FLAT_SHADING), mBlender, mFont->fontTexture());

    mEGL->beginChange(mStream);
    writeColors();

    std::vector<EGLVector> positions;
    std::vector<EGLVector> addresses;
    positions.reserve(4 * n);
    addresses.reserve(4 * n);
    EGLVector origin = {-(mAlignmentX * mWidth), -(mAlignmentY * mHeight)};
    for (const char character : mText)
    {
        const EGLGlyph& glyph = mFont->glyph(character);
        for (std::int32_t corner = 1; corner <= 4; ++corner)
        {
            positions.push_back(glyph.cornerPosition(origin, corner));
            addresses.push_back(glyph.cornerAddress(corner));
        }
        origin.x += glyph.glyphWidth() + mFont->glyphSpaceX();
    }
    mStream->setPositions(0, {0, vertexCount}, positions);
    mStream->setAddresses(0, {0, vertexCount}, addresses);

    // Two triangles per character: upper left, lower left, upper right and lower left, upper right, lower right.
    std::vector<std::int32_t> indices;
    indices.reserve(6 * n);
    for (std::int32_t b = 0; b < vertexCount; b += 4)
        indices.insert(indices.end(), {b, b + 1, b + 2, b + 1, b + 2, b + 3});
    mStream->setIndices(0, {0, indexCount}, indices);
    mEGL->endChange(mStream);
}

void EGLLabel::writeColors()
{
    const std::int32_t vertexCount = mStream->vertexCount();
    mStream->setColors(0, {0, vertexCount}, std::vector<std::uint32_t>(static_cast<std::size_t>(vertexCount), mColor));
}

void EGLLabel::setText(const std::string& text)
{
    requireCharacters(text);
    mEGL->destroy(mModel);
    mEGL->destroy(mStream);
    mText = text;
    layOut();
}

void EGLLabel::setColor(const std::uint32_t& color)
{
    mColor = color;
    mEGL->beginChange(mStream);
    writeColors();
    mEGL->endChange(mStream);
}

void EGLLabel::setBlender(EGLBlendingMethod* blender)
{
    mBlender->removeUser(this);
    blender->addUser(this);
    mBlender = blender;
    mEGL->beginChange(mModel);
    mModel->setBlendingMethod(blender);
    mEGL->endChange(mModel);
}

void EGLLabel::drawLabel()
{
    mEGL->drawModel(mModel);
}

const std::string& EGLLabel::text() const
{
    return mText;
}

float EGLLabel::labelWidth() const
{
    return mWidth;
}

float EGLLabel::labelHeight() const
{
    return mHeight;
}

const std::uint32_t& EGLLabel::color() const
{
    return mColor;
}

bool EGLLabel::invariant() const
{
    return mEGL && mFont && mBlender && mStream && mModel && (mWidth >= 0.0f) && (mHeight >= 0.0f);
}

// Factories and registries ---------------------------------------------------------------------------------------

EGLFont* createFont(EGLTexture* fontTexture, std::int32_t widthMode, float glyphSpaceX, float glyphSpaceY,
                    float frameWidth, float frameHeight)
{
    EGLFont* const font =
        new (std::nothrow) EGLFont(fontTexture, widthMode, glyphSpaceX, glyphSpaceY, frameWidth, frameHeight);
    DBG_ASSERT(font);
    fontRegistry().insert(font);
    return font;
}

void destroyFont(EGLFont* font)
{
    fontRegistry().erase(font);
    delete font;
}

EGLLabel* createLabel(EGL* egl, EGLFont* font, EGLBlendingMethod* blender, const std::string& text,
                      const float& alignmentX, const float& alignmentY, const std::uint32_t& color)
{
    EGLLabel* const label = new (std::nothrow) EGLLabel(egl, font, blender, text, alignmentX, alignmentY, color);
    DBG_ASSERT(label);
    labelRegistry().insert(label);
    return label;
}

void destroyLabel(EGLLabel* label)
{
    labelRegistry().erase(label);
    delete label;
}

bool isOpen(EGLFont* font)
{
    return font && fontRegistry().contains(font);
}

bool isOpen(EGLLabel* label)
{
    return label && labelRegistry().contains(label);
}

const std::set<EGLFont*>& fonts()
{
    return fontRegistry();
}

const std::set<EGLLabel*>& labels()
{
    return labelRegistry();
}
