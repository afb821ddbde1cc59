#include "spl/splvector.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{

void expectVector(const SPLVector& actual, double x, double y)
{
    EXPECT_NEAR(actual.x(), x, 1e-12);
    EXPECT_NEAR(actual.y(), y, 1e-12);
}

} // namespace

TEST(SPLVector, ProjectsRotatesAndPointsFromOnePointToAnother)
{
    const SPLVector v(3.0, 4.0);
    EXPECT_DOUBLE_EQ(v.length(), 5.0);
    EXPECT_DOUBLE_EQ(v.squaredLength(), 25.0);
    expectVector(v.normalized(), 0.6, 0.8);
    expectVector(SPLVector(2.0, 0.0).project(v), 3.0, 0.0);
    expectVector(SPLVector(1.0, 1.0).project(SPLVector(2.0, 0.0)), 1.0, 1.0);
    expectVector(SPLVector(1.0, 0.0).rotated(std::numbers::pi / 2), 0.0, 1.0);
    expectVector(SPLVector(1.0, 2.0).to(SPLVector(4.0, 0.0)), 3.0, -2.0);
    expectVector(scaled(2.0, v), 6.0, 8.0);
    expectVector(v / 2.0, 1.5, 2.0);
    expectVector(v.negated(), -3.0, -4.0);
}

TEST(SPLVector, ZeroVectorNormalizesToZeroInsteadOfNaN)
{
    expectVector(SPLVector().normalized(), 0.0, 0.0);
}

TEST(SPLBox, DefaultBoxIsEmpty)
{
    const SPLBox box;
    EXPECT_EQ(box.xmin(), 1.0);
    EXPECT_EQ(box.xmax(), -1.0);
    EXPECT_EQ(box.ymin(), 1.0);
    EXPECT_EQ(box.ymax(), -1.0);
}

TEST(SPLBox, PointClassNumbersRegionsRowByRowFromTopLeftWithSidesOutside)
{
    const SPLBox box(0.0, 10.0, 0.0, 10.0);
    const struct
    {
        double x, y;
        int pointClass;
    } cases[] = {
        {-1, 11, 0}, {5, 11, 1},  {11, 11, 2}, {-1, 5, 3}, {5, 5, 4},  {11, 5, 5}, {-1, -1, 6},
        {5, -1, 7},  {11, -1, 8}, {0, 5, 3},   {10, 5, 5}, {5, 10, 1}, {5, 0, 7},  {0, 0, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(box.pointClass(SPLVector(c.x, c.y)), c.pointClass) << "(" << c.x << ", " << c.y << ")";
}

TEST(SPLBox, CornersAreNumberedTopLeftTopRightBottomLeftBottomRight)
{
    const SPLBox box(1.0, 2.0, 3.0, 4.0);
    expectVector(box.corner(1), 1.0, 4.0);
    expectVector(box.corner(2), 2.0, 4.0);
    expectVector(box.corner(3), 1.0, 3.0);
    expectVector(box.corner(4), 2.0, 3.0);
    for (const int corner : {0, 5})
    {
        try
        {
            box.corner(corner);
            ADD_FAILURE() << "corner " << corner << " accepted";
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.kind(), "Error");
            EXPECT_STREQ(exception.description(), "Unknown corner.");
        }
    }
}

TEST(SPLBox, IntersectionIsPerAxisWithDisjointAxesZeroedAndTouchingAxesAPoint)
{
    const SPLBox overlapping = SPLBox(0, 10, 0, 10).intersection(SPLBox(5, 20, -5, 3));
    EXPECT_EQ(overlapping.xmin(), 5.0);
    EXPECT_EQ(overlapping.xmax(), 10.0);
    EXPECT_EQ(overlapping.ymin(), 0.0);
    EXPECT_EQ(overlapping.ymax(), 3.0);

    const SPLBox touchingInX = SPLBox(0, 10, 0, 10).intersection(SPLBox(10, 20, 30, 40));
    EXPECT_EQ(touchingInX.xmin(), 10.0);
    EXPECT_EQ(touchingInX.xmax(), 10.0);
    EXPECT_EQ(touchingInX.ymin(), 0.0);
    EXPECT_EQ(touchingInX.ymax(), 0.0);
}

TEST(SPLPolynomial, PositivePairForcePushesAwayAndCoincidentPointsFeelNone)
{
    const SPLPolynomial polynomial(1.0, 2.0, 0.0, 0.5);
    EXPECT_DOUBLE_EQ(polynomial.value(2.0), 1.0 + 4.0 + 4.0);
    expectVector(polynomial.pairForce(SPLVector(0, 0), SPLVector(2, 0)), -9.0, 0.0);
    expectVector(polynomial.pairForce(SPLVector(1, 1), SPLVector(1, 1)), 0.0, 0.0);
}

TEST(SPLVortex, ActsOnlyWithinItsRadiiAndNotAtItsCentre)
{
    const SPLPolynomial constant(-15.0, 0.0, 0.0, 0.0);
    const SPLVortex vortex(SPLVector(0, 0), constant, constant, 1.0, 1000.0);
    for (const SPLVector p : {SPLVector(0, 0), SPLVector(0.5, 0.5), SPLVector(1000.5, 0)})
    {
        expectVector(vortex.radialForce(p), 0.0, 0.0);
        expectVector(vortex.tangentialForce(p), 0.0, 0.0);
    }
    const SPLVortex anywhere(SPLVector(0, 0), constant, constant, 0.0, 1000.0);
    expectVector(anywhere.radialForce(SPLVector(0, 0)), 0.0, 0.0);
}

TEST(SPLVortex, ConstantPolynomialPullsWithTheSameStrengthAtEveryDistance)
{
    const SPLVortex vortex(SPLVector(10, 0), SPLPolynomial(-15.0, 0, 0, 0), SPLPolynomial(2.0, 0, 0, 0), 1.0, 1e6);
    for (const double r : {1.0, 3.0, 250.0, 1e6})
    {
        expectVector(vortex.radialForce(SPLVector(10 + r, 0)), -15.0, 0.0);
        // Counter-clockwise around the centre for a positive magnitude.
        expectVector(vortex.tangentialForce(SPLVector(10 + r, 0)), 0.0, 2.0);
    }
    expectVector(vortex.radialForce(SPLVector(10, -3)), 0.0, 15.0);
}

TEST(SPLVortex, StrengthIsAPolynomialInTheInverseDistance)
{
    const SPLVortex vortex(SPLVector(0, 0), SPLPolynomial(1.0, 8.0, 16.0, 64.0), SPLPolynomial(), 1.0, 1e6);
    expectVector(vortex.radialForce(SPLVector(0, 4)), 0.0, 1.0 + 2.0 + 1.0 + 1.0);
    expectVector(vortex.tangentialForce(SPLVector(0, 4)), 0.0, 0.0);
}

TEST(SPLVortex, CloneIsAnIndependentCopy)
{
    SPLVortex vortex(SPLVector(0, 0), SPLPolynomial(-15.0, 0, 0, 0), SPLPolynomial(), 1.0, 1e6);
    SPLVortex* copy = vortex.clone();
    copy->setRadial(SPLPolynomial(4.0, 0, 0, 0));
    expectVector(vortex.radialForce(SPLVector(2, 0)), -15.0, 0.0);
    expectVector(copy->radialForce(SPLVector(2, 0)), 4.0, 0.0);
    delete copy;
}
