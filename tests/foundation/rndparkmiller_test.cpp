#include "foundation/rndparkmiller.h"

#include "rndtesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

constexpr std::int64_t MODULUS = 2147483647;

// The draw after `seed`, computed exactly in 64 bits: the reference for the 32-bit Schrage arithmetic.
double exactDrawAfter(std::int64_t seed)
{
    return static_cast<double>(16807 * seed % MODULUS - 1) / 2147483646.0;
}

double firstDrawWithSeed(std::int32_t seed)
{
    RNDParkMiller generator;
    generator.setSeed(seed);
    return generator.next();
}

} // namespace

TEST(RNDParkMiller, MatchesTheMinimalStandardSequence)
{
    RNDParkMiller generator;
    generator.setSeed(1);
    EXPECT_EQ(generator.next(), 16806 / 2147483646.0) << "from seed 1 the seed becomes the multiplier";
    for (int i = 2; i < 10000; ++i)
        generator.next();
    // Park and Miller's published check: from seed 1 the 10000th seed is 1043618065.
    EXPECT_EQ(generator.next(), (1043618065 - 1) / 2147483646.0);

    EXPECT_EQ(RNDParkMiller().next(), exactDrawAfter(122223)) << "default seed";
}

TEST(RNDParkMiller, BothSchrageBranchesEqualTheExactProduct)
{
    for (const std::int32_t seed : {1, 2, 127772, 127773, 127774, 255546, 1043618065, 2147483645, 2147483646})
        EXPECT_EQ(firstDrawWithSeed(seed), exactDrawAfter(seed)) << seed;
}

TEST(RNDParkMiller, SeedRuleClearsTheSignBitAndMapsUnusableSeedsToTheDefault)
{
    struct Case
    {
        std::int32_t given;
        std::int64_t used;
    };
    const Case cases[] = {
        {5, 5},
        {-5, 2147483643},
        {0, 122223},
        {INT32_MIN, 122223}, // a multiple of 2^31
        {INT32_MAX, 122223}, // low 31 bits all set: the modulus
        {-1, 122223},        // likewise
        {-2, 2147483646},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstDrawWithSeed(c.given), exactDrawAfter(c.used)) << c.given;
}

TEST(RNDParkMiller, SeedStackAndCloneRestoreTheSequence)
{
    RNDParkMiller generator;
    expectSeedStackRestores(generator);

    generator.pushSeed();
    const RNDParkMiller copy(generator);
    RNDParkMiller copyOfCopy(copy);
    const std::vector<double> after = draws(copyOfCopy, 2);
    copyOfCopy.popSeed(); // the saved seed came along
    EXPECT_EQ(draws(copyOfCopy, 2), draws(generator, 2));
    EXPECT_NE(after, draws(generator, 2));
}
