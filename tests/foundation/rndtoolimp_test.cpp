#include "foundation/rndtoolimp.h"

#include "foundation/rndparkmiller.h"
#include "rndtesting.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>

namespace
{

// Draws a script of values, shared with its clones; running out of script is a test failure.
class ScriptedGenerator final : public RNDGenerator
{
public:
    explicit ScriptedGenerator(std::deque<double> script) : mScript(std::make_shared<std::deque<double>>(script)) {}
    double next() override
    {
        if (mScript->empty())
        {
            ADD_FAILURE() << "script exhausted";
            return 0.0;
        }
        const double value = mScript->front();
        mScript->pop_front();
        return value;
    }
    void popSeed() override {}
    void pushSeed() override {}
    void setSeed(std::int32_t) override {}
    RNDGenerator* clone() const override { return new ScriptedGenerator(*this); }

    std::size_t left() const { return mScript->size(); }

private:
    std::shared_ptr<std::deque<double>> mScript;
};

} // namespace

TEST(RNDToolImp, UniformAndIntegerDrawsScaleTheGeneratorDraw)
{
    struct Case
    {
        double u;
        std::int32_t low, high, integer;
        double uniformLow, uniformHigh, uniform;
    };
    const Case cases[] = {
        {0.0, 3, 3, 3, 2.0, 4.0, 2.0},
        {0.999, 3, 3, 3, 2.0, 4.0, 3.998},
        {0.4999, 0, 1, 0, -1.0, 1.0, -0.0002},
        {0.5, 0, 1, 1, 10.0, 10.0, 10.0},
        {0.75, -2, 1, 1, 0.0, -8.0, -6.0},
        {0.999999999, INT32_MIN, INT32_MAX, INT32_MAX - 4, 0.0, 1.0, 0.999999999},
        {0.0, INT32_MIN, INT32_MAX, INT32_MIN, 0.0, 1.0, 0.0},
    };
    for (const Case& c : cases)
    {
        RNDToolImp tool(ScriptedGenerator({c.u, c.u}), 2);
        EXPECT_EQ(tool.uniformInteger(c.low, c.high), c.integer) << c.u << " in " << c.low << ".." << c.high;
        EXPECT_NEAR(tool.uniform(c.uniformLow, c.uniformHigh), c.uniform, 1e-12) << c.u;
    }
}

TEST(RNDToolImp, BernoulliIsTrueWhenTheDrawIsAtMostP)
{
    struct Case
    {
        double u, p;
        bool expected;
    };
    const Case cases[] = {
        {0.0, 0.0, true}, {1e-9, 0.0, false}, {0.3, 0.3, true}, {0.30001, 0.3, false}, {0.999, 1.0, true},
    };
    for (const Case& c : cases)
    {
        RNDToolImp tool(ScriptedGenerator({c.u}), 2);
        EXPECT_EQ(tool.bernoulli(c.p), c.expected) << c.u << " <= " << c.p;
    }
}

TEST(RNDToolImp, GaussianMethodsDrawAgainUntilTheirDrawsAreUsable)
{
    struct Case
    {
        std::int32_t method;
        std::deque<double> script;
        double mean, deviation, expected;
    };
    const Case cases[] = {
        // Box-Muller: u1 = 0 is infinite, drawn again; then sqrt(-2 ln e^-2) = 2 and cos 0 = 1.
        {1, {0.0, 0.3, std::exp(-2.0), 0.0}, 1.0, 3.0, 7.0},
        // u1 = 0 is drawn again whatever u2; then half a turn: cos = -1.
        {1, {0.0, 0.25, std::exp(-2.0), 0.5}, 0.0, 1.0, -2.0},
        // Polar: (0.98, 0.98) lies outside the circle; then a = 0.5, b = 0: 0.5 sqrt(-2 ln 0.25 / 0.25).
        {2, {0.99, 0.99, 0.75, 0.5}, 10.0, 2.0, 10.0 + 2.0 * 0.5 * std::sqrt(8.0 * std::log(4.0))},
        // The centre itself (s = 0) would be 0 × infinity: drawn again too.
        {2, {0.5, 0.5, 0.75, 0.5}, 0.0, 1.0, 0.5 * std::sqrt(8.0 * std::log(4.0))},
    };
    for (const Case& c : cases)
    {
        const ScriptedGenerator generator(c.script);
        RNDToolImp tool(generator, c.method);
        EXPECT_NEAR(tool.gaussian(c.mean, c.deviation), c.expected, 1e-9) << "method " << c.method;
        EXPECT_EQ(generator.left(), 0u) << "every draw of the script used";
    }
}

TEST(RNDToolImp, GaussianOfARealGeneratorHasTheRequestedMeanAndDeviation)
{
    for (const std::int32_t method : {1, 2})
    {
        RNDToolImp tool(RNDParkMiller(), method);
        double sum = 0.0, squares = 0.0;
        const int count = 20000;
        for (int i = 0; i < count; ++i)
        {
            const double value = tool.gaussian(5.0, 2.0);
            sum += value;
            squares += value * value;
        }
        const double mean = sum / count;
        EXPECT_NEAR(mean, 5.0, 0.1) << "method " << method;
        EXPECT_NEAR(std::sqrt(squares / count - mean * mean), 2.0, 0.1) << "method " << method;
    }
}

TEST(RNDToolImp, RefusesAnUnknownMethod)
{
    for (const std::int32_t method : {LEAST_GAUSSEAN_METHOD, LARGEST_GAUSSEAN_METHOD})
    {
        try
        {
            RNDToolImp tool(RNDParkMiller(), method);
            ADD_FAILURE() << "built with method " << method;
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.description(),
                         "(gausseanMethod>LEAST_GAUSSEAN_METHOD)&&(gausseanMethod<LARGEST_GAUSSEAN_METHOD) && "
                         "\"Valid method.\"");
        }
    }
}

TEST(RNDToolImp, SetSeedTruncatesAndKeepsTheLow32Bits)
{
    struct Case
    {
        double given;
        std::int32_t generatorSeed;
    };
    const Case cases[] = {
        {5.9, 5},           {-5.9, -5},        {2147483653.0, static_cast<std::int32_t>(0x80000005u)}, // 2^31 + 5
        {4294967295.0, -1}, {4294967301.0, 5},                                                         // 2^32 + 5
    };
    for (const Case& c : cases)
    {
        RNDToolImp tool(RNDParkMiller(), 2);
        tool.setSeed(c.given);
        RNDParkMiller expected;
        expected.setSeed(c.generatorSeed);
        EXPECT_EQ(tool.uniform(0.0, 1.0), expected.next()) << c.given;
    }
    for (const double given : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()})
    {
        RNDToolImp tool(RNDParkMiller(), 2);
        EXPECT_EQ(thrownBy([&] { tool.setSeed(given); }), "Assertion failure: std::isfinite(s)") << given;
    }
}

TEST(RNDToolImp, SeedStackAndCloneGoThroughTheGenerator)
{
    RNDToolImp tool(RNDParkMiller(), 2);
    tool.pushSeed();
    const double first = tool.uniform(0.0, 1.0);
    const std::unique_ptr<RNDTool> clone(tool.clone());
    EXPECT_EQ(clone->uniform(0.0, 1.0), tool.uniform(0.0, 1.0));
    tool.popSeed();
    EXPECT_EQ(tool.uniform(0.0, 1.0), first);
    clone->popSeed();
    EXPECT_EQ(clone->uniform(0.0, 1.0), first) << "the clone has its own copy of the saved state";
    EXPECT_THROW(tool.popSeed(), DBGException);
}

TEST(RNDToolImp, AToolUsedAfterItsDestructionFailsItsInvariant)
{
    if (SANITIZED_BUILD)
        GTEST_SKIP() << "UBSan reports the use of the destroyed object itself";
    EXPECT_EQ(pushSeedAfterDestruction<RNDToolImp>(RNDParkMiller(), 2), "invariant()");
}
