#include "foundation/geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(EGCPoint, SettersReturnTheStoredValueAndGetCopiesBoth)
{
    EGCPoint point(1, 2);
    EXPECT_EQ(point.setX(-7), -7);
    EXPECT_EQ(point.setY(9), 9);
    std::int32_t x = 0;
    std::int32_t y = 0;
    point.get(x, y);
    EXPECT_EQ(x, -7);
    EXPECT_EQ(y, 9);
    point.set(3, 4);
    EXPECT_EQ(point.x(), 3);
    EXPECT_EQ(point.y(), 4);
}

TEST(EGCRectangle, RightAndBottomAreTheLastCellInsideAndValidityFollowsTheSize)
{
    struct Case
    {
        std::int32_t x, y, width, height;
        std::int32_t right, bottom;
        bool valid;
    };
    const Case cases[] = {
        {0, 0, 1, 1, 0, 0, true},    {0, 0, 0, 1, -1, 0, true},      {0, 0, -1, 1, -2, 0, false},
        {0, 0, 1, -1, 0, -2, false}, {10, 20, 30, 40, 39, 59, true}, {-5, -5, 10, 0, 4, -6, true},
    };
    for (const Case& c : cases)
    {
        const EGCRectangle rectangle(c.x, c.y, c.width, c.height);
        EXPECT_EQ(rectangle.right(), c.right) << c.x << "," << c.width;
        EXPECT_EQ(rectangle.bottom(), c.bottom) << c.y << "," << c.height;
        EXPECT_EQ(rectangle.isValid(), c.valid) << c.width << "x" << c.height;
    }
}

TEST(EGCRectangle, SettersReturnTheLastStoredValueAndGettersCopyOut)
{
    EGCRectangle rectangle(0, 0, 0, 0);
    EXPECT_EQ(rectangle.setPosition(5, 6), 6);
    EXPECT_EQ(rectangle.setWidth(7), 7);
    EXPECT_EQ(rectangle.setHeight(8), 8);
    EXPECT_EQ(rectangle.setY(-1), -1);

    std::int32_t x = 0, y = 0, width = 0, height = 0;
    rectangle.getPosition(x, y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, -1);
    rectangle.getSize(width, height);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 8);

    EXPECT_EQ(rectangle.set(1, 2, 3, 4), 4);
    rectangle.get(x, y, width, height);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 4);
}
