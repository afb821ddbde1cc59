#pragma once
// The minimal-standard multiplicative congruential generator: seed := 16807 × seed mod (2^31 - 1).
// Park and Miller, "Random number generators: good ones are hard to find", CACM 31(10), 1988.

#include "foundation/rndfactory.h"

#include <cstdint>
#include <vector>

class RNDParkMiller final : public RNDGenerator
{
public:
    /// Seed 122223, nothing saved.
    RNDParkMiller();
    /// Copies the seed and every saved seed.
    RNDParkMiller(const RNDParkMiller& other);
    RNDParkMiller& operator=(const RNDParkMiller&) = delete;

    /// (seed - 1) / 2147483646 after one step: 0 for seed 1, never 1.
    double next() override;
    void popSeed() override;
    void pushSeed() override;
    /// The seed becomes s without its sign bit; 0 and 2147483647, which the congruence cannot use, give 122223.
    void setSeed(std::int32_t s) override;
    RNDGenerator* clone() const override;

    /// 1 <= seed < 2147483647.
    bool invariant() const;

private:
    std::int32_t mSeed;
    std::vector<std::int32_t> mSeedStack; // last in, first out
};
