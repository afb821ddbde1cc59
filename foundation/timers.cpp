// Named timers over TME samplers, and the trace-line queue.

#include "foundation/timers.h"

#include "foundation/dbg.h"
#include "foundation/tmesampler.h"

#include <new>
#include <numeric>

namespace
{

std::set<DBGTimer*>& timerRegistry()
{
    static std::set<DBGTimer*> registered;
    return registered;
}

std::deque<std::string>& textLines()
{
    static std::deque<std::string> lines;
    return lines;
}

} // namespace

DBGTimer::DBGTimer(const std::string& name)
    : mName(name), mSampler(TME::createSampler(TME::clock())), mHistory(TIMER_HISTORY_LENGTH, 0.0)
{
}

DBGTimer::~DBGTimer()
{
    TME::destroySampler(mSampler);
}

void DBGTimer::startTimer()
{
    mSampler->start();
}

void DBGTimer::stopTimer()
{
    mSampler->stop();
    if (mSampler->samples().size() < TIMER_SAMPLES_PER_MEAN)
        return;
    mHistory.push_back(DBG::sampleMean(mSampler->samples()));
    mHistory.pop_front();
    mSampler->reset();
}

DBGTimer* DBG::createTimer(const std::string& name)
{
    DBGTimer* timer = new (std::nothrow) DBGTimer(name);
    DBG_ASSERT(timer);
    timerRegistry().insert(timer);
    return timer;
}

void DBG::destroyTimer(DBGTimer* timer)
{
    timerRegistry().erase(timer);
    delete timer;
}

const std::set<DBGTimer*>& DBG::timers()
{
    return timerRegistry();
}

void DBG::pushTextLine(const std::string& line)
{
    if (textLines().size() < TEXT_LINE_CAPACITY)
        textLines().push_back(line);
}

void DBG::popTextLine()
{
    DBG_ASSERT(!textLines().empty());
    textLines().pop_front();
}

const std::string& DBG::frontTextLine()
{
    DBG_ASSERT(!textLines().empty());
    return textLines().front();
}

bool DBG::textLinesEmpty()
{
    return textLines().empty();
}

double DBG::sampleSum(const std::vector<double>& samples)
{
    return std::accumulate(samples.begin(), samples.end(), 0.0);
}

double DBG::sampleMean(const std::vector<double>& samples)
{
    DBG_ASSERT(!samples.empty());
    return sampleSum(samples) / static_cast<double>(samples.size());
}
