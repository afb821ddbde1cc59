#pragma once
// RND: random numbers. Generators draw uniform numbers in [0, 1) behind RNDGenerator; the random tool RNDTool turns
// one generator's draws into the uniform, integer, Bernoulli and Gaussian draws that the game uses.
// RND::openTool builds a tool from generator IDs and seeds it from the clock and the calendar.

#include <cstdint>

/// A source of uniform draws in [0, 1) with a stack of saved states.
class RNDGenerator
{
public:
    /// Not noexcept: a generator's destructor checks its invariant, and a failure reaches the caller.
    virtual ~RNDGenerator() noexcept(false) = default;
    /// The next draw, in [0, 1).
    virtual double next() = 0;
    /// Restores the most recently saved state and removes it from the stack; the stack must not be empty.
    virtual void popSeed() = 0;
    /// Saves the current state on the stack.
    virtual void pushSeed() = 0;
    /// Re-seeds from the given integer.
    virtual void setSeed(std::int32_t seed) = 0;
    /// A new, equal generator (same state and stack), owned by the caller.
    virtual RNDGenerator* clone() const = 0;
};

/// Random draws for the game over one generator.
class RNDTool
{
public:
    /// Not noexcept: the tool's destructor checks its invariant, and a failure reaches the caller.
    virtual ~RNDTool() noexcept(false) = default;
    /// A normally distributed value of the given mean and standard deviation.
    virtual double gaussian(double mean, double deviation) = 0;
    /// Restores the generator's most recently saved state; one must have been saved.
    virtual void popSeed() = 0;
    /// True with probability p (p >= 1: always).
    virtual bool bernoulli(double p) = 0;
    /// Saves the generator's state.
    virtual void pushSeed() = 0;
    /// Re-seeds the generator from s (finite), truncated to an integer whose low 32 bits are used.
    virtual void setSeed(double s) = 0;
    /// A value in [low, high).
    virtual double uniform(double low, double high) = 0;
    /// An integer in [low, high], each equally likely.
    virtual std::int32_t uniformInteger(std::int32_t low, std::int32_t high) = 0;
    /// A new, equal tool, owned by the caller.
    virtual RNDTool* clone() const = 0;
};

/// Generator IDs; FIRST_GENERATOR and LAST_GENERATOR are exclusive bounds.
constexpr std::int32_t FIRST_GENERATOR = 0;
constexpr std::int32_t NULL_GENERATOR = 1;
constexpr std::int32_t PARK_MILLER_GENERATOR = 2;
constexpr std::int32_t REGISTER256_GENERATOR = 3;
constexpr std::int32_t LAST_GENERATOR = 4;

namespace RND
{

/// A new open tool over the generator generatorID (Park-Miller, or Register256 filled from initializerID, which
/// must be Park-Miller), seeded by RND::makeSeed(seedSourceMask). The second argument is not read.
/// The caller closes it with RND::closeTool.
RNDTool* openTool(std::int32_t generatorID, std::int32_t unused, std::int32_t seedSourceMask,
                  std::int32_t initializerID);
/// Destroys a tool that RND::openTool returned.
void closeTool(RNDTool* tool);

} // namespace RND
