#include "spl/splsystem.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace
{

void expectVector(const SPLVector& actual, double x, double y)
{
    EXPECT_NEAR(actual.x(), x, 1e-9);
    EXPECT_NEAR(actual.y(), y, 1e-9);
}

void expectError(const std::function<void()>& call, const char* kind, const char* message)
{
    try
    {
        call();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.kind(), kind);
        EXPECT_STREQ(exception.description(), message);
    }
}

SPLSphere sphere(double x, double y, double vx = 0.0, double vy = 0.0, int solid = 1, double radius = 10.0,
                 double mass = 1.0)
{
    return SPLSphere(radius, mass, solid, 0.0, SPLVector(x, y), SPLVector(vx, vy), SPLVector(), 0.0, 0);
}

using PairSet = std::set<std::pair<const SPLShape*, const SPLShape*>>;

// The pairs of a list with each pair's two shapes in address order, so the order within a pair does not matter.
PairSet unordered(const std::vector<SPLShapePair>& pairs)
{
    PairSet set;
    for (const SPLShapePair& pair : pairs)
        set.insert(std::minmax<const SPLShape*>(pair.first(), pair.second()));
    return set;
}

class SPLSystemTest : public testing::Test
{
protected:
    void TearDown() override { destroySystem(system); }

    SPLSystem* system = createSystem();
};

} // namespace

TEST(SPLSystemLifecycle, CreatedSystemIsLiveUntilDestroyed)
{
    SPLSystem* system = createSystem();
    EXPECT_TRUE(systemIsLive(system));
    EXPECT_EQ(system->time(), 0.0);
    EXPECT_EQ(system->lockCount(), 0);
    destroySystem(system);
    EXPECT_FALSE(systemIsLive(system));
    expectError([&] { destroySystem(system); }, "Error", "Unknown system.");
}

TEST(SPLSystemLifecycle, DestroyingASystemReleasesEverythingItHolds)
{
    // The sanitizer build reports any shape, vortex or pair left behind.
    SPLSystem* system = createSystem();
    system->addShape(sphere(0, 0, 0, 0, 2));
    system->addShape(sphere(5, 0));
    system->addVortex(SPLVortex(SPLVector(), SPLPolynomial(-15, 0, 0, 0), SPLPolynomial(), 1.0, 1e6));
    system->lock();
    system->run(0.04, 4);
    EXPECT_EQ(system->overlaps().size(), 4u);
    destroySystem(system);
}

TEST_F(SPLSystemTest, AddedShapeIsAClockedCloneAndRemovingItDestroysIt)
{
    system->run(0.5, 1);
    const SPLSphere original = sphere(1, 2);
    SPLShape* stored = system->addShape(original);
    EXPECT_NE(stored, &original);
    EXPECT_EQ(stored->time(), 0.5);
    EXPECT_EQ(original.time(), 0.0);
    SPLShape* other = system->addShape(original);
    EXPECT_TRUE(std::is_sorted(system->shapes().begin(), system->shapes().end(), std::less<SPLShape*>()));
    system->removeShape(stored);
    EXPECT_EQ(system->shapes(), std::vector<SPLShape*>{other});
    expectError([&] { system->removeShape(stored); }, "Error", "Shape not stored in the system.");
}

TEST_F(SPLSystemTest, RemovedVortexNoLongerPulls)
{
    SPLVortex* vortex =
        system->addVortex(SPLVortex(SPLVector(), SPLPolynomial(-15, 0, 0, 0), SPLPolynomial(), 1.0, 1e6));
    SPLShape* body = system->addShape(sphere(100, 0, 0, 0, 1, 10, 5));
    system->step(0.1);
    expectVector(body->force(), -15, 0);
    system->removeVortex(vortex);
    system->step(0.1);
    expectVector(body->force(), 0, 0);
    expectError([&] { system->removeVortex(vortex); }, "Error", "Vortex not stored in the system.");
}

TEST_F(SPLSystemTest, ForcesAreRebuiltEveryStepFromDragAndVorticesWithoutTheMass)
{
    system->addVortex(SPLVortex(SPLVector(), SPLPolynomial(-15, 0, 0, 0), SPLPolynomial(2, 0, 0, 0), 1.0, 1e6));
    SPLShape* body = system->addShape(SPLSphere(10, 5, 1, 0.5, SPLVector(100, 0), SPLVector(0, 4), SPLVector(), 0, 0));
    system->step(0.0);
    // drag -0.5 * (0, 4), then the pull -15 along x and the turn +2 along y; the mass divides only afterwards.
    expectVector(body->force(), -15, 0);
    expectVector(body->acceleration(), -3, 0);
    system->step(0.0);
    expectVector(body->force(), -15, 0);
}

TEST_F(SPLSystemTest, SolidSpheresMeetingHeadOnArePushedApartAndBounced)
{
    SPLShape* a = system->addShape(sphere(0, 0, 5, 0));
    SPLShape* b = system->addShape(sphere(15, 0, -5, 0));
    system->step(0.1);
    expectVector(a->position(), -2.5, 0);
    expectVector(b->position(), 17.5, 0);
    expectVector(a->velocity(), -5, 0);
    expectVector(b->velocity(), 5, 0);
    EXPECT_EQ(unordered(system->collisions()), (PairSet{std::minmax<const SPLShape*>(a, b)}));
    EXPECT_TRUE(system->overlaps().empty());
    EXPECT_DOUBLE_EQ(system->time(), 0.1);
}

TEST_F(SPLSystemTest, BounceExchangesMomentumAlongTheLineOfCentresOnly)
{
    // Heavy a (mass 3) at rest, light b (mass 1) coming in at 45 degrees; the line of centres is x.
    SPLShape* a = system->addShape(sphere(0, 0, 0, 0, 1, 10, 3));
    SPLShape* b = system->addShape(sphere(19, 0, -4, 4, 1, 10, 1));
    system->step(0.0);
    expectVector(a->velocity(), -2, 0);
    expectVector(b->velocity(), 2, 4);
}

TEST_F(SPLSystemTest, OverlapWithANonSolidSphereIsListedAndChangesNothing)
{
    SPLShape* a = system->addShape(sphere(0, 0, 5, 0, 2));
    SPLShape* b = system->addShape(sphere(15, 0, -5, 0));
    system->step(0.1);
    expectVector(a->position(), 0.5, 0);
    expectVector(b->position(), 14.5, 0);
    expectVector(a->velocity(), 5, 0);
    expectVector(b->velocity(), -5, 0);
    EXPECT_EQ(unordered(system->overlaps()), (PairSet{std::minmax<const SPLShape*>(a, b)}));
    EXPECT_TRUE(system->collisions().empty());
}

TEST_F(SPLSystemTest, TouchingCirclesGiveNoPair)
{
    for (const int solid : {1, 2})
    {
        system->addShape(sphere(0, 100.0 * solid, 0, 0, solid));
        system->addShape(sphere(20, 100.0 * solid, 0, 0, solid));
    }
    system->step(0.1);
    EXPECT_TRUE(system->collisions().empty());
    EXPECT_TRUE(system->overlaps().empty());
}

TEST_F(SPLSystemTest, EveryPairOfAChainIsTested)
{
    SPLShape* a = system->addShape(sphere(0, 0, 0, 0, 2));
    SPLShape* b = system->addShape(sphere(9, 0, 0, 0, 2));
    SPLShape* c = system->addShape(sphere(18, 0, 0, 0, 2));
    system->step(0.0);
    EXPECT_EQ(unordered(system->overlaps()),
              (PairSet{std::minmax<const SPLShape*>(a, b), std::minmax<const SPLShape*>(b, c),
                       std::minmax<const SPLShape*>(a, c)}));
}

TEST_F(SPLSystemTest, CoincidentCentresPartAlongXWithoutNaN)
{
    SPLShape* a = system->addShape(sphere(3, 4, 1, 2));
    SPLShape* b = system->addShape(sphere(3, 4, -3, 5));
    system->step(0.0);
    // Pushed 10 each way along x; the x components of the velocities are exchanged, the y components kept.
    const SPLVector left = a->position().x() < b->position().x() ? a->position() : b->position();
    const SPLVector right = a->position().x() < b->position().x() ? b->position() : a->position();
    expectVector(left, -7, 4);
    expectVector(right, 13, 4);
    expectVector(a->velocity(), -3, 2);
    expectVector(b->velocity(), 1, 5);
    EXPECT_EQ(system->collisions().size(), 1u);
}

TEST_F(SPLSystemTest, LockedBodyStaysWhileTheOtherTakesItsHalfOfThePush)
{
    const int fixed = SPLLockKind::FIXED;
    SPLShape* wall = system->addShape(SPLObjectLocker(sphere(0, 0), fixed, fixed, fixed));
    SPLShape* ball = system->addShape(sphere(15, 0, -5, 0));
    system->step(0.0);
    expectVector(wall->position(), 0, 0);
    expectVector(wall->velocity(), 0, 0);
    expectVector(ball->position(), 17.5, 0);
    // The wall bounces as a body of its own mass would; only the change of its velocity is ignored.
    expectVector(ball->velocity(), 0, 0);
    EXPECT_EQ(wall->box().xmax(), 10.0);
}

TEST_F(SPLSystemTest, OtherShapeKindsAreRefused)
{
    // A shape whose kind the system does not know, built from a sphere so that everything else is real.
    class Square final : public SPLShape
    {
    public:
        explicit Square(const SPLSphere& inner) : mInner(inner.clone()) {}
        ~Square() override { delete mInner; }
        void setTag(int v) override { mInner->setTag(v); }
        void setTime(double v) override { mInner->setTime(v); }
        void setForce(const SPLVector& v) override { mInner->setForce(v); }
        void setDrag(double v) override { mInner->setDrag(v); }
        void setHeight(double) override {}
        void setMass(double v) override { mInner->setMass(v); }
        void setPosition(const SPLVector& v) override { mInner->setPosition(v); }
        void setRadius(double v) override { mInner->setRadius(v); }
        void setSolid(int v) override { mInner->setSolid(v); }
        void setVelocity(const SPLVector& v) override { mInner->setVelocity(v); }
        void setWidth(double) override {}
        void integrate(double dt) override { mInner->integrate(dt); }
        SPLVector acceleration() const override { return mInner->acceleration(); }
        int tag() const override { return mInner->tag(); }
        SPLShape* clone() const override { return new Square(static_cast<const SPLSphere&>(*mInner)); }
        double time() const override { return mInner->time(); }
        SPLEdge edge(int n) const override
        {
            SPLEdge edge = mInner->edge(n);
            edge.owner = const_cast<Square*>(this);
            return edge;
        }
        SPLVector force() const override { return mInner->force(); }
        SPLBox box() const override { return mInner->box(); }
        double drag() const override { return mInner->drag(); }
        double height() const override { return 0.0; }
        double mass() const override { return mInner->mass(); }
        SPLVector position() const override { return mInner->position(); }
        double radius() const override { return mInner->radius(); }
        int kind() const override { return 2; }
        int solid() const override { return mInner->solid(); }
        SPLVector velocity() const override { return mInner->velocity(); }
        double width() const override { return 0.0; }

    private:
        SPLShape* mInner;
    };
    system->addShape(Square(sphere(0, 0)));
    system->addShape(sphere(15, 0));
    expectError([&] { system->step(0.0); }, "Error", "Unknown Shape.");
}

TEST_F(SPLSystemTest, RunDividesTheTimeIntoEqualStepsAndNoStepsDoNothing)
{
    // Drag makes the path depend on the step length, so four steps of 0.01 differ from one of 0.04.
    const SPLSphere dragged(10, 1, 1, 3.0, SPLVector(0, 0), SPLVector(100, 0), SPLVector(), 0, 0);
    SPLShape* ran = system->addShape(dragged);
    SPLSystem* stepped = createSystem();
    SPLShape* fourSteps = stepped->addShape(dragged);
    SPLSystem* once = createSystem();
    SPLShape* oneStep = once->addShape(dragged);

    system->run(0.04, 4);
    for (int i = 0; i < 4; ++i)
        stepped->step(0.01);
    once->step(0.04);
    EXPECT_DOUBLE_EQ(ran->position().x(), fourSteps->position().x());
    EXPECT_DOUBLE_EQ(ran->velocity().x(), fourSteps->velocity().x());
    EXPECT_NE(ran->position().x(), oneStep->position().x());
    EXPECT_DOUBLE_EQ(system->time(), 0.04);

    const double before = ran->position().x();
    for (const int n : {0, -1})
        system->run(0.04, n);
    EXPECT_DOUBLE_EQ(system->time(), 0.04);
    EXPECT_EQ(ran->position().x(), before);
    destroySystem(stepped);
    destroySystem(once);
}

TEST_F(SPLSystemTest, LockedListsGatherEveryRunAndEmptyAtTheLastUnlock)
{
    SPLShape* shield = system->addShape(sphere(0, 0, 0, 0, 2, 200));
    SPLShape* splod = system->addShape(sphere(100, 0));
    system->lock();
    system->run(0.02, 2);
    system->lock();
    system->run(0.01, 1);
    EXPECT_EQ(system->overlaps().size(), 3u);
    EXPECT_EQ(shield->useCount(), 3);
    EXPECT_EQ(splod->useCount(), 3);
    system->unlock();
    EXPECT_EQ(system->overlaps().size(), 3u) << "emptied while still locked";
    system->unlock();
    EXPECT_TRUE(system->overlaps().empty());
    EXPECT_EQ(shield->useCount(), 0);
    EXPECT_EQ(splod->useCount(), 0);
    expectError([&] { system->unlock(); }, "Error", "Unlock without a lock.");
    EXPECT_EQ(system->lockCount(), 0);
}

TEST_F(SPLSystemTest, WithoutALockTheListsAreNeverEmptied)
{
    system->addShape(sphere(0, 0, 0, 0, 2));
    system->addShape(sphere(5, 0));
    system->run(0.02, 2);
    system->run(0.02, 2);
    EXPECT_EQ(system->overlaps().size(), 4u);
}

TEST(SPLShapePair, HoldsOneUseOfEachShapeForItsLifetime)
{
    SPLSphere a = sphere(0, 0);
    SPLSphere b = sphere(1, 0);
    SPLSphere c = sphere(2, 0);
    {
        SPLShapePair ab(&a, &b);
        SPLShapePair copy = ab;
        EXPECT_EQ(a.useCount(), 2);
        SPLShapePair bc(&b, &c);
        copy = bc;
        EXPECT_EQ(a.useCount(), 1);
        EXPECT_EQ(b.useCount(), 3);
        EXPECT_EQ(c.useCount(), 2);
        const SPLShapePair& self = copy; // self-assignment through a second name: clang refuses "copy = copy"
        copy = self;
        EXPECT_EQ(c.useCount(), 2);
        std::vector<SPLShapePair> list;
        list.push_back(std::move(bc));
        list.push_back(ab);
        EXPECT_EQ(c.useCount(), 2);
        EXPECT_EQ(list[1].second(), &b);
    }
    EXPECT_EQ(a.useCount(), 0);
    EXPECT_EQ(b.useCount(), 0);
    EXPECT_EQ(c.useCount(), 0);
}

// The narrow phase passes pairs over only where collideShapes would do nothing: over crowded random groups, where
// pushes move shapes out of their order, it leaves every shape and both lists exactly as sending every pair
// through collideShapes does.
TEST(SPLNarrowPhase, MatchesSendingEveryPairThroughCollideShapes)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-200.0, 200.0);
    std::uniform_real_distribution<double> y(-1500.0, 1500.0);
    std::uniform_real_distribution<double> radius(10.0, 80.0);
    std::uniform_real_distribution<double> mass(0.3, 6.0);
    std::uniform_real_distribution<double> speed(-100.0, 100.0);
    std::vector<std::unique_ptr<SPLShape>> fast;
    std::vector<std::unique_ptr<SPLShape>> plain;
    for (int i = 0; i < 200; ++i)
    {
        const SPLSphere body(radius(random), mass(random), i % 7 == 0 ? 2 : 1, 0.0, SPLVector(x(random), y(random)),
                             SPLVector(speed(random), speed(random)), SPLVector(), 0.0, i);
        const int lock = i % 11 == 0 ? SPLLockKind::FIXED : SPLLockKind::FREE;
        const SPLObjectLocker locked(body, lock, lock, lock);
        const SPLShape& shape = i % 5 == 0 ? static_cast<const SPLShape&>(locked) : body;
        fast.emplace_back(shape.clone());
        plain.emplace_back(shape.clone());
    }
    const auto tags = [](const std::vector<SPLShapePair>& pairs)
    {
        std::vector<std::pair<int, int>> list;
        for (const SPLShapePair& pair : pairs)
            list.emplace_back(pair.first()->tag(), pair.second()->tag());
        return list;
    };

    SPLNarrowPhase narrowPhase;
    for (int round = 0; round < 20; ++round)
    {
        SCOPED_TRACE(round);
        std::vector<std::size_t> order(fast.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return fast[a]->box().ymin() < fast[b]->box().ymin(); });
        std::vector<SPLShape*> fastGroup;
        std::vector<SPLShape*> plainGroup;
        for (const std::size_t k : order)
        {
            fastGroup.push_back(fast[k].get());
            plainGroup.push_back(plain[k].get());
        }

        std::vector<SPLShapePair> fastCollisions, fastOverlaps, plainCollisions, plainOverlaps;
        narrowPhase.collide(fastGroup, fastCollisions, fastOverlaps);
        for (std::size_t i = 0; i < plainGroup.size(); ++i)
        {
            for (std::size_t j = i + 1; j < plainGroup.size(); ++j)
                collideShapes(*plainGroup[i], *plainGroup[j], plainCollisions, plainOverlaps);
        }
        EXPECT_FALSE(plainCollisions.empty());
        EXPECT_EQ(tags(fastCollisions), tags(plainCollisions));
        EXPECT_EQ(tags(fastOverlaps), tags(plainOverlaps));
        for (std::size_t k = 0; k < fast.size(); ++k)
        {
            ASSERT_EQ(fast[k]->position().x(), plain[k]->position().x()) << k;
            ASSERT_EQ(fast[k]->position().y(), plain[k]->position().y()) << k;
            ASSERT_EQ(fast[k]->velocity().x(), plain[k]->velocity().x()) << k;
            ASSERT_EQ(fast[k]->velocity().y(), plain[k]->velocity().y()) << k;
            fast[k]->integrate(0.05);
            plain[k]->integrate(0.05);
        }
    }
}

// The broad phase must not lose a contact: over random scenes of clustered non-solid spheres, which nothing moves,
// one step lists exactly the overlapping pairs that testing every pair finds, each once.
class SPLSystemRandomScene : public testing::TestWithParam<unsigned>
{
};

TEST_P(SPLSystemRandomScene, ListsExactlyThePairsAnAllPairsTestFinds)
{
    std::mt19937 random(GetParam());
    std::uniform_real_distribution<double> centre(-20000.0, 20000.0);
    std::uniform_real_distribution<double> offset(-150.0, 150.0);
    std::uniform_real_distribution<double> radius(10.0, 80.0);
    SPLSystem* system = createSystem();
    for (int clump = 0; clump < 30; ++clump)
    {
        const double x = centre(random);
        const double y = centre(random);
        for (int i = 0; i < 10; ++i)
            system->addShape(sphere(x + offset(random), y + offset(random), 0, 0, 2, radius(random)));
    }
    system->step(0.0);

    const std::vector<SPLShape*>& shapes = system->shapes();
    PairSet expected;
    for (std::size_t i = 0; i < shapes.size(); ++i)
    {
        for (std::size_t j = i + 1; j < shapes.size(); ++j)
        {
            if (shapes[i]->position().to(shapes[j]->position()).length() < shapes[i]->radius() + shapes[j]->radius())
                expected.insert(std::minmax<const SPLShape*>(shapes[i], shapes[j]));
        }
    }
    EXPECT_GT(system->findGroups().size(), 10u) << "the scene does not exercise the splitting";
    EXPECT_EQ(system->overlaps().size(), expected.size()) << "a pair listed twice";
    EXPECT_EQ(unordered(system->overlaps()), expected);
    destroySystem(system);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SPLSystemRandomScene, testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));
