#pragma once
// A 256-word XOR-feedback shift register with lag 103, filled bit by bit from a second generator, the initializer.

#include "foundation/rndfactory.h"

#include <array>
#include <cstdint>
#include <vector>

class RNDRegister256 final : public RNDGenerator
{
public:
    /// Keeps a clone of the initializer (the caller keeps its own) and fills the register from it.
    explicit RNDRegister256(const RNDGenerator& initializer);
    /// Clones the initializer and copies the register and every saved state.
    RNDRegister256(const RNDRegister256& other);
    RNDRegister256& operator=(const RNDRegister256&) = delete;
    /// Requires the invariant; destroys the initializer and empties its pointer, so that a later use of the dead
    /// generator fails its invariant().
    ~RNDRegister256() noexcept(false) override;

    /// One step of the register: word[i] ^= word[(i + 103) mod 256], returned times 2^-32.
    double next() override;
    void popSeed() override;
    void pushSeed() override;
    /// Re-seeds the initializer with s and refills the register from it.
    void setSeed(std::int32_t s) override;
    RNDGenerator* clone() const override;

    /// 0 <= index < 256 and an initializer.
    bool invariant() const;

private:
    static constexpr std::int32_t WORD_COUNT = 256;

    struct SavedState
    {
        std::int32_t index;
        std::array<std::uint32_t, WORD_COUNT> words;
    };

    void fill();

    RNDGenerator* mInitializer;
    std::int32_t mIndex = 0;
    std::array<std::uint32_t, WORD_COUNT> mWords{};
    std::vector<SavedState> mStateStack; // last in, first out
};
