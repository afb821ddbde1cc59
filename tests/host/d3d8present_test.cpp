// Where a back buffer lands in a window of another size: scaled to fit, centred, black bars on the rest.

#include "host/d3d8present.h"

#include <gtest/gtest.h>

namespace
{

TEST(D3D8Present, FitRectKeepsTheAspectAndCentresThePicture)
{
    struct Case
    {
        int sourceWidth, sourceHeight, windowWidth, windowHeight;
        RECT expected;
    };
    for (const Case c : {
             Case{800, 600, 800, 600, {0, 0, 800, 600}},       // the same size: one to one
             Case{800, 600, 1600, 1200, {0, 0, 1600, 1200}},   // the same aspect: scaled up
             Case{800, 600, 1920, 1080, {240, 0, 1680, 1080}}, // wider display: bars left and right
             Case{800, 600, 1280, 1024, {0, 32, 1280, 992}},   // taller display: bars above and below
             Case{640, 480, 1366, 768, {171, 0, 1195, 768}},   // an odd remainder goes to the right
             Case{800, 600, 0, 0, {0, 0, 0, 0}},               // a window without client area
         })
    {
        const RECT r = d3d8FitRect(c.sourceWidth, c.sourceHeight, c.windowWidth, c.windowHeight);
        EXPECT_EQ(r.left, c.expected.left) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.top, c.expected.top) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.right, c.expected.right) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.windowWidth << "x" << c.windowHeight;
    }
}

} // namespace
