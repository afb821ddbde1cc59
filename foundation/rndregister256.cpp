// The register's step and its fill from the initializer.

#include "foundation/rndregister256.h"

#include "foundation/dbg.h"

#include <new>

namespace
{

constexpr std::int32_t LAG = 103;
constexpr std::int32_t INDEX_MASK = 255;

} // namespace

RNDRegister256::RNDRegister256(const RNDGenerator& initializer) : mInitializer(initializer.clone())
{
    DBG_ASSERT(sizeof(std::uint32_t) == 4 && "Class relies on 32-bit unsigned long ints.");
    fill();
    DBG_ASSERT(invariant());
}

RNDRegister256::RNDRegister256(const RNDRegister256& other)
    : RNDGenerator(other), mInitializer(other.mInitializer->clone()), mIndex(other.mIndex), mWords(other.mWords),
      mStateStack(other.mStateStack)
{
    DBG_ASSERT(invariant());
}

RNDRegister256::~RNDRegister256() noexcept(false)
{
    DBG_ASSERT(invariant());
    delete mInitializer;
    DBG::markDead(mInitializer, nullptr);
}

bool RNDRegister256::invariant() const
{
    return 0 <= mIndex && mIndex < WORD_COUNT && mInitializer;
}

double RNDRegister256::next()
{
    const std::int32_t i = mIndex;
    const std::uint32_t v = mWords[i] ^ mWords[(i + LAG) & INDEX_MASK];
    mWords[i] = v;
    mIndex = (i + 1) & INDEX_MASK;
    return v * 0x1p-32;
}

void RNDRegister256::fill()
{
    mIndex = 0;
    for (std::uint32_t& word : mWords)
    {
        word = 0;
        for (int bit = 0; bit < 32; ++bit)
        {
            if (mInitializer->next() >= 0.5)
                word |= std::uint32_t{1} << bit;
        }
    }
    // Words 3, 6, ..., 96 get bit 31 - k as their highest set bit: 32 linearly independent words, which makes the
    // register's sequence full-period whatever the initializer drew.
    for (int k = 0; k < 32; ++k)
    {
        std::uint32_t& word = mWords[3 + 3 * k];
        word = (word & (0xffffffffu >> k)) | (0x80000000u >> k);
    }
}

void RNDRegister256::popSeed()
{
    DBG_ASSERT(invariant());
    DBG_ASSERT(!mStateStack.empty() && "Non empty stack.");
    mIndex = mStateStack.back().index;
    mWords = mStateStack.back().words;
    mStateStack.pop_back();
    DBG_ASSERT(invariant());
}

void RNDRegister256::pushSeed()
{
    DBG_ASSERT(invariant());
    mStateStack.push_back({mIndex, mWords});
    DBG_ASSERT(invariant());
}

void RNDRegister256::setSeed(std::int32_t s)
{
    DBG_ASSERT(invariant());
    mInitializer->setSeed(s);
    fill();
    DBG_ASSERT(invariant());
}

RNDGenerator* RNDRegister256::clone() const
{
    DBG_ASSERT(invariant());
    RNDRegister256* register256 = new (std::nothrow) RNDRegister256(*this);
    DBG_ASSERT(register256 && "Register256 created successfully.");
    DBG_ASSERT(invariant());
    return register256;
}
