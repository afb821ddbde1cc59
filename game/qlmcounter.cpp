#include "game/qlmcounter.h"

QLMScoreCounter& QLMScoreCounter::instance()
{
    static QLMScoreCounter counter;
    return counter;
}

void QLMScoreCounter::add(int points)
{
    fScore += points;
}

void QLMScoreCounter::reset()
{
    fScore = 0;
}

int QLMScoreCounter::value() const
{
    return fScore;
}
