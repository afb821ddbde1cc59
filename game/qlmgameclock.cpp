#include "game/qlmgameclock.h"

#include "foundation/tmesampler.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <numeric>

namespace
{

constexpr double MAX_FRAME_TIME = 0.1;   // seconds
constexpr std::size_t FRAME_WINDOW = 60; // frame times averaged into one step

double fLastReading = 0.0; // seconds of the engine clock
double fGameTime = 0.0;
double fTimeStep = 0.0;
std::deque<double> fFrameTimes; // oldest first

} // namespace

void resetGameClock()
{
    fLastReading = TME::clock()->now();
    fGameTime = 0.0;
    fTimeStep = 0.0;
    fFrameTimes.clear();
}

void updateGameClock()
{
    const double now = TME::clock()->now();
    fFrameTimes.push_back(std::min(now - fLastReading, MAX_FRAME_TIME));
    fLastReading = now;
    while (fFrameTimes.size() > FRAME_WINDOW)
    {
        fFrameTimes.pop_front();
    }
    fTimeStep = std::accumulate(fFrameTimes.begin(), fFrameTimes.end(), 0.0) / static_cast<double>(fFrameTimes.size());
    fGameTime += fTimeStep;
}

double gameTime()
{
    return fGameTime;
}

double gameTimeStep()
{
    return fTimeStep;
}
