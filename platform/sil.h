#pragma once
// The input library's portable front: a two-float vector, key identifiers, and the
// abstract library, keyboard and mouse. `openSIL` (silboot.h) creates the one implementation.

#include <set>

/// Two floats: mouse positions and velocities, and the game's pointer.
class SILVector
{
public:
    SILVector(float x, float y) : mX(x), mY(y) {}

    float x() const { return mX; }
    float y() const { return mY; }

    /// Adds the other vector in place, component by component.
    void add(const SILVector& other);
    /// The component-wise product (x * other.x, y * other.y).
    SILVector multiply(const SILVector& other) const;

private:
    float mX;
    float mY;
};

/// A key identifier, 1 to 95; 1 is no key and always reads as up.
class SILKeyID
{
public:
    explicit SILKeyID(int id) : mID(id) {}

    /// The identifier; requires 1 <= id < 96.
    int value() const;

private:
    bool invariant() const { return (1 <= mID) && (mID < 96); }

    int mID;
};

// Cooperative modes, valid strictly between the two bounds.
constexpr int MIN_COOPERATIVE_MODE = 0;
constexpr int FOREGROUND_NONEXCLUSIVE_MODE = 1; // the game's keyboard
constexpr int FOREGROUND_EXCLUSIVE_MODE = 2;    // the game's mouse
constexpr int MAX_COOPERATIVE_MODE = 3;

// Mouse buttons, valid strictly between the two bounds.
constexpr int MIN_BUTTON = 0;
constexpr int LEFT_BUTTON = 1;
constexpr int MIDDLE_BUTTON = 2;
constexpr int RIGHT_BUTTON = 3;
constexpr int MAX_BUTTON = 4;

class SILKeyboard
{
public:
    virtual ~SILKeyboard() noexcept(false) = default;
    /// Whether the key was down at the last poll.
    virtual bool isKeyDown(SILKeyID key) = 0;
};

class SILMouse
{
public:
    virtual ~SILMouse() noexcept(false) = default;
    /// Sets the accumulated position.
    virtual void setPosition(const SILVector& position) = 0;
    /// Sets the per-axis factors applied to each poll's relative motion.
    virtual void setVelocity(const SILVector& velocity) = 0;
    /// Whether the button (1 left, 2 middle, 3 right) was down at the last poll.
    virtual bool isButtonDown(int button) = 0;
    /// The accumulated position.
    virtual const SILVector& position() = 0;
};

/// The library; it owns the keyboards and mice it opens until they are closed.
class SIL
{
public:
    virtual ~SIL() noexcept(false) = default;
    virtual void closeKeyboard(SILKeyboard* keyboard) = 0;
    virtual void closeMouse(SILMouse* mouse) = 0;
    /// Opens the system keyboard in the cooperative mode; owned by the library.
    virtual SILKeyboard* openKeyboard(int cooperativeMode) = 0;
    /// Opens the system mouse at the start position, moving by velocity x motion; owned by the library.
    virtual SILMouse* openMouse(int cooperativeMode, const SILVector& startPosition, const SILVector& velocity) = 0;
    /// Polls every open keyboard, then every open mouse.
    virtual void update() = 0;
    virtual const std::set<SILKeyboard*>& keyboards() = 0;
    virtual const std::set<SILMouse*>& mice() = 0;
};
