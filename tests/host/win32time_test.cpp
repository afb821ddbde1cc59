#include "host/testing.h"
#include "host/win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

LONGLONG readCounter()
{
    LARGE_INTEGER count{};
    EXPECT_TRUE(QueryPerformanceCounter(&count));
    return count.QuadPart;
}

class VirtualClock : public ::testing::Test
{
protected:
    void TearDown() override { hosttest::useRealClock(); }
};

} // namespace

TEST(PerformanceCounter, CountsNanosecondsMonotonically)
{
    LARGE_INTEGER frequency{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1'000'000'000);
    const LONGLONG before = readCounter();
    Sleep(2);
    EXPECT_GE(readCounter() - before, 2'000'000);
}

TEST_F(VirtualClock, CounterReadsItAndAdvancesByTheReadStep)
{
    hosttest::useVirtualClock(10);
    hosttest::advanceVirtualClock(5'000);
    EXPECT_EQ(readCounter(), 5'000);
    EXPECT_EQ(readCounter(), 5'010);
    EXPECT_EQ(hosttest::virtualClockNanoseconds(), 5'020);
}

TEST_F(VirtualClock, SleepAdvancesItAtOnceAndIsCounted)
{
    hosttest::useVirtualClock(0);
    Sleep(9);
    Sleep(0);
    Sleep(3);
    EXPECT_EQ(readCounter(), 12'000'000);
    EXPECT_EQ(hosttest::sleptMilliseconds(), 12);
}

TEST_F(VirtualClock, TurningItOnAgainStartsFromZeroAndOffRestoresTheRealClock)
{
    hosttest::useVirtualClock(0);
    Sleep(50);
    hosttest::useVirtualClock(0);
    EXPECT_EQ(readCounter(), 0);
    EXPECT_EQ(hosttest::sleptMilliseconds(), 0);
    hosttest::useRealClock();
    EXPECT_FALSE(hosttest::virtualClockIsOn());
    EXPECT_GT(readCounter(), 0);
    hosttest::advanceVirtualClock(1'000); // ignored while the real clock runs
    EXPECT_EQ(hosttest::virtualClockNanoseconds(), 0);
}

TEST_F(VirtualClock, EachSleepRunsOneQueuedActionAfterItsWaitAndATurnOfTheClockDropsTheRest)
{
    hosttest::useVirtualClock(0);
    std::vector<LONGLONG> seen;
    hosttest::duringNextSleep([&] { seen.push_back(hosttest::virtualClockNanoseconds()); });
    hosttest::duringNextSleep([&] { seen.push_back(-hosttest::virtualClockNanoseconds()); });
    Sleep(5);
    EXPECT_EQ(seen, (std::vector<LONGLONG>{5'000'000}));
    Sleep(1);
    EXPECT_EQ(seen, (std::vector<LONGLONG>{5'000'000, -6'000'000}));
    Sleep(1);
    EXPECT_EQ(seen.size(), 2u) << "each action runs once";

    hosttest::duringNextSleep([&] { seen.clear(); });
    hosttest::useVirtualClock(0);
    Sleep(1);
    hosttest::duringNextSleep([&] { seen.clear(); });
    hosttest::useRealClock();
    Sleep(0);
    EXPECT_EQ(seen.size(), 2u) << "dropped when the clock was turned on and off";
}
