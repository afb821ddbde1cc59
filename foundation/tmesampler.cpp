// Clock, waiter and samplers over the host's performance counter and Sleep.

#include "foundation/tmesampler.h"

#include "foundation/dbg.h"
#include "host/win32.h"

#include <cmath>
#include <limits>
#include <new>
#include <set>

namespace
{

std::set<TMESampler*>& samplers()
{
    static std::set<TMESampler*> registered;
    return registered;
}

} // namespace

TMEPerformanceClock::TMEPerformanceClock()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    mFrequency = static_cast<double>(frequency.QuadPart);
}

// The singletons are destroyed at exit, past the error box: a destructor that threw would only terminate. So they
// leave marks instead, which a later use (from another static's destructor) checks.
TMEPerformanceClock::~TMEPerformanceClock()
{
    DBG::markDead(mFrequency, -1.0);
}

double TMEPerformanceClock::now()
{
    DBG_ASSERT(0.0 < mFrequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / mFrequency;
}

TMESleepWaiter::~TMESleepWaiter()
{
    DBG::markDead(mClock, nullptr);
}

void TMESleepWaiter::waitUntil(double t)
{
    DBG_ASSERT(mClock);
    const double now = mClock->now();
    if (now >= t)
        return;
    // The remaining time to the nearest millisecond, less one: the sleep's granularity then falls inside the spin
    // below instead of making the return late.
    const double milliseconds = std::trunc((t - now) * 1000.0 + 0.5) - 1.0;
    if (milliseconds > 0.0)
        Sleep(static_cast<DWORD>(std::fmin(milliseconds, std::numeric_limits<DWORD>::max())));
    while (mClock->now() < t)
    {
    }
}

void TMESampler::start()
{
    if (mDepth == 0)
        mStart = mClock->now();
    ++mDepth;
}

void TMESampler::stop()
{
    --mDepth;
    if (mDepth == 0)
        mSamples.push_back(mClock->now() - mStart);
}

TMEClock* TME::clock()
{
    static TMEPerformanceClock performanceClock;
    return &performanceClock;
}

TMEWaiter* TME::waiter(TMEClock* clock)
{
    static TMESleepWaiter sleepWaiter(clock);
    return &sleepWaiter;
}

TMESampler* TME::createSampler(TMEClock* clock)
{
    TMESampler* sampler = new (std::nothrow) TMESampler(clock);
    DBG_ASSERT(sampler);
    samplers().insert(sampler);
    return sampler;
}

void TME::destroySampler(TMESampler* sampler)
{
    if (!sampler)
        return;
    samplers().erase(sampler);
    delete sampler;
}
