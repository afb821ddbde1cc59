#include "foundation/timers.h"

#include "foundation/dbg.h"
#include "host/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace
{

constexpr LONGLONG MILLISECOND = 1'000'000; // nanoseconds

// Timers read the performance clock; the host's virtual clock (not advanced by reads) makes each measurement exact.
class DBGTimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hosttest::useVirtualClock(0);
        timer = DBG::createTimer("Tick game");
    }
    void TearDown() override
    {
        DBG::destroyTimer(timer);
        hosttest::useRealClock();
    }

    void measure(LONGLONG nanoseconds)
    {
        timer->startTimer();
        hosttest::advanceVirtualClock(nanoseconds);
        timer->stopTimer();
    }

    DBGTimer* timer = nullptr;
};

} // namespace

TEST_F(DBGTimerTest, NewTimerIsRegisteredWithItsNameAndAHundredZeros)
{
    EXPECT_EQ(timer->timerName(), "Tick game");
    EXPECT_EQ(timer->timerHistory(), std::deque<double>(100, 0.0));
    EXPECT_EQ(DBG::timers().count(timer), 1u);

    DBGTimer* other = DBG::createTimer("Draw game");
    EXPECT_EQ(DBG::timers().count(other), 1u);
    DBG::destroyTimer(other);
    EXPECT_EQ(DBG::timers().count(other), 0u);
    DBG::destroyTimer(nullptr);
}

TEST_F(DBGTimerTest, EveryTenthMeasurementAppendsTheMeanOfTheTenAndDropsTheOldestEntry)
{
    for (int i = 1; i <= 9; ++i)
        measure(i * MILLISECOND);
    EXPECT_EQ(timer->timerHistory(), std::deque<double>(100, 0.0)) << "nine measurements leave it unchanged";

    measure(10 * MILLISECOND);
    ASSERT_EQ(timer->timerHistory().size(), 100u);
    EXPECT_DOUBLE_EQ(timer->timerHistory().back(), 0.0055);
    EXPECT_EQ(std::count(timer->timerHistory().begin(), timer->timerHistory().end(), 0.0), 99);

    // The next mean starts from an empty sampler: ten of 2 ms give 2 ms.
    for (int i = 0; i < 10; ++i)
        measure(2 * MILLISECOND);
    EXPECT_DOUBLE_EQ(timer->timerHistory().back(), 0.002);
    EXPECT_DOUBLE_EQ(timer->timerHistory()[98], 0.0055);
    EXPECT_EQ(timer->timerHistory().size(), 100u);
}

TEST_F(DBGTimerTest, StopInsideANestedStartRecordsNothing)
{
    for (int i = 0; i < 9; ++i)
        measure(MILLISECOND);
    timer->startTimer();
    timer->startTimer();
    hosttest::advanceVirtualClock(MILLISECOND);
    timer->stopTimer();
    EXPECT_EQ(timer->timerHistory().back(), 0.0) << "the inner stop completed no tenth measurement";
    hosttest::advanceVirtualClock(MILLISECOND);
    timer->stopTimer();
    EXPECT_DOUBLE_EQ(timer->timerHistory().back(), (9 * 0.001 + 0.002) / 10);
}

TEST(DBGTextLines, QueueKeepsTheFirstThousandLinesUntilOneIsTaken)
{
    for (int i = 0; i < 1001; ++i)
        DBG::pushTextLine("line " + std::to_string(i));
    DBG::pushTextLine("lost");
    EXPECT_EQ(DBG::frontTextLine(), "line 0");
    DBG::popTextLine();
    DBG::pushTextLine("accepted");

    std::vector<std::string> lines;
    while (!DBG::textLinesEmpty())
    {
        lines.push_back(DBG::frontTextLine());
        DBG::popTextLine();
    }
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.front(), "line 1");
    EXPECT_EQ(lines[998], "line 999") << "the 1001st line was dropped";
    EXPECT_EQ(lines.back(), "accepted");
}

TEST(DBGTextLines, TakingFromAnEmptyQueueFailsItsCheck)
{
    ASSERT_TRUE(DBG::textLinesEmpty());
    EXPECT_THROW(DBG::popTextLine(), DBGException);
    EXPECT_THROW(DBG::frontTextLine(), DBGException);
}

TEST(DBGSamples, SumAndMean)
{
    EXPECT_EQ(DBG::sampleSum({}), 0.0);
    EXPECT_EQ(DBG::sampleSum({1.5, -0.5, 2.0}), 3.0);
    EXPECT_EQ(DBG::sampleMean({1.0, 2.0, 3.0}), 2.0);
    EXPECT_THROW(DBG::sampleMean({}), DBGException);
}
