// Seeds from the standard library's clock, time and gmtime, the first two read through the host, whose virtual clock
// stands in for both in tests.

#include "foundation/rndseedtool.h"

#include "foundation/dbg.h"
#include "host/crtclock.h"

#include <cmath>
#include <ctime>

namespace
{

std::uint32_t gSeedCalls = 0;

constexpr std::int32_t CLOCK_SOURCE = 1;
constexpr std::int32_t CALL_COUNTER_SOURCE = 2;
constexpr std::int32_t CALENDAR_SOURCES = 0x3fc; // bits 2 to 9
constexpr std::uint32_t SEED_SCRAMBLE = 0x5a6c9152;

} // namespace

std::uint32_t RND::makeSeed(std::int32_t seedSourceMask)
{
    // The sums wrap at 2^32, which the fixed-width type guarantees on every target.
    DBG_ASSERT(sizeof(std::uint32_t) == 4 && "Function relies on 32-bit longs.");
    ++gSeedCalls;

    std::uint32_t sum = 0;
    const auto add = [&](std::int32_t source, std::uint32_t term)
    {
        if (seedSourceMask & source)
            sum += term;
    };

    if (seedSourceMask & CLOCK_SOURCE)
    {
        const std::clock_t ticks = hostProcessorTime();
        DBG_CHECK(ticks != static_cast<std::clock_t>(-1), "Platform does not support measuring execution time.");
        add(CLOCK_SOURCE, static_cast<std::uint32_t>(static_cast<std::int64_t>(std::trunc(ticks + 0.5))));
    }
    add(CALL_COUNTER_SOURCE, gSeedCalls);

    if (seedSourceMask & CALENDAR_SOURCES)
    {
        const std::time_t now = hostCalendarTime();
        DBG_CHECK(now != static_cast<std::time_t>(-1), "Platform does not support measuring calendar time.");
        const std::tm* utc = std::gmtime(&now);
        DBG_CHECK(utc, "Platform does not support broken down times.");
        add(4, utc->tm_sec);
        add(8, utc->tm_min);
        add(16, utc->tm_hour);
        add(32, utc->tm_wday);
        add(64, utc->tm_mday);
        add(128, utc->tm_yday);
        add(256, utc->tm_mon);
        add(512, utc->tm_year);
    }
    return sum ^ SEED_SCRAMBLE;
}
