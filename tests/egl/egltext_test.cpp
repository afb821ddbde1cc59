#include "egl/egltext.h"

#include "egl/eglboot.h"
#include "egltesting.h"
#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace
{

void expectVector(const EGLVector& actual, float x, float y, const char* what)
{
    EXPECT_FLOAT_EQ(actual.x, x) << what;
    EXPECT_FLOAT_EQ(actual.y, y) << what;
}

} // namespace

TEST(EGLGlyph, CornersRunUpperLeftLowerLeftUpperRightLowerRight)
{
    const EGLGlyph glyph(20.0f, 32.0f, 0.25f, 0.5f, 0.125f, 0.375f);
    const EGLVector origin = {-10.0f, 4.0f};
    const struct
    {
        const char* what;
        std::int32_t corner;
        EGLVector position;
        EGLVector address;
    } cases[] = {
        {"upper left", 1, {-10.0f, 36.0f}, {0.25f, 0.125f}},
        {"lower left", 2, {-10.0f, 4.0f}, {0.25f, 0.375f}},
        {"upper right", 3, {10.0f, 36.0f}, {0.5f, 0.125f}},
        {"lower right", 4, {10.0f, 4.0f}, {0.5f, 0.375f}},
    };
    for (const auto& testCase : cases)
    {
        expectVector(glyph.cornerPosition(origin, testCase.corner), testCase.position.x, testCase.position.y,
                     testCase.what);
        expectVector(glyph.cornerAddress(testCase.corner), testCase.address.x, testCase.address.y, testCase.what);
    }
    EXPECT_TRUE(glyph.invariant());
}

TEST(EGLGlyph, UnknownCornerIsAnError)
{
    const EGLGlyph glyph;
    for (const std::int32_t corner : {0, 5})
    {
        try
        {
            glyph.cornerAddress(corner);
            FAIL() << "no exception for address corner " << corner;
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.kind(), "Error");
            EXPECT_STREQ(exception.description(), "unknown corner.");
        }
        EXPECT_THROW(glyph.cornerPosition({0.0f, 0.0f}, corner), DBGException);
    }
}

// Fonts and labels over a library in state CLOSED ----------------------------------------------------------------

namespace
{

// A 256 x 256 font texture: 16 x 16 cells of 16 x 16 pixels.
constexpr std::int32_t CELL = 16;

class EGLFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = testWindow();
        mEGL = openEGL(DIRECT3D8_IMPLEMENTATION, &mWindow);
        mBlender = mEGL->blendingMethod(EGL::ALPHA_BLENDING);
        mImage = EGLImage(16 * CELL, 16 * CELL);
        for (std::int32_t row = 0; row < mImage.rowCount(); ++row)
            for (std::int32_t column = 0; column < mImage.columnCount(); ++column)
                mImage.pixel(column, row) = 0;
    }

    void TearDown() override
    {
        for (EGLTexture* texture : mTextures)
            mEGL->destroy(texture);
        closeEGL(mEGL);
    }

    // Sets the pixels of columns first..last (within the cell) on one row of the character's cell.
    void setCellColumns(unsigned char character, std::int32_t first, std::int32_t last)
    {
        const std::int32_t x0 = (character % 16) * CELL;
        const std::int32_t y = (character / 16) * CELL + CELL / 2;
        for (std::int32_t column = first; column <= last; ++column)
            mImage.pixel(x0 + column, y) = 0xFFFFFFFFu;
    }

    EGLTexture* texture(const EGLImage& image)
    {
        mTextures.push_back(mEGL->createTexture(image));
        return mTextures.back();
    }

    // The first count vertex positions of the one label alive.
    std::vector<EGLVector> labelPositions(std::int32_t count) const
    {
        std::vector<EGLVector> result;
        labelStream()->positions({0, count}, result);
        return result;
    }

    // The stream of the one label alive.
    EGLStream* labelStream() const { return *mEGL->streams().begin(); }

    HWND mWindow = nullptr;
    EGL* mEGL = nullptr;
    EGLBlendingMethod* mBlender = nullptr;
    EGLImage mImage;
    std::vector<EGLTexture*> mTextures;
};

} // namespace

TEST_F(EGLFontTest, PixelWidthGlyphsSpanTheirSetColumnsButNeverTheLastOne)
{
    setCellColumns('A', 3, 9);
    setCellColumns('B', CELL - 1, CELL - 1);
    setCellColumns(0xC8, 0, 1);
    EGLTexture* const fontTexture = texture(mImage);
    EGLFont* const font = createFont(fontTexture, EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);

    const std::int32_t x0 = ('A' % 16) * CELL;
    const EGLGlyph& a = font->glyph('A');
    EXPECT_FLOAT_EQ(a.glyphWidth(), 7.0f / 16.0f * 32.0f);
    EXPECT_FLOAT_EQ(a.glyphHeight(), 32.0f);
    EXPECT_FLOAT_EQ(a.cornerAddress(1).x, fontTexture->columnAddress(x0 + 3));
    EXPECT_FLOAT_EQ(a.cornerAddress(3).x, fontTexture->columnAddress(x0 + 9));
    EXPECT_FLOAT_EQ(a.cornerAddress(1).y, fontTexture->rowAddress(('A' / 16) * CELL));
    EXPECT_FLOAT_EQ(a.cornerAddress(2).y, fontTexture->rowAddress(('A' / 16) * CELL + CELL - 1));

    // Pixels only in the unscanned last column, or none at all: one pixel's share, at the last column.
    for (const char empty : {'B', 'C'})
    {
        const EGLGlyph& glyph = font->glyph(empty);
        const std::int32_t lastColumn = (empty % 16) * CELL + CELL - 1;
        EXPECT_FLOAT_EQ(glyph.glyphWidth(), 32.0f / CELL) << empty;
        EXPECT_FLOAT_EQ(glyph.cornerAddress(1).x, fontTexture->columnAddress(lastColumn)) << empty;
        EXPECT_FLOAT_EQ(glyph.cornerAddress(3).x, fontTexture->columnAddress(lastColumn)) << empty;
    }

    // A code above 127 picks the glyph of its unsigned value (cell row 12 for 0xC8).
    EXPECT_FLOAT_EQ(font->glyph(static_cast<char>(0xC8)).glyphWidth(), 2.0f / 16.0f * 32.0f);

    destroyFont(font);
    EXPECT_EQ(fontTexture->userCount(), 1u) << "the font must leave only the library as user";
}

TEST_F(EGLFontTest, CellWidthLabelLaysQuadsOutAroundItsAlignment)
{
    EGLFont* const font = createFont(texture(mImage), EGLFont::CELL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    const float centre = 0.5f;
    const std::uint32_t color = 0xFF336699u;
    EGLLabel* const label = createLabel(mEGL, font, mBlender, "AB", centre, centre, color);

    EXPECT_FLOAT_EQ(label->labelWidth(), 68.0f);
    EXPECT_FLOAT_EQ(label->labelHeight(), 32.0f);
    EGLStream* const stream = labelStream();
    EXPECT_EQ(stream->vertexCount(), 8);
    EXPECT_EQ(stream->indexCount(), 12);
    const std::vector<EGLVector> quads = labelPositions(8);
    const float expected[8][2] = {{-34, 16}, {-34, -16}, {-2, 16}, {-2, -16}, {2, 16}, {2, -16}, {34, 16}, {34, -16}};
    for (std::size_t vertex = 0; vertex < 8; ++vertex)
    {
        EXPECT_FLOAT_EQ(quads[vertex].x, expected[vertex][0]) << "vertex " << vertex;
        EXPECT_FLOAT_EQ(quads[vertex].y, expected[vertex][1]) << "vertex " << vertex;
    }
    std::vector<std::int32_t> indices;
    stream->indices({0, 12}, indices);
    EXPECT_EQ(indices, (std::vector<std::int32_t>{0, 1, 2, 1, 2, 3, 4, 5, 6, 5, 6, 7}));
    std::vector<std::uint32_t> colors;
    stream->colors({0, 8}, colors);
    EXPECT_EQ(colors, std::vector<std::uint32_t>(8, color));

    ASSERT_EQ(mEGL->models().size(), 1u);
    EGLModel* const model = *mEGL->models().begin();
    EXPECT_EQ(model->range().count, 12);
    EXPECT_EQ(model->primitiveType()->number(), EGL::TRIANGLE_LIST);
    EXPECT_EQ(model->texture(), font->fontTexture());

    destroyLabel(label);
    destroyFont(font);
    EXPECT_TRUE(mEGL->streams().empty());
    EXPECT_TRUE(mEGL->models().empty());
}

TEST_F(EGLFontTest, PixelWidthLabelAddsGlyphWidthsAndSpaces)
{
    setCellColumns('A', 3, 9);
    EGLFont* const font = createFont(texture(mImage), EGLFont::PIXEL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    const float lowerLeft = 0.0f;
    EGLLabel* const label = createLabel(mEGL, font, mBlender, "AAA", lowerLeft, lowerLeft, 0xFFFFFFFFu);

    EXPECT_FLOAT_EQ(label->labelWidth(), 3 * 14.0f + 2 * 4.0f);
    const std::vector<EGLVector> quads = labelPositions(12);
    EXPECT_FLOAT_EQ(quads[4].x, 18.0f) << "second glyph starts after 14 units and a space of 4";
    EXPECT_FLOAT_EQ(quads[11].x, 50.0f);
    EXPECT_FLOAT_EQ(quads[1].y, 0.0f);
    destroyLabel(label);
    destroyFont(font);
}

TEST_F(EGLFontTest, SettersRebuildOrRewriteTheLabel)
{
    EGLFont* const font = createFont(texture(mImage), EGLFont::CELL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    const float centre = 0.5f;
    EGLLabel* const label = createLabel(mEGL, font, mBlender, "AB", centre, centre, 0xFF000000u);

    label->setText("ABCD");
    EXPECT_EQ(labelStream()->vertexCount(), 16);
    EXPECT_EQ(labelStream()->indexCount(), 24);
    EXPECT_EQ((*mEGL->models().begin())->range().count, 24);
    EXPECT_FLOAT_EQ(label->labelWidth(), 4 * 32.0f + 3 * 4.0f);

    EGLStream* const stream = labelStream();
    label->setColor(0xFF00FF00u);
    EXPECT_EQ(labelStream(), stream) << "a new colour keeps the stream";
    std::vector<std::uint32_t> colors;
    stream->colors({0, 16}, colors);
    EXPECT_EQ(colors, std::vector<std::uint32_t>(16, 0xFF00FF00u));
    EXPECT_FALSE(stream->isChanging());

    EGLBlendingMethod* const additive = mEGL->blendingMethod(EGL::ADDITIVE_BLENDING);
    const std::size_t alphaUsers = mBlender->userCount();
    label->setBlender(additive);
    EXPECT_EQ((*mEGL->models().begin())->blendingMethod(), additive);
    EXPECT_EQ(mBlender->userCount(), alphaUsers - 2) << "the label and its model leave the old method";

    destroyLabel(label);
    destroyFont(font);
}

TEST_F(EGLFontTest, EmptyTextFailsBeforeTheLabelMakesOrChangesAnything)
{
    EGLFont* const font = createFont(texture(mImage), EGLFont::CELL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f);
    const float centre = 0.5f;
    const std::uint32_t black = 0xFF000000u;
    const std::string noIndices = "Error: Vertex format has no indices.";
    const std::size_t blenderUsers = mBlender->userCount();
    EXPECT_EQ(thrownBy([&] { createLabel(mEGL, font, mBlender, "", centre, centre, black); }), noIndices);
    EXPECT_TRUE(labels().empty());
    EXPECT_TRUE(mEGL->streams().empty());
    EXPECT_TRUE(mEGL->models().empty());
    EXPECT_FALSE(mEGL->hasUsers());
    EXPECT_FALSE(font->hasUsers());
    EXPECT_EQ(mBlender->userCount(), blenderUsers);

    EGLLabel* const label = createLabel(mEGL, font, mBlender, "AB", centre, centre, black);
    EGLStream* const stream = labelStream();
    EXPECT_EQ(thrownBy([&] { label->setText(""); }), noIndices);
    EXPECT_EQ(label->text(), "AB");
    EXPECT_EQ(mEGL->streams(), std::set<EGLStream*>{stream}) << "the label keeps its stream and model";
    EXPECT_FALSE(stream->isChanging());
    destroyLabel(label);
    destroyFont(font);
}

TEST_F(EGLFontTest, FontNeedsSixteenBySixteenCellsAndAKnownWidthMode)
{
    EGLTexture* const narrow = texture(EGLImage(16 * CELL - 1, 16 * CELL));
    EGLTexture* const square = texture(mImage);
    const struct
    {
        const char* what;
        std::function<void()> create;
        const char* expected;
    } cases[] = {
        {"columns", [&] { createFont(narrow, EGLFont::CELL_WIDTH, 4.0f, 0.0f, 32.0f, 32.0f); },
         "Assertion failure: 0 == (mFontTexture->image().columnCount() % GLYPH_COLUMN_COUNT)"},
        {"width mode 3", [&] { createFont(square, 3, 4.0f, 0.0f, 32.0f, 32.0f); },
         "Assertion failure: (MIN_WIDTH_MODE < mWidthMode) && (mWidthMode < MAX_WIDTH_MODE)"},
        {"negative space", [&] { createFont(square, EGLFont::CELL_WIDTH, -1.0f, 0.0f, 32.0f, 32.0f); },
         "Assertion failure: 0.0f <= mGlyphSpaceX"},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(thrownBy(testCase.create), testCase.expected) << testCase.what;
    EXPECT_TRUE(fonts().empty());
}
