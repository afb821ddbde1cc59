#pragma once
// The score counter: the points of the game in progress. Depends on nothing.

#include <cstdint>

/// One signed score, 0 at program start; it keeps its value after a game ends until reset.
class QLMScoreCounter
{
public:
    /// The one counter, created on first use and kept until program exit.
    static QLMScoreCounter& instance();

    QLMScoreCounter(const QLMScoreCounter&) = delete;
    QLMScoreCounter& operator=(const QLMScoreCounter&) = delete;

    /// Adds the points; negative points subtract, and the score may become negative.
    void add(int points);
    /// Sets the score to 0.
    void reset();
    /// The current score.
    int value() const;

private:
    QLMScoreCounter() = default;

    std::int32_t fScore = 0;
};
