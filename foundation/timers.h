#pragma once
// Debugging aids kept in the shipped program and shown by the debug console: named timers, each keeping the last
// 100 means of ten measurements of a bracketed piece of work, and a bounded queue of trace lines.

#include <cstddef>
#include <deque>
#include <set>
#include <string>
#include <vector>

class TMESampler;

/// Entries in a timer's history: with one measurement per frame it spans the last 1000 frames.
constexpr std::size_t TIMER_HISTORY_LENGTH = 100;
/// Measurements averaged into one history entry.
constexpr std::size_t TIMER_SAMPLES_PER_MEAN = 10;
/// Trace lines kept at most; further lines are dropped until some are taken.
constexpr std::size_t TEXT_LINE_CAPACITY = 1000;

/// A named timer over the performance clock. Made by DBG::createTimer, which registers it in DBG::timers.
class DBGTimer
{
public:
    /// Prefer DBG::createTimer, which registers the timer. Owns a new sampler over TME::clock().
    explicit DBGTimer(const std::string& name);
    DBGTimer(const DBGTimer&) = delete;
    DBGTimer& operator=(const DBGTimer&) = delete;
    ~DBGTimer();

    /// Opens a measurement (they nest).
    void startTimer();
    /// Closes a measurement; every tenth completed one appends the mean of the ten to the history and drops the
    /// oldest entry.
    void stopTimer();
    /// The label, for example "Total timer".
    const std::string& timerName() const { return mName; }
    /// Always TIMER_HISTORY_LENGTH means in seconds, oldest first; zeros until measured.
    const std::deque<double>& timerHistory() const { return mHistory; }

private:
    std::string mName;
    TMESampler* mSampler;
    std::deque<double> mHistory;
};

namespace DBG
{

/// A new registered timer with a copy of the name; its creator destroys it with DBG::destroyTimer.
DBGTimer* createTimer(const std::string& name);
/// Unregisters and destroys the timer; no timer: nothing.
void destroyTimer(DBGTimer* timer);
/// Every timer, ordered by address.
const std::set<DBGTimer*>& timers();

/// Appends a copy of the line unless TEXT_LINE_CAPACITY lines are queued; then the line is lost.
void pushTextLine(const std::string& line);
/// Removes the oldest line; the queue must not be empty.
void popTextLine();
/// The oldest line; the queue must not be empty.
const std::string& frontTextLine();
/// True when no line is queued.
bool textLinesEmpty();

/// The sum of the entries; 0 for none.
double sampleSum(const std::vector<double>& samples);
/// The mean of the entries; there must be at least one.
double sampleMean(const std::vector<double>& samples);

} // namespace DBG
