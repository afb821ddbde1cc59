#pragma once
// TME: the program's wall-clock time. A clock over the performance counter, a waiter that holds the thread until a
// clock time (sleeping for most of the wait), and samplers that measure bracketed work, with nesting.
// Times are seconds as doubles. Platform: QueryPerformanceCounter, QueryPerformanceFrequency and Sleep (host/).

#include <cstdint>
#include <vector>

/// A source of the current time.
class TMEClock
{
public:
    virtual ~TMEClock() = default;
    /// The current time in seconds, from the clock's own origin.
    virtual double now() = 0;
};

/// The performance counter in seconds; its origin is the counter's, not the program's start.
class TMEPerformanceClock final : public TMEClock
{
public:
    /// Reads the counter frequency once.
    TMEPerformanceClock();
    /// Leaves the frequency at -1.0, the mark by which now() finds a clock used after its destruction at exit.
    ~TMEPerformanceClock() override;
    /// Requires a live clock (a positive frequency).
    double now() override;

private:
    double mFrequency; // ticks per second
};

/// Holds the thread until a given time.
class TMEWaiter
{
public:
    virtual ~TMEWaiter() = default;
    /// Returns at or just after the clock time t (seconds); at once when t has passed.
    virtual void waitUntil(double t) = 0;
};

/// Sleeps for all but the last millisecond of the wait, then spins on the clock.
class TMESleepWaiter final : public TMEWaiter
{
public:
    /// Reads the given clock, which it does not own.
    explicit TMESleepWaiter(TMEClock* clock) : mClock(clock) {}
    /// Empties the clock pointer, the mark by which waitUntil finds a waiter used after its destruction at exit.
    ~TMESleepWaiter() override;
    /// Requires a live waiter (a clock).
    void waitUntil(double t) override;

private:
    TMEClock* mClock;
};

/// Measures bracketed work. Measurements nest: only the outermost start and stop pair records a sample.
class TMESampler
{
public:
    /// A sampler over the given clock, which it does not own, with no samples.
    explicit TMESampler(TMEClock* clock) : mClock(clock) {}

    /// Opens a measurement; the outermost one takes the start time.
    void start();
    /// Closes a measurement; closing the outermost one appends its duration (seconds) to the samples. A stop
    /// without a start counts the depth below 0 and records nothing.
    void stop();
    /// Removes all samples; an open measurement stays open.
    void reset() { mSamples.clear(); }
    /// One duration in seconds per completed outermost measurement, oldest first.
    const std::vector<double>& samples() const { return mSamples; }

private:
    TMEClock* mClock;
    std::int32_t mDepth = 0;
    double mStart = 0.0; // seconds
    std::vector<double> mSamples;
};

namespace TME
{

/// The performance-clock singleton, built on first use and destroyed at exit.
TMEClock* clock();
/// The sleep-waiter singleton; the first call builds it over the given clock, later calls ignore their argument.
TMEWaiter* waiter(TMEClock* clock);

/// A new sampler over the clock (not owned), registered; its creator destroys it with TME::destroySampler.
TMESampler* createSampler(TMEClock* clock);
/// Unregisters and destroys the sampler; no sampler: nothing.
void destroySampler(TMESampler* sampler);

} // namespace TME
