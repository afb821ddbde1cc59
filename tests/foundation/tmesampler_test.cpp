#include "foundation/tmesampler.h"

#include "host/testing.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{

// A clock that reads whatever the test last set.
class ScriptedClock final : public TMEClock
{
public:
    double time = 0.0;
    double now() override { return time; }
};

// The host's virtual clock: QueryPerformanceCounter advances by readStep nanoseconds per read, Sleep advances it
// at once and adds up what it was asked for.
class TMEVirtualTime : public ::testing::Test
{
protected:
    void SetUp() override { hosttest::useVirtualClock(readStep); }
    void TearDown() override { hosttest::useRealClock(); }

    static constexpr LONGLONG readStep = 1000;
};

} // namespace

TEST(TMESampler, NestedMeasurementsRecordOneSampleFromOuterStartToOuterStop)
{
    ScriptedClock clock;
    TMESampler sampler(&clock);
    clock.time = 1.0;
    sampler.start();
    clock.time = 2.0;
    sampler.start();
    clock.time = 3.0;
    sampler.stop();
    EXPECT_TRUE(sampler.samples().empty()) << "an inner stop records nothing";
    clock.time = 5.0;
    sampler.stop();
    EXPECT_EQ(sampler.samples(), std::vector<double>{4.0});

    clock.time = 6.0;
    sampler.start();
    clock.time = 6.5;
    sampler.stop();
    EXPECT_EQ(sampler.samples(), (std::vector<double>{4.0, 0.5})) << "oldest first";
}

TEST(TMESampler, ResetDuringAnOpenMeasurementKeepsItOpen)
{
    ScriptedClock clock;
    TMESampler sampler(&clock);
    sampler.start();
    sampler.stop();
    clock.time = 10.0;
    sampler.start();
    sampler.reset();
    EXPECT_TRUE(sampler.samples().empty());
    clock.time = 12.0;
    sampler.stop();
    EXPECT_EQ(sampler.samples(), std::vector<double>{2.0});
}

TEST(TMESampler, StopWithoutStartCountsBelowZeroAndTheNextStartOnlyCountsBack)
{
    ScriptedClock clock;
    TMESampler sampler(&clock);
    sampler.stop();
    clock.time = 1.0;
    sampler.start(); // back to depth 0: takes no start time
    sampler.stop();
    EXPECT_TRUE(sampler.samples().empty());

    sampler.start();
    clock.time = 5.0;
    sampler.start(); // depth 0 to 1: the outermost start
    clock.time = 8.0;
    sampler.stop();
    EXPECT_EQ(sampler.samples(), std::vector<double>{3.0});
}

TEST(TMESampler, FactoryRegistersAndDestroyIgnoresNoSampler)
{
    ScriptedClock clock;
    TMESampler* sampler = TME::createSampler(&clock);
    ASSERT_NE(sampler, nullptr);
    EXPECT_TRUE(sampler->samples().empty());
    TME::destroySampler(sampler);
    TME::destroySampler(nullptr);
}

TEST_F(TMEVirtualTime, PerformanceClockReadsTheCounterInSeconds)
{
    TMEPerformanceClock clock;
    hosttest::advanceVirtualClock(2'500'000'000);
    EXPECT_DOUBLE_EQ(clock.now(), 2.5);
    EXPECT_DOUBLE_EQ(clock.now(), 2.5 + readStep * 1e-9);
    EXPECT_EQ(TME::clock(), TME::clock());
}

TEST_F(TMEVirtualTime, WaiterSleepsTheRemainingMillisecondsLessOneThenSpinsToTheTarget)
{
    struct Case
    {
        double aheadSeconds;
        LONGLONG expectedSleep; // milliseconds
    };
    const Case cases[] = {
        {-0.5, 0},   // in the past: returns at once
        {0.0, 0},    // already reached
        {0.0012, 0}, // 1.2 ms rounds to 1, less one: only spins
        {0.0016, 1}, // rounds to 2
        {0.010, 9},  // 10 ms: sleeps 9, spins the last
        {2.0, 1999},
    };
    TMEPerformanceClock clock;
    TMESleepWaiter waiter(&clock);
    for (const Case& c : cases)
    {
        hosttest::useVirtualClock(readStep);
        hosttest::advanceVirtualClock(5'000'000'000);
        const double target = clock.now() + c.aheadSeconds;
        waiter.waitUntil(target);
        EXPECT_EQ(hosttest::sleptMilliseconds(), c.expectedSleep) << c.aheadSeconds;
        const double reached = static_cast<double>(hosttest::virtualClockNanoseconds()) * 1e-9;
        EXPECT_GE(reached, target) << c.aheadSeconds;
        EXPECT_LT(reached, std::max(target, 5.0) + 1e-5) << "returns just after the target";
    }
}

TEST(TMEWaiter, SingletonKeepsTheClockOfItsFirstCall)
{
    TMEWaiter* waiter = TME::waiter(TME::clock());
    EXPECT_EQ(TME::waiter(nullptr), waiter);
}

namespace
{

// Uses of the singletons after their destruction at exit, as another static's destructor could make them. The calls
// name the classes, so that the dead objects' own code runs rather than a base's table.
void readTheDeadClock()
{
    static_cast<TMEPerformanceClock*>(TME::clock())->TMEPerformanceClock::now();
}

void waitOnTheDeadWaiter()
{
    static_cast<TMESleepWaiter*>(TME::waiter(nullptr))->TMESleepWaiter::waitUntil(0.0);
}

} // namespace

TEST(TMESingletons, AClockOrWaiterUsedAfterItsDestructionAtExitFailsItsCheck)
{
    if (SANITIZED_BUILD)
        GTEST_SKIP() << "UBSan reports the use of the destroyed objects itself";
    // A process of its own, in which the singletons are not built yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct
    {
        void (*use)();
        const char* check;
    } cases[] = {{readTheDeadClock, "0\\.0 < mFrequency"}, {waitOnTheDeadWaiter, "mClock"}};
    for (const auto& c : cases)
        EXPECT_DEATH(
            {
                std::atexit(c.use);
                TME::waiter(TME::clock()); // built after the use was registered, so destroyed before it runs
                std::exit(0);
            },
            c.check);
}
