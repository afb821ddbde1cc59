#include "egl/egld3d8method.h"

#include "egltesting.h"

#include <gtest/gtest.h>

#include <cstdint>

// Lookups and numbers; the render states the methods write are seen in drawn pixels (egld3d8_test).

namespace
{

const char KEY = 0;
const char KEYS[3] = {};

} // namespace

TEST(EGLD3D8Methods, LookupByNumberGivesTheEntryOfThatNumber)
{
    EGLD3D8PrimitiveTypes primitiveTypes(nullptr, &KEY, &KEY, &KEY);
    EGLD3D8ShadingMethods shadingMethods(nullptr, &KEY, &KEY, &KEY);
    EGLD3D8BlendingMethods blendingMethods(nullptr, &KEY, &KEY, &KEY);
    for (std::int32_t number = EGL::POINT_LIST; number <= EGL::TRIANGLE_FAN; ++number)
    {
        EXPECT_EQ(primitiveTypes.primitiveType(number)->number(), number);
        EXPECT_TRUE(primitiveTypes.isMember(primitiveTypes.primitiveType(number)));
    }
    for (std::int32_t number = EGL::FLAT_SHADING; number <= EGL::GOURAUD_SHADING; ++number)
        EXPECT_EQ(shadingMethods.shadingMethod(number)->number(), number);
    for (std::int32_t number = EGL::NO_BLENDING; number <= EGL::ADDITIVE_BLENDING; ++number)
    {
        EXPECT_EQ(blendingMethods.blendingMethod(number)->number(), number);
        EXPECT_TRUE(blendingMethods.blendingMethod(number)->invariant());
    }
}

TEST(EGLD3D8Methods, EntriesCarryTheLibraryKeys)
{
    EGLD3D8PrimitiveTypes primitiveTypes(nullptr, &KEYS[0], &KEYS[1], &KEYS[2]);
    EGLPrimitiveType* type = primitiveTypes.primitiveType(EGL::TRIANGLE_STRIP);
    EXPECT_TRUE(type->isChangeKey(&KEYS[0]));
    EXPECT_TRUE(type->isResourceKey(&KEYS[1]));
    EXPECT_TRUE(type->isSwitchKey(&KEYS[2]));
}

TEST(EGLD3D8Methods, UnknownNumbersThrowTheTablesErrors)
{
    EGLD3D8PrimitiveTypes primitiveTypes(nullptr, &KEY, &KEY, &KEY);
    EGLD3D8ShadingMethods shadingMethods(nullptr, &KEY, &KEY, &KEY);
    EGLD3D8BlendingMethods blendingMethods(nullptr, &KEY, &KEY, &KEY);
    EXPECT_EQ(thrownBy([&] { primitiveTypes.primitiveType(0); }), "Error: Unknown interpretation method.");
    EXPECT_EQ(thrownBy([&] { primitiveTypes.primitiveType(7); }), "Error: Unknown interpretation method.");
    EXPECT_EQ(thrownBy([&] { shadingMethods.shadingMethod(0); }), "Error: Unknown shading method");
    EXPECT_EQ(thrownBy([&] { shadingMethods.shadingMethod(3); }), "Error: Unknown shading method");
    EXPECT_EQ(thrownBy([&] { blendingMethods.blendingMethod(0); }), "Error: Unknown blending method.");
    EXPECT_EQ(thrownBy([&] { blendingMethods.blendingMethod(4); }), "Error: Unknown blending method.");
}

TEST(EGLD3D8Methods, CorruptStoredValuesThrowTheMethodsErrors)
{
    const EGLD3D8PrimitiveType primitiveType(nullptr, 7);
    const EGLD3D8ShadingMethod shadingMethod(nullptr, 3);
    EGLD3D8BlendingMethod blendingMethod(nullptr, 4);
    EXPECT_EQ(thrownBy([&] { primitiveType.number(); }), "Error: Unknown primitive type.");
    EXPECT_EQ(thrownBy([&] { shadingMethod.number(); }), "Error: Unknoen shade mode.");
    EXPECT_FALSE(blendingMethod.invariant());
    EXPECT_EQ(thrownBy([&] { blendingMethod.switchOn(&KEY); }), "Error: Unknown blending method.");
}

TEST(EGLD3D8Methods, PrimitiveTypeSwitchesOnlyTheWrappersType)
{
    // No device is open: switching a primitive type on must not reach one.
    const HWND window = testWindow();
    EGLD3D8Wrapper wrapper(&window);
    EGLD3D8PrimitiveTypes primitiveTypes(&wrapper, &KEY, &KEY, &KEY);
    primitiveTypes.primitiveType(EGL::LINE_LIST)->switchOn(&KEY);
    EXPECT_EQ(wrapper.primitiveCount(6), 3);
    primitiveTypes.primitiveType(EGL::TRIANGLE_FAN)->switchOn(&KEY);
    EXPECT_EQ(wrapper.primitiveCount(6), 4);
}

TEST(EGLD3D8Methods, CannotBeCopied)
{
    EGLD3D8BlendingMethods blendingMethods(nullptr, &KEY, &KEY, &KEY);
    EXPECT_EQ(thrownBy([&] { EGLD3D8BlendingMethods copy(blendingMethods); }),
              "Error: Value semantics not implemented.");
    EXPECT_EQ(thrownBy([&] { EGLD3D8BlendingMethod copy(*blendingMethods.blendingMethod(1)); }),
              "Error: Value semantics not implemented.");
}
