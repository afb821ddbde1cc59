#pragma once
// Helpers shared by the random-number tests.

#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

inline std::vector<double> draws(RNDGenerator& generator, int count)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i)
        values.push_back(generator.next());
    return values;
}

/// pushSeed, three draws, popSeed, three draws: the same three; nested saves restore in reverse; an empty stack
/// fails "Non empty stack.".
inline void expectSeedStackRestores(RNDGenerator& generator)
{
    generator.pushSeed();
    const std::vector<double> first = draws(generator, 3);
    generator.pushSeed();
    const std::vector<double> second = draws(generator, 3);
    generator.popSeed();
    EXPECT_EQ(draws(generator, 3), second);
    generator.popSeed();
    EXPECT_EQ(draws(generator, 3), first);
    EXPECT_NE(first, second);

    const std::unique_ptr<RNDGenerator> copy(generator.clone());
    EXPECT_EQ(draws(*copy, 5), draws(generator, 5)) << "a clone continues the same sequence";

    try
    {
        generator.popSeed();
        ADD_FAILURE() << "popped an empty stack";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.kind(), "Assertion failure");
        EXPECT_NE(std::string(exception.description()).find("\"Non empty stack.\""), std::string::npos)
            << exception.description();
    }
}

/// Destroys a new T in storage of the test's own, then saves its seed: returns the description of what that use
/// of the dead object throws, or "nothing thrown". The call names the class, so that the dead object's own code
/// runs rather than a base's table.
template <class T, class... Arguments>
std::string pushSeedAfterDestruction(const Arguments&... arguments)
{
    alignas(T) unsigned char storage[sizeof(T)];
    T* const object = new (storage) T(arguments...);
    object->~T();
    try
    {
        object->T::pushSeed();
    }
    catch (const DBGException& exception)
    {
        return exception.description();
    }
    return "nothing thrown";
}

/// A generator that always draws the same value.
class ConstantGenerator final : public RNDGenerator
{
public:
    explicit ConstantGenerator(double value) : mValue(value) {}
    double next() override { return mValue; }
    void popSeed() override {}
    void pushSeed() override {}
    void setSeed(std::int32_t) override {}
    RNDGenerator* clone() const override { return new ConstantGenerator(*this); }

private:
    double mValue;
};
