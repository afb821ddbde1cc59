// The performance counter is a nanosecond count of the steady clock, or the test seam's virtual clock.

#include "host/hostwin32.h"
#include "host/testing.h"

#include <chrono>
#include <deque>
#include <functional>
#include <thread>
#include <utility>

namespace
{

struct VirtualClock
{
    bool on = false;
    LONGLONG now = 0;      // nanoseconds
    LONGLONG readStep = 0; // nanoseconds added by each counter read
    LONGLONG slept = 0;    // milliseconds
};

VirtualClock gVirtual;
std::deque<std::function<void()>> gSleepActions; // scripted for the next Sleeps, one each

} // namespace

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (gVirtual.on)
    {
        count->QuadPart = gVirtual.now;
        gVirtual.now += gVirtual.readStep;
        return TRUE;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    count->QuadPart = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}

void Sleep(DWORD milliseconds)
{
    if (gVirtual.on)
    {
        gVirtual.now += LONGLONG{milliseconds} * 1'000'000;
        gVirtual.slept += milliseconds;
    }
    else
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    if (!gSleepActions.empty())
    {
        const std::function<void()> action = std::move(gSleepActions.front());
        gSleepActions.pop_front();
        action();
    }
}

bool hostClockIsVirtual()
{
    return gVirtual.on;
}

LONGLONG hostVirtualClockNanoseconds()
{
    return gVirtual.now;
}

void hostAdvanceVirtualClock(LONGLONG nanoseconds)
{
    if (gVirtual.on)
    {
        gVirtual.now += nanoseconds;
    }
}

namespace hosttest
{

void useVirtualClock(LONGLONG readStepNanoseconds)
{
    gVirtual = VirtualClock{true, 0, readStepNanoseconds, 0};
    gSleepActions.clear();
}

void useRealClock()
{
    gVirtual.on = false;
    gSleepActions.clear();
}

bool virtualClockIsOn()
{
    return gVirtual.on;
}

LONGLONG virtualClockNanoseconds()
{
    return hostVirtualClockNanoseconds();
}

void advanceVirtualClock(LONGLONG nanoseconds)
{
    hostAdvanceVirtualClock(nanoseconds);
}

LONGLONG sleptMilliseconds()
{
    return gVirtual.slept;
}

void duringNextSleep(std::function<void()> action)
{
    gSleepActions.push_back(std::move(action));
}

} // namespace hosttest
