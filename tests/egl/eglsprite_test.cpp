#include "egl/eglsprite.h"

#include "egl/eglboot.h"
#include "egl/egltext.h"
#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace
{

// A library in state CLOSED: streams, textures and models are made and filled without a device.
class EGLSpriteTypeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = testWindow();
        mEGL = openEGL(DIRECT3D8_IMPLEMENTATION, &mWindow);
        mTexture = mEGL->createTexture(EGLImage(256, 64));
        mBlender = mEGL->blendingMethod(EGL::ALPHA_BLENDING);
    }

    void TearDown() override
    {
        mEGL->destroy(mTexture);
        closeEGL(mEGL);
    }

    // The one model of the sprite type whose range starts at the vertex.
    EGLModel* modelFrom(std::int32_t firstVertex) const
    {
        for (EGLModel* model : mEGL->models())
            if (model->range().first == firstVertex)
                return model;
        return nullptr;
    }

    void expectCorners(EGLStream* stream, std::int32_t firstVertex, const std::vector<EGLVector>& expected,
                       bool addresses) const
    {
        std::vector<EGLVector> actual;
        const EGLRange corners = {firstVertex, 4};
        if (addresses)
            stream->addresses(corners, actual);
        else
            stream->positions(corners, actual);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t corner = 0; corner < expected.size(); ++corner)
        {
            EXPECT_FLOAT_EQ(actual[corner].x, expected[corner].x) << "corner " << corner;
            EXPECT_FLOAT_EQ(actual[corner].y, expected[corner].y) << "corner " << corner;
        }
    }

    HWND mWindow = nullptr;
    EGL* mEGL = nullptr;
    EGLTexture* mTexture = nullptr;
    EGLBlendingMethod* mBlender = nullptr;
};

} // namespace

TEST_F(EGLSpriteTypeTest, FourByTwoGridHasOneQuadPerFrameAddressedAtPixelCentres)
{
    const float centre = 0.5f;
    EGLSpriteType* const spriteType = createSpriteType(mEGL, mBlender, mTexture, 4, 2, 32.0f, 16.0f, centre, centre);

    ASSERT_EQ(mEGL->streams().size(), 1u);
    EGLStream* const stream = *mEGL->streams().begin();
    EXPECT_EQ(stream->vertexFormat(), EGL::TEXTURE_VERTICES);
    EXPECT_EQ(stream->vertexCount(), 32);
    EXPECT_FALSE(stream->isIndexed());
    EXPECT_EQ(mEGL->models().size(), 8u);

    // Frame (1, 1) is frame 5: vertices 20 to 23, frames of 64 x 32 pixels.
    EGLModel* const frame5 = modelFrom(20);
    ASSERT_NE(frame5, nullptr);
    EXPECT_EQ(frame5->range().count, 4);
    EXPECT_EQ(frame5->stream(), stream);
    EXPECT_EQ(frame5->texture(), mTexture);
    EXPECT_EQ(frame5->blendingMethod(), mBlender);
    EXPECT_EQ(frame5->primitiveType()->number(), EGL::TRIANGLE_STRIP);
    EXPECT_EQ(frame5->shadingMethod()->number(), EGL::FLAT_SHADING);
    expectCorners(
        stream, 20,
        {mTexture->address(64, 32), mTexture->address(64, 63), mTexture->address(127, 32), mTexture->address(127, 63)},
        true);
    expectCorners(stream, 20, {{-16.0f, 8.0f}, {-16.0f, -8.0f}, {16.0f, 8.0f}, {16.0f, -8.0f}}, false);

    std::vector<std::uint32_t> colors;
    stream->colors({0, 32}, colors);
    EXPECT_EQ(colors, std::vector<std::uint32_t>(32, 0xFFFFFFFFu));

    destroySpriteType(spriteType);
    EXPECT_TRUE(mEGL->streams().empty());
    EXPECT_TRUE(mEGL->models().empty());
}

TEST_F(EGLSpriteTypeTest, OneByOneGridCoversTheWholeTextureFromTheLowerLeftOrigin)
{
    const float corner = 0.0f;
    EGLSpriteType* const spriteType = createSpriteType(mEGL, mBlender, mTexture, 1, 1, 32.0f, 16.0f, corner, corner);
    ASSERT_EQ(mEGL->models().size(), 1u);
    EGLStream* const stream = *mEGL->streams().begin();
    expectCorners(
        stream, 0,
        {mTexture->address(0, 0), mTexture->address(0, 63), mTexture->address(255, 0), mTexture->address(255, 63)},
        true);
    expectCorners(stream, 0, {{0.0f, 16.0f}, {0.0f, 0.0f}, {32.0f, 16.0f}, {32.0f, 0.0f}}, false);
    destroySpriteType(spriteType);
}

TEST_F(EGLSpriteTypeTest, GridMustDivideTheTextureAndValuesMustBeSet)
{
    const float centre = 0.5f;
    const struct
    {
        const char* what;
        std::function<void()> create;
        const char* expected;
    } cases[] = {
        {"columns", [&] { createSpriteType(mEGL, mBlender, mTexture, 3, 2, 32.0f, 16.0f, centre, centre); },
         "Assertion failure: 0 == (TEXTURE_COLUMN_COUNT % mFrameColumnCount)"},
        {"rows", [&] { createSpriteType(mEGL, mBlender, mTexture, 4, 3, 32.0f, 16.0f, centre, centre); },
         "Assertion failure: 0 == (TEXTURE_ROW_COUNT % mFrameRowCount)"},
        {"no texture", [&] { createSpriteType(mEGL, mBlender, nullptr, 4, 2, 32.0f, 16.0f, centre, centre); },
         "Assertion failure: mTexture"},
        {"no frame columns", [&] { createSpriteType(mEGL, mBlender, mTexture, 0, 2, 32.0f, 16.0f, centre, centre); },
         "Assertion failure: 0 < mFrameColumnCount"},
        {"no height", [&] { createSpriteType(mEGL, mBlender, mTexture, 4, 2, 32.0f, 0.0f, centre, centre); },
         "Assertion failure: 0.0f < mHeight"},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(thrownBy(testCase.create), testCase.expected) << testCase.what;
    EXPECT_TRUE(spriteTypes().empty());
}

TEST_F(EGLSpriteTypeTest, RegistrationsFollowTheLifecycleOfTypesAndSprites)
{
    const std::size_t textureUsers = mTexture->userCount();
    const std::size_t blenderUsers = mBlender->userCount();
    const float centre = 0.5f;
    EGLSpriteType* const spriteType = createSpriteType(mEGL, mBlender, mTexture, 4, 2, 32.0f, 16.0f, centre, centre);
    EGLSpriteType* const otherType = createSpriteType(mEGL, mBlender, mTexture, 1, 1, 8.0f, 8.0f, centre, centre);
    // The type and each of its eight models use the texture and the blending method.
    EXPECT_EQ(mTexture->userCount(), textureUsers + 9 + 2);
    EXPECT_EQ(mBlender->userCount(), blenderUsers + 9 + 2);

    EGLSprite* const sprite = createSprite(spriteType, 1, 1);
    EXPECT_TRUE(isOpen(sprite));
    EXPECT_EQ(spriteType->userCount(), 1u);
    EXPECT_FLOAT_EQ(sprite->width(), 32.0f);
    sprite->setSpriteType(otherType);
    EXPECT_FALSE(spriteType->hasUsers());
    EXPECT_EQ(otherType->userCount(), 1u);
    EXPECT_FLOAT_EQ(sprite->height(), 8.0f);

    destroySprite(sprite);
    EXPECT_FALSE(isOpen(sprite));
    EXPECT_FALSE(otherType->hasUsers());
    destroySprite(nullptr);
    EXPECT_FALSE(isOpen(static_cast<EGLSprite*>(nullptr)));

    EXPECT_EQ(spriteTypes().size(), 2u);
    destroySpriteType(spriteType);
    destroySpriteType(otherType);
    destroySpriteType(nullptr);
    EXPECT_FALSE(isOpen(spriteType));
    EXPECT_EQ(mTexture->userCount(), textureUsers);
    EXPECT_EQ(mBlender->userCount(), blenderUsers);
    EXPECT_TRUE(sprites().empty());
}

// Drawing into the host's frame ----------------------------------------------------------------------------------

namespace
{

constexpr std::uint32_t RED = 0xFFFF0000u;
constexpr std::uint32_t GREEN = 0xFF00FF00u;
constexpr std::uint32_t BLUE = 0xFF0000FFu;
constexpr std::uint32_t WHITE = 0xFFFFFFFFu;
constexpr std::uint32_t GREY = 0xFF404040u;

std::uint32_t rgb(std::uint32_t color)
{
    return color & 0x00FFFFFFu;
}

// A device opened on the test window, with a space of one unit per pixel: world (x, y) is pixel column
// x + TEST_WINDOW_WIDTH / 2 and row TEST_WINDOW_HEIGHT / 2 - y.
class EGLDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWindow = testWindow();
        mEGL = openEGL(DIRECT3D8_IMPLEMENTATION, &mWindow);
        for (std::int32_t i = 0; i < mEGL->deviceCount() && mEGL->refreshState() == EGL::CLOSED; ++i)
            if (mEGL->device(i)->target() == EGL::WINDOW_TARGET)
                mEGL->openDevice(mEGL->device(i));
        ASSERT_EQ(mEGL->refreshState(), EGL::OPEN);
        const float halfWidth = TEST_WINDOW_WIDTH / 2.0f;
        const float halfHeight = TEST_WINDOW_HEIGHT / 2.0f;
        mSpace = mEGL->createSpace(-halfWidth, halfWidth, -halfHeight, halfHeight);
    }

    void TearDown() override
    {
        mEGL->destroy(mSpace);
        if (mEGL->refreshState() != EGL::CLOSED)
            mEGL->closeDevice();
        closeEGL(mEGL);
    }

    HWND mWindow = nullptr;
    EGL* mEGL = nullptr;
    EGLSpace* mSpace = nullptr;
};

} // namespace

TEST_F(EGLDrawTest, SpriteFrameAndLabelLandWhereTheyAreDrawn)
{
    // Two frames of 32 x 64 pixels (device textures are square): red, then green.
    EGLImage frames(64, 64);
    for (std::int32_t row = 0; row < 64; ++row)
        for (std::int32_t column = 0; column < 64; ++column)
            frames.pixel(column, row) = column < 32 ? RED : GREEN;
    EGLTexture* const spriteTexture = mEGL->createTexture(frames);
    EGLBlendingMethod* const opaque = mEGL->blendingMethod(EGL::NO_BLENDING);
    const float centre = 0.5f;
    EGLSpriteType* const spriteType = createSpriteType(mEGL, opaque, spriteTexture, 2, 1, 16.0f, 16.0f, centre, centre);
    EGLSprite* const sprite = createSprite(spriteType, 1, 0);

    // A font whose 'A' cell is all white, drawn 8 x 8 units and coloured blue by the label.
    EGLImage glyphs(256, 256);
    for (std::int32_t row = 0; row < 256; ++row)
        for (std::int32_t column = 0; column < 256; ++column)
            glyphs.pixel(column, row) = (column / 16 == 'A' % 16 && row / 16 == 'A' / 16) ? WHITE : 0u;
    EGLTexture* const fontTexture = mEGL->createTexture(glyphs);
    EGLFont* const font = createFont(fontTexture, EGLFont::CELL_WIDTH, 0.0f, 0.0f, 8.0f, 8.0f);
    EGLLabel* const label = createLabel(mEGL, font, opaque, "A", centre, centre, BLUE);

    EGLTransform* const spritePlace = mEGL->createTransform();
    EGLTransform* const labelPlace = mEGL->createTransform();
    mEGL->beginChange(spritePlace);
    spritePlace->setTranslation({-16.0f, 0.0f});
    mEGL->endChange(spritePlace);
    mEGL->beginChange(labelPlace);
    labelPlace->setTranslation({16.0f, 4.0f});
    mEGL->endChange(labelPlace);

    mEGL->beginScene(mSpace);
    mEGL->clearTarget(GREY);
    mEGL->pushTransform(spritePlace);
    sprite->drawSprite();
    mEGL->popTransform();
    mEGL->pushTransform(labelPlace);
    label->drawLabel();
    mEGL->popTransform();
    mEGL->endScene();
    mEGL->present();

    // The sprite covers x -24 to -8 and y -8 to 8: columns 8 to 23, rows 16 to 31.
    const struct
    {
        const char* what;
        int column;
        int row;
        std::uint32_t color;
    } expected[] = {
        {"sprite centre shows frame 1", 16, 24, GREEN},
        {"sprite's upper left pixel", 8, 16, GREEN},
        {"sprite's lower right pixel", 23, 31, GREEN},
        {"left of the sprite", 6, 24, GREY},
        {"above the sprite", 16, 14, GREY},
        {"label centre: white glyph times blue", 48, 20, BLUE},
        {"below the label", 48, 26, GREY},
        {"between sprite and label", 32, 24, GREY},
    };
    for (const auto& pixel : expected)
        EXPECT_EQ(rgb(framePixel(pixel.column, pixel.row)), rgb(pixel.color)) << pixel.what;

    mEGL->destroy(labelPlace);
    mEGL->destroy(spritePlace);
    destroyLabel(label);
    destroyFont(font);
    destroySprite(sprite);
    destroySpriteType(spriteType);
    mEGL->destroy(fontTexture);
    mEGL->destroy(spriteTexture);
}
