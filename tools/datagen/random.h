#pragma once
// A small seeded generator (SplitMix64), so that every data file comes out the same on every machine and library.

#include <cstdint>

namespace datagen
{

class Random
{
public:
    explicit Random(std::uint64_t seed) : mState(seed) {}

    /// The next 64 random bits.
    std::uint64_t next()
    {
        std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    /// A uniform value in [low, high).
    double uniform(double low = 0.0, double high = 1.0)
    {
        return low + (high - low) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }

    /// A uniform integer in [low, high], both included.
    int integer(int low, int high)
    {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

private:
    std::uint64_t mState;
};

} // namespace datagen
