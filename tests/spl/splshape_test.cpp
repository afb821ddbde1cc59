#include "spl/splshape.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace
{

void expectVector(const SPLVector& actual, double x, double y)
{
    EXPECT_DOUBLE_EQ(actual.x(), x);
    EXPECT_DOUBLE_EQ(actual.y(), y);
}

void expectError(const std::function<void()>& call, const char* message)
{
    try
    {
        call();
        ADD_FAILURE() << "no error, expected \"" << message << "\"";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.kind(), "Error");
        EXPECT_STREQ(exception.description(), message);
        EXPECT_NE(std::string(exception.file()).find("spl"), std::string::npos);
    }
}

SPLSphere sphereAt(const SPLVector& position, double radius = 20.0)
{
    return SPLSphere(radius, 2.0, 1, 0.5, position, SPLVector(3, 4), SPLVector(6, -8), 1.5, 7);
}

void expectBounds(const SPLShape& shape, double xmin, double xmax, double ymin, double ymax)
{
    const SPLBox box = shape.box();
    EXPECT_DOUBLE_EQ(box.xmin(), xmin);
    EXPECT_DOUBLE_EQ(box.xmax(), xmax);
    EXPECT_DOUBLE_EQ(box.ymin(), ymin);
    EXPECT_DOUBLE_EQ(box.ymax(), ymax);
    const struct
    {
        int type;
        double coordinate;
    } edges[] = {
        {SPLEdgeType::LOWER, xmin}, {SPLEdgeType::UPPER, xmax}, {SPLEdgeType::UPPER, ymax}, {SPLEdgeType::LOWER, ymin}};
    for (int i = 0; i < 4; ++i)
    {
        const SPLEdge edge = shape.edge(i + 1);
        EXPECT_EQ(edge.type, edges[i].type) << "edge " << i + 1;
        EXPECT_DOUBLE_EQ(edge.coordinate, edges[i].coordinate) << "edge " << i + 1;
        EXPECT_EQ(edge.owner, &shape) << "edge " << i + 1;
    }
}

} // namespace

TEST(SPLSphere, BoxAndEdgesDescribeTheCurrentPositionAndRadius)
{
    SPLSphere sphere = sphereAt(SPLVector(100, 50));
    expectBounds(sphere, 80, 120, 30, 70);
    sphere.setPosition(SPLVector(-10, 0));
    expectBounds(sphere, -30, 10, -20, 20);
    sphere.setRadius(5);
    expectBounds(sphere, -15, -5, -5, 5);
}

TEST(SPLSphere, AccelerationFollowsForceAndMass)
{
    SPLSphere sphere = sphereAt(SPLVector(0, 0));
    expectVector(sphere.acceleration(), 3, -4);
    sphere.setMass(4.0);
    expectVector(sphere.acceleration(), 1.5, -2);
    sphere.setForce(SPLVector(2, 2));
    expectVector(sphere.acceleration(), 0.5, 0.5);
}

TEST(SPLSphere, IntegrationUnderConstantAccelerationIsExact)
{
    SPLSphere sphere(20.0, 2.0, 1, 0.0, SPLVector(100, 50), SPLVector(0, 0), SPLVector(0, -20), 0.0, 0);
    sphere.integrate(0.5);
    expectVector(sphere.position(), 100, 48.75);
    expectVector(sphere.velocity(), 0, -5);
    expectVector(sphere.acceleration(), 0, -10);
    expectBounds(sphere, 80, 120, 28.75, 68.75);
}

TEST(SPLSphere, CloneCopiesEveryQuantityIntoANewSphere)
{
    const SPLSphere sphere = sphereAt(SPLVector(100, 50));
    const std::unique_ptr<SPLShape> copy(sphere.clone());
    EXPECT_EQ(copy->kind(), SPLShapeKind::SPHERE);
    EXPECT_EQ(copy->radius(), 20.0);
    EXPECT_EQ(copy->mass(), 2.0);
    EXPECT_EQ(copy->solid(), 1);
    EXPECT_EQ(copy->drag(), 0.5);
    expectVector(copy->position(), 100, 50);
    expectVector(copy->velocity(), 3, 4);
    expectVector(copy->force(), 6, -8);
    expectVector(copy->acceleration(), 3, -4);
    EXPECT_EQ(copy->time(), 1.5);
    EXPECT_EQ(copy->tag(), 7);
    expectBounds(*copy, 80, 120, 30, 70);
}

TEST(SPLSphere, RefusesHeightWidthAndUnknownEdges)
{
    SPLSphere sphere = sphereAt(SPLVector(0, 0));
    expectError([&] { sphere.setHeight(1.0); }, "Spheres have no height.");
    expectError([&] { sphere.height(); }, "Spheres have no height.");
    expectError([&] { sphere.setWidth(1.0); }, "Spheres have no width.");
    expectError([&] { sphere.width(); }, "Sheres have no width.");
    expectError([&] { sphere.edge(0); }, "Unknown edge.");
    expectError([&] { sphere.edge(5); }, "Unknown edge.");
}

namespace
{

// A set through one of the locker's three locks, and the matching getter.
struct LockedQuantity
{
    const char* name;
    std::function<SPLObjectLocker(int lock)> make;
    std::function<void(SPLShape&, const SPLVector&)> set;
    std::function<SPLVector(const SPLShape&)> get;
};

const SPLSphere WRAPPED(1.0, 1.0, 2, 0.0, SPLVector(1, 2), SPLVector(1, 2), SPLVector(1, 2), 0.0, 0);

const LockedQuantity QUANTITIES[] = {
    {"position", [](int lock) { return SPLObjectLocker(WRAPPED, lock, 1, 1); },
     [](SPLShape& s, const SPLVector& v) { s.setPosition(v); }, [](const SPLShape& s) { return s.position(); }},
    {"velocity", [](int lock) { return SPLObjectLocker(WRAPPED, 1, lock, 1); },
     [](SPLShape& s, const SPLVector& v) { s.setVelocity(v); }, [](const SPLShape& s) { return s.velocity(); }},
    {"force", [](int lock) { return SPLObjectLocker(WRAPPED, 1, 1, lock); },
     [](SPLShape& s, const SPLVector& v) { s.setForce(v); }, [](const SPLShape& s) { return s.force(); }},
};

} // namespace

TEST(SPLObjectLocker, EachLockKindFiltersItsQuantity)
{
    const struct
    {
        int lock;
        double x, y;
    } kinds[] = {{SPLLockKind::FREE, 5, 7},
                 {SPLLockKind::KEEP_X, 1, 7},
                 {SPLLockKind::KEEP_Y, 5, 2},
                 {SPLLockKind::FIXED, 1, 2}};
    for (const LockedQuantity& quantity : QUANTITIES)
    {
        for (const auto& kind : kinds)
        {
            SCOPED_TRACE(std::string(quantity.name) + " lock " + std::to_string(kind.lock));
            SPLObjectLocker locker = quantity.make(kind.lock);
            quantity.set(locker, SPLVector(5, 7));
            expectVector(quantity.get(locker), kind.x, kind.y);
        }
        SPLObjectLocker unknown = quantity.make(5);
        expectError([&] { quantity.set(unknown, SPLVector(5, 7)); }, "Unknown lock.");
    }
}

TEST(SPLObjectLocker, FixedForceLeavesTheAccelerationUnchanged)
{
    SPLObjectLocker locker(WRAPPED, 1, 1, SPLLockKind::FIXED);
    locker.setForce(SPLVector(100, 100));
    expectVector(locker.acceleration(), 1, 2);
}

TEST(SPLObjectLocker, OwnBoxAndEdgesFollowPositionAndRadiusWithTheLockerAsOwner)
{
    SPLObjectLocker locker(sphereAt(SPLVector(100, 50)), SPLLockKind::KEEP_X, 1, 1);
    expectBounds(locker, 80, 120, 30, 70);
    locker.setPosition(SPLVector(0, 0));
    expectBounds(locker, 80, 120, -20, 20);
    locker.setRadius(10);
    expectBounds(locker, 90, 110, -10, 10);
    expectError([&] { locker.edge(5); }, "Unknown edge.");
    expectError([&] { locker.setHeight(1.0); }, "Spheres have no height.");
    expectError([&] { locker.width(); }, "Sheres have no width.");
}

TEST(SPLObjectLocker, IntegrationMovesTheWrappedShapeWhateverTheLocks)
{
    SPLObjectLocker locker(sphereAt(SPLVector(100, 50)), SPLLockKind::FIXED, SPLLockKind::FIXED, SPLLockKind::FIXED);
    locker.integrate(1.0);
    expectVector(locker.position(), 104.5, 52);
    expectBounds(locker, 84.5, 124.5, 32, 72);
}

TEST(SPLObjectLocker, ForwardsEverythingElseToItsOwnCopyOfTheShape)
{
    SPLSphere original = sphereAt(SPLVector(100, 50));
    SPLObjectLocker locker(original, 1, 1, 1);
    locker.setTag(9);
    locker.setTime(2.5);
    locker.setDrag(0.25);
    locker.setMass(4.0);
    locker.setSolid(2);
    EXPECT_EQ(locker.tag(), 9);
    EXPECT_EQ(locker.time(), 2.5);
    EXPECT_EQ(locker.drag(), 0.25);
    EXPECT_EQ(locker.mass(), 4.0);
    EXPECT_EQ(locker.solid(), 2);
    EXPECT_EQ(locker.kind(), SPLShapeKind::SPHERE);
    EXPECT_EQ(locker.radius(), 20.0);
    expectVector(locker.acceleration(), 1.5, -2);
    EXPECT_EQ(original.tag(), 7) << "the locker changed the shape it was given";
}

TEST(SPLObjectLocker, CloneKeepsTheLocksAroundANewCopy)
{
    SPLObjectLocker locker(sphereAt(SPLVector(1, 2)), SPLLockKind::KEEP_X, SPLLockKind::FIXED, SPLLockKind::KEEP_Y);
    const std::unique_ptr<SPLShape> copy(locker.clone());
    copy->setPosition(SPLVector(5, 7));
    copy->setVelocity(SPLVector(5, 7));
    copy->setForce(SPLVector(5, 7));
    expectVector(copy->position(), 1, 7);
    expectVector(copy->velocity(), 3, 4);
    expectVector(copy->force(), 5, -8);
    expectVector(locker.position(), 1, 2);
    EXPECT_EQ(copy->edge(1).owner, copy.get());
}
