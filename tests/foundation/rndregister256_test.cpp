#include "foundation/rndregister256.h"

#include "foundation/rndparkmiller.h"
#include "rndtesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

std::uint32_t word(double draw)
{
    return static_cast<std::uint32_t>(std::ldexp(draw, 32));
}

RNDRegister256 registerSeeded(std::int32_t seed)
{
    RNDParkMiller initializer;
    initializer.setSeed(seed);
    return RNDRegister256(initializer);
}

} // namespace

// With an initializer that draws below 0.5 every word starts at 0, at 0.5 or above every word starts all ones; the
// first draws then expose the fill: draw i (i < 153) is word[i] XOR word[i + 103], and only words 3, 6, ..., 96
// are forced.
TEST(RNDRegister256, FillForcesTheHighestBitOfEveryThirdWordFromThree)
{
    struct Case
    {
        double initializerDraw;
        std::uint32_t draw3, draw6, draw96, draw4;
    };
    const Case cases[] = {
        {0.4999999, 0x80000000u, 0x40000000u, 0x00000001u, 0u}, // bit 31 - k set, nothing else
        {0.5, 0u, 0x80000000u, 0xfffffffeu, 0u},                // bit 31 - k set, the bits above cleared
    };
    for (const Case& c : cases)
    {
        RNDRegister256 generator{ConstantGenerator(c.initializerDraw)};
        const std::vector<double> values = draws(generator, 100);
        EXPECT_EQ(word(values[3]), c.draw3) << c.initializerDraw;
        EXPECT_EQ(word(values[6]), c.draw6) << c.initializerDraw;
        EXPECT_EQ(word(values[96]), c.draw96) << c.initializerDraw;
        EXPECT_EQ(word(values[4]), c.draw4) << c.initializerDraw;
        EXPECT_EQ(word(values[99]), c.draw4) << "word 99 lies past the forced words";
    }
}

TEST(RNDRegister256, DrawsFollowTheXorRecurrenceWithLag103AndDrawsLieInTheUnitInterval)
{
    RNDRegister256 generator = registerSeeded(4711);
    const std::vector<double> values = draws(generator, 2000);
    for (std::size_t n = 0; n < values.size(); ++n)
    {
        ASSERT_GE(values[n], 0.0);
        ASSERT_LT(values[n], 1.0);
        EXPECT_EQ(std::ldexp(static_cast<double>(word(values[n])), -32), values[n]) << "a whole 32-bit word";
    }
    // Once every word has been written, word[i] is rewritten from its value 256 draws ago and word[i + 103], last
    // written 153 draws ago.
    for (std::size_t n = 256 + 153; n < values.size(); ++n)
        ASSERT_EQ(word(values[n]), word(values[n - 256]) ^ word(values[n - 153])) << n;
}

TEST(RNDRegister256, EqualInitializerSeedsGiveEqualSequencesAndSetSeedRefills)
{
    RNDRegister256 a = registerSeeded(99);
    RNDRegister256 b = registerSeeded(99);
    EXPECT_EQ(draws(a, 600), draws(b, 600));

    RNDRegister256 c = registerSeeded(100);
    EXPECT_NE(draws(c, 10), draws(b, 10));

    RNDRegister256 d = registerSeeded(100);
    draws(a, 17); // mid-sequence: setSeed must restart the index as well as the words
    a.setSeed(100);
    EXPECT_EQ(draws(a, 600), draws(d, 600));
}

TEST(RNDRegister256, KeepsItsOwnCloneOfTheInitializer)
{
    RNDParkMiller initializer;
    const double untouched = RNDParkMiller().next();
    const RNDRegister256 generator(initializer);
    EXPECT_EQ(initializer.next(), untouched) << "the caller's initializer was not drawn from";
}

TEST(RNDRegister256, SeedStackAndCloneRestoreTheSequence)
{
    RNDRegister256 generator = registerSeeded(7);
    draws(generator, 300);
    expectSeedStackRestores(generator);

    generator.pushSeed();
    RNDRegister256 copy(generator);
    const std::vector<double> expected = draws(generator, 4);
    draws(copy, 9);
    copy.popSeed();
    EXPECT_EQ(draws(copy, 4), expected) << "the saved state came along with the copy";

    copy.setSeed(7);
    generator.setSeed(7);
    EXPECT_EQ(draws(copy, 4), draws(generator, 4)) << "the copy has its own initializer";
}

TEST(RNDRegister256, AGeneratorUsedAfterItsDestructionFailsItsInvariant)
{
    if (SANITIZED_BUILD)
        GTEST_SKIP() << "UBSan reports the use of the destroyed object itself";
    EXPECT_EQ(pushSeedAfterDestruction<RNDRegister256>(RNDParkMiller()), "invariant()");
}
