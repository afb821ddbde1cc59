#pragma once
// The random tool over one owned generator.

#include "foundation/rndfactory.h"

#include <cstdint>

/// Gaussian methods; LEAST_GAUSSEAN_METHOD and LARGEST_GAUSSEAN_METHOD are exclusive bounds.
/// 1: the Box-Muller transform; 2: Marsaglia's polar method.
constexpr std::int32_t LEAST_GAUSSEAN_METHOD = 0;
constexpr std::int32_t LARGEST_GAUSSEAN_METHOD = 3;

class RNDToolImp final : public RNDTool
{
public:
    /// Keeps a clone of the generator (the caller keeps its own); gausseanMethod is 1 or 2.
    RNDToolImp(const RNDGenerator& generator, std::int32_t gausseanMethod);
    /// Clones the generator and copies the method.
    RNDToolImp(const RNDToolImp& other);
    RNDToolImp& operator=(const RNDToolImp&) = delete;
    /// Requires the invariant; destroys the generator and empties its pointer, so that a later use of the dead tool
    /// fails its invariant().
    ~RNDToolImp() noexcept(false) override;

    double gaussian(double mean, double deviation) override;
    void popSeed() override;
    bool bernoulli(double p) override;
    void pushSeed() override;
    void setSeed(double s) override;
    double uniform(double low, double high) override;
    std::int32_t uniformInteger(std::int32_t low, std::int32_t high) override;
    RNDTool* clone() const override;

    /// A generator and a method of 1 or 2.
    bool invariant() const;

private:
    double standardNormal();

    RNDGenerator* mGenerator;
    std::int32_t mGausseanMethod;
};
