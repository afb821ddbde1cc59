// Uniform, integer, Bernoulli and Gaussian draws from one generator's uniform draws u in [0, 1).

#include "foundation/rndtoolimp.h"

#include "foundation/dbg.h"

#include <cmath>
#include <new>

namespace
{

constexpr std::int32_t BOX_MULLER = 1;
constexpr std::int32_t POLAR = 2;
constexpr double TWO_PI = 6.28318530717958; // as the program has always drawn with it, not the full double value

} // namespace

// clang-format off
RNDToolImp::RNDToolImp(const RNDGenerator& generator, std::int32_t gausseanMethod)
    : mGenerator(nullptr), mGausseanMethod(gausseanMethod)
{
    DBG_ASSERT((gausseanMethod>LEAST_GAUSSEAN_METHOD)&&(gausseanMethod<LARGEST_GAUSSEAN_METHOD) && "Valid method.");
    mGenerator = generator.clone();
    DBG_ASSERT(invariant());
}
// clang-format on

RNDToolImp::RNDToolImp(const RNDToolImp& other)
    : RNDTool(other), mGenerator(other.mGenerator->clone()), mGausseanMethod(other.mGausseanMethod)
{
    DBG_ASSERT(invariant());
}

RNDToolImp::~RNDToolImp() noexcept(false)
{
    DBG_ASSERT(invariant());
    delete mGenerator;
    DBG::markDead(mGenerator, nullptr);
}

bool RNDToolImp::invariant() const
{
    return mGenerator && LEAST_GAUSSEAN_METHOD < mGausseanMethod && mGausseanMethod < LARGEST_GAUSSEAN_METHOD;
}

double RNDToolImp::standardNormal()
{
    switch (mGausseanMethod)
    {
    case BOX_MULLER:
        while (true)
        {
            const double u1 = mGenerator->next();
            const double u2 = mGenerator->next();
            const double z = std::sqrt(-2.0 * std::log(u1)) * std::cos(TWO_PI * u2);
            if (std::isfinite(z)) // a draw u1 = 0 gives infinity or, times a zero cosine, NaN
                return z;
        }
    case POLAR:
        while (true)
        {
            const double a = 2.0 * mGenerator->next() - 1.0;
            const double b = 2.0 * mGenerator->next() - 1.0;
            const double s = a * a + b * b;
            // s = 0 would divide by zero: a draw of exactly 0.5 twice, rejected like a point outside the circle.
            if (s < 1.0 && s > 0.0)
                return a * std::sqrt(-2.0 * std::log(s) / s);
        }
    }
    DBG_ERROR("Unknown gaussean method.");
}

double RNDToolImp::gaussian(double mean, double deviation)
{
    return mean + standardNormal() * deviation;
}

void RNDToolImp::popSeed()
{
    DBG_ASSERT(invariant());
    mGenerator->popSeed();
    DBG_ASSERT(invariant());
}

bool RNDToolImp::bernoulli(double p)
{
    return mGenerator->next() <= p;
}

void RNDToolImp::pushSeed()
{
    DBG_ASSERT(invariant());
    mGenerator->pushSeed();
    DBG_ASSERT(invariant());
}

void RNDToolImp::setSeed(double s)
{
    DBG_ASSERT(invariant());
    // An infinite or NaN seed has no integer part to keep, and converting it would be undefined.
    DBG_ASSERT(std::isfinite(s));
    // Truncated towards zero; of a value of 2^31 or more only the low 32 bits count. Reduce first, so that the
    // conversion is defined for any finite s.
    const double truncated = std::fmod(std::trunc(s), 4294967296.0);
    mGenerator->setSeed(static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(truncated))));
    DBG_ASSERT(invariant());
}

double RNDToolImp::uniform(double low, double high)
{
    return low + mGenerator->next() * (high - low);
}

std::int32_t RNDToolImp::uniformInteger(std::int32_t low, std::int32_t high)
{
    // In 64 bits: the full 32-bit range has 2^32 values.
    const double count = static_cast<double>(std::int64_t{high} - low + 1);
    return static_cast<std::int32_t>(low + static_cast<std::int64_t>(std::trunc(mGenerator->next() * count)));
}

// clang-format off
RNDTool* RNDToolImp::clone() const
{
    DBG_ASSERT(invariant());
    RNDToolImp* toolImp = new (std::nothrow) RNDToolImp(*this);
    DBG_ASSERT(toolImp!=0 && "ToolImp created successfully.");
    DBG_ASSERT(invariant());
    return toolImp;
}
// clang-format on
