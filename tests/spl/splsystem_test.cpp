#include "spl/splsystem.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
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

namespace
{

// The step written out as plainly as it is defined, as the reference for the system's faster one: four passes of
// forces and integration, a broad phase that collects and sorts the edges again at every level of its split, and
// every pair i < j of every group through collideShapes. Edges at one coordinate sort lower before upper, then by
// the shape's place in the list.
class ReferenceWorld
{
public:
    using Groups = std::vector<std::vector<std::size_t>>;

    static Groups split(const std::vector<SPLShape*>& shapes, const std::vector<std::size_t>& set, int axis)
    {
        if (set.size() < 2)
            return {};
        struct Edge
        {
            double coordinate;
            int type;
            std::size_t shape;
        };
        std::vector<Edge> edges;
        for (const std::size_t s : set)
        {
            for (const int number : axis == 1 ? std::vector<int>{1, 2} : std::vector<int>{4, 3})
                edges.push_back({shapes[s]->edge(number).coordinate, shapes[s]->edge(number).type, s});
        }
        std::sort(edges.begin(), edges.end(),
                  [](const Edge& a, const Edge& b)
                  { return std::tie(a.coordinate, a.type, a.shape) < std::tie(b.coordinate, b.type, b.shape); });
        Groups clusters(1);
        int open = 0;
        for (const Edge& edge : edges)
        {
            if (edge.type == SPLEdgeType::LOWER)
            {
                clusters.back().push_back(edge.shape);
                ++open;
            }
            else if (--open == 0)
            {
                clusters.emplace_back();
            }
        }
        clusters.pop_back();
        if (clusters.size() == 1)
            return axis == 2 ? clusters : split(shapes, clusters[0], 2);
        Groups groups;
        for (const std::vector<std::size_t>& cluster : clusters)
        {
            for (std::vector<std::size_t>& group : split(shapes, cluster, 3 - axis))
                groups.push_back(std::move(group));
        }
        return groups;
    }

    static Groups split(const std::vector<SPLShape*>& shapes)
    {
        std::vector<std::size_t> all(shapes.size());
        for (std::size_t s = 0; s < all.size(); ++s)
            all[s] = s;
        return split(shapes, all, 1);
    }

    void step(double dt)
    {
        for (SPLShape* shape : shapes)
            shape->setForce(SPLVector());
        for (SPLShape* shape : shapes)
            shape->setForce(shape->force() + scaled(-shape->drag(), shape->velocity()));
        for (SPLShape* shape : shapes)
        {
            for (const SPLVortex* vortex : vortices)
                shape->setForce(shape->force() + vortex->radialForce(shape->position()) +
                                vortex->tangentialForce(shape->position()));
        }
        for (SPLShape* shape : shapes)
            shape->integrate(dt);
        for (const std::vector<std::size_t>& group : split(shapes))
        {
            for (std::size_t i = 0; i < group.size(); ++i)
            {
                for (std::size_t j = i + 1; j < group.size(); ++j)
                    collideShapes(*shapes[group[i]], *shapes[group[j]], collisions, overlaps);
            }
        }
    }

    std::vector<SPLShape*> shapes; // in the order of the system's list
    std::vector<const SPLVortex*> vortices;
    std::vector<SPLShapePair> collisions;
    std::vector<SPLShapePair> overlaps;
};

std::vector<std::pair<int, int>> tagPairs(const std::vector<SPLShapePair>& pairs)
{
    std::vector<std::pair<int, int>> tags;
    for (const SPLShapePair& pair : pairs)
        tags.emplace_back(pair.first()->tag(), pair.second()->tag());
    return tags;
}

struct FieldCase
{
    unsigned seed;
    bool dense;
};

// Game-like fields: the locked, non-solid shield at the centre under the central pull, splods of radius 10 to 80,
// pills, bullets that leave the gun together from one point, a few bodies locked along one axis, a few not solid.
// Dense fields make one group of hundreds; sparse ones scatter clumps into many small groups.
class SPLSystemReference : public testing::TestWithParam<FieldCase>
{
protected:
    void SetUp() override
    {
        random.seed(GetParam().seed);
        const int fixed = SPLLockKind::FIXED;
        add(SPLObjectLocker(SPLSphere(200, 1, 2, 0, SPLVector(), SPLVector(), SPLVector(), 0, 0), fixed, fixed, fixed));
        SPLVortex* pull = system->addVortex(SPLVortex(SPLVector(), SPLPolynomial(), SPLPolynomial(), 1.0, 1e6));
        pull->setRadial(SPLPolynomial(-15, 0, 0, 0));
        reference.vortices.push_back(pull);
        const bool dense = GetParam().dense;
        std::uniform_real_distribution<double> near(-1400.0, 1400.0);
        std::uniform_real_distribution<double> far(-30000.0, 30000.0);
        std::uniform_real_distribution<double> clump(-120.0, 120.0);
        SPLVector centre;
        for (int i = 0; i < 400; ++i)
        {
            if (!dense && i % 8 == 0)
                centre = SPLVector(far(random), far(random));
            const SPLVector position =
                dense ? SPLVector(near(random), near(random)) : centre + SPLVector(clump(random), clump(random));
            addBody(position, i);
        }
        for (int i = 0; i < 6; ++i)
            add(SPLSphere(10, 0.3, 1, 0, SPLVector(0, 210), SPLVector(i * 40.0 - 100.0, 900), SPLVector(), 0, 0));
    }

    void TearDown() override
    {
        reference.collisions.clear();
        reference.overlaps.clear();
        for (SPLShape* shape : reference.shapes)
            delete shape;
        destroySystem(system);
    }

    void addBody(const SPLVector& position, int i)
    {
        std::uniform_real_distribution<double> radius(10.0, 80.0);
        std::uniform_real_distribution<double> speed(-60.0, 60.0);
        const double r = i % 9 == 0 ? 16.0 : radius(random);
        const SPLSphere body(r, r / 13.0, i % 13 == 0 ? 2 : 1, i % 17 == 0 ? 0.5 : 0.0, position,
                             SPLVector(speed(random), speed(random)), SPLVector(), 0, 0);
        if (i % 23 == 0)
            add(SPLObjectLocker(body, SPLLockKind::KEEP_X, SPLLockKind::KEEP_X, SPLLockKind::FREE));
        else
            add(body);
    }

    void add(const SPLShape& shape)
    {
        SPLShape* stored = system->addShape(shape);
        stored->setTag(nextTag++);
        SPLShape* copy = stored->clone();
        // The reference follows the system's list, which is ordered by address.
        const auto at = std::find(system->shapes().begin(), system->shapes().end(), stored);
        reference.shapes.insert(reference.shapes.begin() + (at - system->shapes().begin()), copy);
    }

    void remove(std::size_t index)
    {
        system->removeShape(system->shapes()[index]);
        delete reference.shapes[index];
        reference.shapes.erase(reference.shapes.begin() + static_cast<std::ptrdiff_t>(index));
    }

    void expectSameState()
    {
        ASSERT_EQ(system->shapes().size(), reference.shapes.size());
        for (std::size_t k = 0; k < reference.shapes.size(); ++k)
        {
            const SPLShape& fast = *system->shapes()[k];
            const SPLShape& plain = *reference.shapes[k];
            ASSERT_EQ(fast.tag(), plain.tag());
            ASSERT_EQ(fast.position().x(), plain.position().x()) << "tag " << fast.tag();
            ASSERT_EQ(fast.position().y(), plain.position().y()) << "tag " << fast.tag();
            ASSERT_EQ(fast.velocity().x(), plain.velocity().x()) << "tag " << fast.tag();
            ASSERT_EQ(fast.velocity().y(), plain.velocity().y()) << "tag " << fast.tag();
        }
    }

    std::mt19937 random;
    SPLSystem* system = createSystem();
    ReferenceWorld reference;
    int nextTag = 1;
};

} // namespace

// Tick by tick, as the game runs the system, the contacts come in the order the definition gives, the groups are
// the same, and every position and velocity is bit for bit the same; also after shapes come and go and after
// every body is moved far from where the last split left it.
TEST_P(SPLSystemReference, ReportsWhatTheDefinitionReportsInItsOrder)
{
    SPLGroups groups;
    std::size_t contacts = 0;
    std::size_t largest = 0;
    for (int tick = 0; tick < 12; ++tick)
    {
        SCOPED_TRACE(tick);
        if (tick == 4)
        {
            remove(7);
            remove(100);
            addBody(SPLVector(30, 250), 1);
            addBody(SPLVector(30, 250), 2);
        }
        if (tick == 8)
        {
            const double reach = GetParam().dense ? 1400.0 : 30000.0;
            std::uniform_real_distribution<double> anywhere(-reach, reach);
            for (std::size_t k = 0; k < reference.shapes.size(); ++k)
            {
                const SPLVector place(anywhere(random), anywhere(random));
                system->shapes()[k]->setPosition(place);
                reference.shapes[k]->setPosition(place);
            }
        }
        system->lock();
        system->run(1.0 / 60.0, 2);
        for (int i = 0; i < 2; ++i)
            reference.step(1.0 / 120.0);
        ASSERT_EQ(tagPairs(system->collisions()), tagPairs(reference.collisions));
        ASSERT_EQ(tagPairs(system->overlaps()), tagPairs(reference.overlaps));
        contacts += reference.collisions.size() + reference.overlaps.size();
        system->unlock();
        reference.collisions.clear();
        reference.overlaps.clear();
        expectSameState();

        groups.split(system->shapes(), 1);
        const ReferenceWorld::Groups expected = ReferenceWorld::split(system->shapes());
        ASSERT_EQ(groups.count(), expected.size());
        for (std::size_t g = 0; g < expected.size(); ++g)
        {
            std::vector<std::size_t> found;
            for (SPLShape* shape : groups.group(g))
                found.push_back(static_cast<std::size_t>(
                    std::find(system->shapes().begin(), system->shapes().end(), shape) - system->shapes().begin()));
            ASSERT_EQ(found, expected[g]) << "group " << g;
            largest = std::max(largest, found.size());
        }
    }
    EXPECT_GT(contacts, 100u) << "the field does not exercise the narrow phase";
    if (GetParam().dense)
        EXPECT_GT(largest, 300u) << "the field has no big group";
    else
        EXPECT_LT(largest, 40u) << "the field has no small groups";
}

INSTANTIATE_TEST_SUITE_P(Fields, SPLSystemReference,
                         testing::Values(FieldCase{1, true}, FieldCase{2, true}, FieldCase{3, true},
                                         FieldCase{1, false}, FieldCase{2, false}, FieldCase{3, false}),
                         [](const testing::TestParamInfo<FieldCase>& info)
                         { return (info.param.dense ? "Dense" : "Sparse") + std::to_string(info.param.seed); });
