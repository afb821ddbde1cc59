// Park-Miller in 32-bit integers, by Schrage's factorisation 2147483647 = 16807 × 127773 + 2836, so that no
// product leaves 31 bits.

#include "foundation/rndparkmiller.h"

#include "foundation/dbg.h"

#include <new>

namespace
{

constexpr std::int32_t MODULUS = 2147483647; // 2^31 - 1, prime
constexpr std::int32_t MULTIPLIER = 16807;
constexpr std::int32_t QUOTIENT = 127773; // MODULUS div MULTIPLIER
constexpr std::int32_t REMAINDER = 2836;  // MODULUS mod MULTIPLIER
constexpr std::int32_t DEFAULT_SEED = 122223;

} // namespace

RNDParkMiller::RNDParkMiller() : mSeed(DEFAULT_SEED)
{
    DBG_ASSERT(sizeof(std::int32_t) == 4 && "Class relies on 32 bit longs.");
    DBG_ASSERT(invariant());
}

RNDParkMiller::RNDParkMiller(const RNDParkMiller& other)
    : RNDGenerator(other), mSeed(other.mSeed), mSeedStack(other.mSeedStack)
{
    DBG_ASSERT(invariant());
}

bool RNDParkMiller::invariant() const
{
    return 1 <= mSeed && mSeed != MODULUS;
}

double RNDParkMiller::next()
{
    if (mSeed <= QUOTIENT)
    {
        mSeed = (MULTIPLIER * mSeed) % MODULUS;
    }
    else
    {
        const std::int32_t hi = mSeed / QUOTIENT;
        const std::int32_t lo = mSeed % QUOTIENT;
        std::int32_t t = MULTIPLIER * lo - REMAINDER * hi;
        if (t < 1)
            t += MODULUS;
        mSeed = t;
    }
    return (mSeed - 1) / 2147483646.0;
}

void RNDParkMiller::popSeed()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!mSeedStack.empty() && "Non empty stack.");
    mSeed = mSeedStack.back();
    mSeedStack.pop_back();
    DBG_ASSERT(invariant());
}

void RNDParkMiller::pushSeed()
{
    DBG_ASSERT(invariant());
    mSeedStack.push_back(mSeed);
    DBG_ASSERT(invariant());
}

void RNDParkMiller::setSeed(std::int32_t s)
{
    DBG_ASSERT(invariant());
    mSeed = s & MODULUS;
    // 0 is the congruence's fixed point and the modulus itself is 0 in disguise: both take the default seed.
    if (mSeed == 0 || mSeed == MODULUS)
        mSeed = DEFAULT_SEED;
    DBG_ASSERT(invariant());
}

RNDGenerator* RNDParkMiller::clone() const
{
    DBG_ASSERT(invariant());
    RNDParkMiller* parkMiller = new (std::nothrow) RNDParkMiller(*this);
    DBG_ASSERT(parkMiller && "Park miller generator created successfully.");
    DBG_ASSERT(invariant());
    return parkMiller;
}
