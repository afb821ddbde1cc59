#pragma once
// The input library over DirectInput 8: the system keyboard and mouse, polled once per update.

#include "host/dinput8.h"
#include "platform/sil.h"

#include <set>

// Bytes of DirectInput's keyboard state, one per key index.
constexpr int DI_KEY_COUNT = 256;

class SILKeyboardImp final : public SILKeyboard
{
public:
    /// Opens the system keyboard with the cooperative flags; it is acquired at the first update.
    SILKeyboardImp(IDirectInput8A* directInput, HWND windowHandle, DWORD flags);
    ~SILKeyboardImp() noexcept(false) override;
    SILKeyboardImp(const SILKeyboardImp&) = delete;
    SILKeyboardImp& operator=(const SILKeyboardImp&) = delete;

    bool isKeyDown(SILKeyID key) override;
    /// Reads the key state; while the device cannot be read every key is up.
    void update();

private:
    bool invariant() const { return mDevice != nullptr; }

    IDirectInputDevice8A* mDevice;
    BYTE mKeyState[DI_KEY_COUNT];
};

class SILMouseImp final : public SILMouse
{
public:
    /// Opens the system mouse in relative axis mode; it is acquired at the first update.
    SILMouseImp(IDirectInput8A* directInput, HWND windowHandle, DWORD flags, const SILVector& position,
                const SILVector& velocity);
    ~SILMouseImp() noexcept(false) override;
    SILMouseImp(const SILMouseImp&) = delete;
    SILMouseImp& operator=(const SILMouseImp&) = delete;

    void setPosition(const SILVector& position) override;
    void setVelocity(const SILVector& velocity) override;
    bool isButtonDown(int button) override;
    const SILVector& position() override;
    /// Moves the position by velocity x motion and reads the buttons; while the device cannot be read the
    /// position stays and every button is up.
    void update();

private:
    bool invariant() const { return mDevice != nullptr; }

    IDirectInputDevice8A* mDevice;
    SILVector mPosition;
    SILVector mVelocity;
    bool mLeft;
    bool mMiddle;
    bool mRight;
};

class SILImp final : public SIL
{
public:
    /// Creates the DirectInput object for the window whose handle is pointed to.
    explicit SILImp(const HWND* windowHandle);
    /// Releases DirectInput; every keyboard and mouse must be closed before.
    ~SILImp() noexcept(false) override;
    SILImp(const SILImp&) = delete;
    SILImp& operator=(const SILImp&) = delete;

    void closeKeyboard(SILKeyboard* keyboard) override;
    void closeMouse(SILMouse* mouse) override;
    SILKeyboard* openKeyboard(int cooperativeMode) override;
    SILMouse* openMouse(int cooperativeMode, const SILVector& startPosition, const SILVector& velocity) override;
    void update() override;
    const std::set<SILKeyboard*>& keyboards() override;
    const std::set<SILMouse*>& mice() override;

    bool isOpen(SILKeyboard* keyboard) const;
    bool isOpen(SILMouse* mouse) const;

private:
    bool invariant() const { return mDirectInput != nullptr && mWindowHandle != nullptr; }

    IDirectInput8A* mDirectInput;
    HWND mWindowHandle;
    std::set<SILMouse*> mMice;
    std::set<SILKeyboard*> mKeyboards;
};
