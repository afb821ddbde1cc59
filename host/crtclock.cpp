#include "host/crtclock.h"

#include "host/hostwin32.h"

namespace
{

constexpr std::time_t VIRTUAL_CALENDAR_START = 1796860800; // 2026-12-10 00:00:00 UTC
constexpr LONGLONG NANOSECONDS_PER_SECOND = 1'000'000'000;
static_assert(NANOSECONDS_PER_SECOND % CLOCKS_PER_SEC == 0);

} // namespace

std::clock_t hostProcessorTime()
{
    if (!hostClockIsVirtual())
    {
        return std::clock();
    }
    return static_cast<std::clock_t>(hostVirtualClockNanoseconds() / (NANOSECONDS_PER_SECOND / CLOCKS_PER_SEC));
}

std::time_t hostCalendarTime()
{
    if (!hostClockIsVirtual())
    {
        return std::time(nullptr);
    }
    return VIRTUAL_CALENDAR_START + static_cast<std::time_t>(hostVirtualClockNanoseconds() / NANOSECONDS_PER_SECOND);
}
