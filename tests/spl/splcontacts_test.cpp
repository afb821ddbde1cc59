#include "spl/splcontacts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <random>
#include <utility>
#include <vector>

TEST(SPLShapePair, HoldsOneUseOfEachShapeForItsLifetime)
{
    const auto at = [](double x) { return SPLSphere(10, 1, 1, 0, SPLVector(x, 0), SPLVector(), SPLVector(), 0, 0); };
    SPLSphere a = at(0);
    SPLSphere b = at(1);
    SPLSphere c = at(2);
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
// through collideShapes does; for a group small enough to be swept whole, and for big ones swept strip by strip,
// one of them with a few shapes far larger than the rest.
class SPLNarrowPhaseGroup : public testing::TestWithParam<std::pair<int, double>>
{
};

TEST_P(SPLNarrowPhaseGroup, MatchesSendingEveryPairThroughCollideShapes)
{
    const auto [count, largest] = GetParam();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-200.0, 200.0);
    std::uniform_real_distribution<double> y(-7.5 * count, 7.5 * count);
    std::uniform_real_distribution<double> radius(10.0, 80.0);
    std::uniform_real_distribution<double> mass(0.3, 6.0);
    std::uniform_real_distribution<double> speed(-100.0, 100.0);
    std::vector<std::unique_ptr<SPLShape>> fast;
    std::vector<std::unique_ptr<SPLShape>> plain;
    for (int i = 0; i < count; ++i)
    {
        const double r = i % 40 == 39 ? largest : radius(random);
        const SPLSphere body(r, mass(random), i % 7 == 0 ? 2 : 1, 0.0, SPLVector(x(random), y(random)),
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
    std::size_t collided = 0;
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
        collided += plainCollisions.size();
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
    EXPECT_GT(collided, 20u) << "the groups are too sparse to test anything";
}

INSTANTIATE_TEST_SUITE_P(Sizes, SPLNarrowPhaseGroup,
                         testing::Values(std::pair(24, 80.0), std::pair(200, 80.0), std::pair(200, 300.0)));
