#include "foundation/rndseedtool.h"

#include "host/testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace
{

constexpr std::uint32_t SCRAMBLE = 0x5a6c9152;
constexpr std::int32_t CALL_COUNTER = 2;

std::uint32_t callCounterNow()
{
    return RND::makeSeed(CALL_COUNTER) ^ SCRAMBLE;
}

// Runs makeSeed(mask) within one calendar second and returns the seed with the broken-down time it was made in.
std::uint32_t seedWithin(std::int32_t mask, std::tm& utc)
{
    while (true)
    {
        const std::time_t before = std::time(nullptr);
        const std::uint32_t seed = RND::makeSeed(mask);
        if (std::time(nullptr) == before)
        {
            utc = *std::gmtime(&before);
            return seed;
        }
    }
}

} // namespace

TEST(RNDMakeSeed, NoSourceGivesTheScrambleAndStillCountsTheCall)
{
    const std::uint32_t counter = callCounterNow();
    EXPECT_EQ(RND::makeSeed(0), SCRAMBLE);
    EXPECT_EQ(callCounterNow(), counter + 2) << "the mask 0 call was counted";
}

TEST(RNDMakeSeed, EachCalendarBitAddsItsField)
{
    struct Case
    {
        std::int32_t mask;
        int std::tm::*field;
    };
    const Case cases[] = {
        {4, &std::tm::tm_sec},   {8, &std::tm::tm_min},    {16, &std::tm::tm_hour}, {32, &std::tm::tm_wday},
        {64, &std::tm::tm_mday}, {128, &std::tm::tm_yday}, {256, &std::tm::tm_mon}, {512, &std::tm::tm_year},
    };
    for (const Case& c : cases)
    {
        std::tm utc{};
        const std::uint32_t seed = seedWithin(c.mask, utc);
        EXPECT_EQ(seed ^ SCRAMBLE, static_cast<std::uint32_t>(utc.*c.field)) << "mask " << c.mask;
    }
}

TEST(RNDMakeSeed, TheProgramsMaskSumsEverySourceButTheMonth)
{
    // 767 without the processor clock (bit 0), which cannot be predicted exactly.
    while (true)
    {
        const std::time_t before = std::time(nullptr);
        const std::uint32_t calls = callCounterNow() + 1;
        const std::uint32_t seed = RND::makeSeed(767 & ~1);
        if (std::time(nullptr) != before)
            continue;
        const std::tm utc = *std::gmtime(&before);
        const std::uint32_t sum =
            calls + utc.tm_sec + utc.tm_min + utc.tm_hour + utc.tm_wday + utc.tm_mday + utc.tm_yday + utc.tm_year;
        EXPECT_EQ(seed ^ SCRAMBLE, sum);
        return;
    }
}

TEST(RNDMakeSeed, ClockBitAddsTheProcessorTicks)
{
    const std::clock_t before = std::clock();
    const std::uint32_t ticks = RND::makeSeed(1) ^ SCRAMBLE;
    const std::clock_t after = std::clock();
    EXPECT_GE(ticks, static_cast<std::uint32_t>(before));
    EXPECT_LE(ticks, static_cast<std::uint32_t>(after));
}

TEST(RNDMakeSeed, OnTheVirtualClockEverySourceReadsIt)
{
    // 90.5 s after the virtual calendar's start, 2026-12-10 00:00:00 UTC, a Thursday: the same seed on every run.
    hosttest::useVirtualClock(0);
    hosttest::advanceVirtualClock(90'500'000'000);
    const std::uint32_t calls = callCounterNow() + 1;
    const std::uint32_t seed = RND::makeSeed(767);
    hosttest::useRealClock();
    const std::uint32_t ticks = 90 * CLOCKS_PER_SEC + CLOCKS_PER_SEC / 2;
    const std::uint32_t calendar = 30 + 1 + 0 + 4 + 10 + 343 + 126; // seconds to years, without the month
    EXPECT_EQ(seed ^ SCRAMBLE, ticks + calls + calendar);
}
