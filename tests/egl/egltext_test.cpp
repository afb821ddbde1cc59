#include "egl/egltext.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <string>

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
