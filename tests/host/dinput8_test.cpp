#include "host/dinput8.h"

#include "tests/host/hostfixture.h"

#include <array>

namespace
{

// DirectInput over a focused window, with the calls the input library makes to open its devices.
class DirectInput : public HostWindowTest
{
protected:
    void SetUp() override
    {
        HostWindowTest::SetUp();
        mWindow = openWindow();
        ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                     reinterpret_cast<LPVOID*>(&mDirectInput), nullptr),
                  DI_OK);
    }

    void TearDown() override
    {
        for (IDirectInputDevice8A* device : {mKeyboard, mMouse})
        {
            if (device)
            {
                EXPECT_EQ(device->Release(), 0u);
            }
        }
        EXPECT_EQ(mDirectInput->Release(), 0u);
        HostWindowTest::TearDown();
    }

    IDirectInputDevice8A* open(REFGUID kind, const DIDATAFORMAT& format, DWORD flags)
    {
        IDirectInputDevice8A* device = nullptr;
        EXPECT_EQ(mDirectInput->CreateDevice(kind, &device, nullptr), DI_OK);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(mWindow, flags), DI_OK);
        return device;
    }

    void openKeyboard()
    {
        mKeyboard = open(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE | DISCL_NOWINKEY);
    }

    void openMouse()
    {
        mMouse = open(GUID_SysMouse, c_dfDIMouse, DISCL_FOREGROUND | DISCL_EXCLUSIVE | DISCL_NOWINKEY);
        const DIPROPDWORD relative = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, DIPROPAXISMODE_REL};
        const HRESULT result = mMouse->SetProperty(DIPROP_AXISMODE, &relative.diph);
        EXPECT_TRUE(result == DI_OK || result == DI_PROPNOEFFECT);
    }

    // The input library's update: acquire, poll, read, each only after the one before succeeded.
    std::array<BYTE, 256> readKeys()
    {
        std::array<BYTE, 256> keys{};
        if (SUCCEEDED(mKeyboard->Acquire()) && SUCCEEDED(mKeyboard->Poll()))
        {
            mKeyboard->GetDeviceState(keys.size(), keys.data());
        }
        return keys;
    }

    DIMOUSESTATE readMouse()
    {
        DIMOUSESTATE state{};
        EXPECT_TRUE(SUCCEEDED(mMouse->Acquire()));
        EXPECT_TRUE(SUCCEEDED(mMouse->Poll()));
        EXPECT_EQ(mMouse->GetDeviceState(sizeof(state), &state), DI_OK);
        return state;
    }

    HWND mWindow = nullptr;
    IDirectInput8A* mDirectInput = nullptr;
    IDirectInputDevice8A* mKeyboard = nullptr;
    IDirectInputDevice8A* mMouse = nullptr;
};

} // namespace

TEST_F(DirectInput, ReferenceCountsReachZeroAndDevicesKeepTheirDirectInput)
{
    openKeyboard();
    EXPECT_EQ(mKeyboard->AddRef(), 2u);
    EXPECT_EQ(mKeyboard->Release(), 1u);
    void* same = nullptr;
    EXPECT_EQ(mKeyboard->QueryInterface(IID_IDirectInputDevice8A, &same), S_OK);
    EXPECT_EQ(same, mKeyboard);
    EXPECT_EQ(mKeyboard->Release(), 1u);
    EXPECT_EQ(mKeyboard->QueryInterface(IID_IDirectInput8A, &same), E_NOINTERFACE);
    EXPECT_EQ(same, nullptr);
    // The device holds one reference: the library object's own release is last and reaches 0 (TearDown).
    EXPECT_EQ(mDirectInput->AddRef(), 3u);
    EXPECT_EQ(mDirectInput->Release(), 2u);
}

TEST_F(DirectInput, CreationRefusesWhatItDoesNotProvide)
{
    LPVOID object = reinterpret_cast<LPVOID>(1);
    HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(DirectInput8Create(module, 0x0700, IID_IDirectInput8A, &object, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DirectInput8Create(module, 0x0900, IID_IDirectInput8A, &object, nullptr), DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(module, DIRECTINPUT_VERSION, IID_IDirectInputDevice8A, &object, nullptr),
              DIERR_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &object, nullptr),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(DirectInput8Create(module, DIRECTINPUT_VERSION, IID_IDirectInput8A, &object, mDirectInput),
              DIERR_NOAGGREGATION);

    IDirectInputDevice8A* device = reinterpret_cast<IDirectInputDevice8A*>(1);
    EXPECT_EQ(mDirectInput->CreateDevice(IID_IDirectInput8A, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
}

TEST_F(DirectInput, DeviceSetupChecksFormatsLevelsAndProperties)
{
    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(mDirectInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    mKeyboard = keyboard;
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    const DWORD refused[] = {DISCL_FOREGROUND, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
                             DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND, 0x100 | 0x16};
    for (DWORD flags : refused)
    {
        EXPECT_EQ(keyboard->SetCooperativeLevel(mWindow, flags), DIERR_INVALIDPARAM) << flags;
    }
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, 0x16), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(mWindow, 0x16), DI_OK);
    const DIPROPDWORD absolute = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, DIPROPAXISMODE_ABS};
    EXPECT_EQ(keyboard->SetProperty(DIPROP_AXISMODE, &absolute.diph), DIERR_UNSUPPORTED);

    openMouse();
    EXPECT_EQ(mMouse->SetProperty(DIPROP_AXISMODE, &absolute.diph), DI_OK);
    EXPECT_EQ(mMouse->SetProperty(DIPROP_AXISMODE, &absolute.diph), DI_PROPNOEFFECT);
    DIPROPDWORD wrongSize = absolute;
    wrongSize.diph.dwHeaderSize = 20;
    EXPECT_EQ(mMouse->SetProperty(DIPROP_AXISMODE, &wrongSize.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(mMouse->Acquire(), DI_OK);
    EXPECT_EQ(mMouse->SetDataFormat(&c_dfDIMouse), DIERR_ACQUIRED);
}

TEST_F(DirectInput, DataFormatIsCopiedSoTheCallersStructNeedNotOutliveTheCall)
{
    ASSERT_EQ(mDirectInput->CreateDevice(GUID_SysKeyboard, &mKeyboard, nullptr), DI_OK);
    DIDATAFORMAT format = c_dfDIKeyboard;
    ASSERT_EQ(mKeyboard->SetDataFormat(&format), DI_OK);
    format.dwDataSize = 1; // what the caller's block may hold once it is reused
    ASSERT_EQ(mKeyboard->SetCooperativeLevel(mWindow, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE), DI_OK);
    hosttest::pressKey('A');
    pump();
    EXPECT_EQ(readKeys()[DIK_A], 0x80);
    hosttest::releaseKey('A');
}

TEST_F(DirectInput, KeyStateIsIndexedByDirectInputKey)
{
    openKeyboard();
    hosttest::pressKey('A');
    hosttest::pressKeyDik(DIK_RCONTROL);
    pump();
    auto keys = readKeys();
    EXPECT_EQ(keys[DIK_A], 0x80);
    EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
    EXPECT_EQ(keys[DIK_LCONTROL], 0);
    hosttest::releaseKey('A');
    keys = readKeys(); // Poll takes in the release without a message pump
    EXPECT_EQ(keys[DIK_A], 0);
    EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
}

TEST_F(DirectInput, FocusLossLosesAcquisitionAndTheKeysReadAsUp)
{
    openKeyboard();
    hosttest::pressKey(VK_ESCAPE);
    EXPECT_EQ(readKeys()[DIK_ESCAPE], 0x80);
    EXPECT_EQ(mKeyboard->Acquire(), DI_NOEFFECT);

    hosttest::loseFocus(mWindow);
    EXPECT_EQ(mKeyboard->Poll(), DIERR_INPUTLOST);
    std::array<BYTE, 256> keys{};
    EXPECT_EQ(mKeyboard->GetDeviceState(keys.size(), keys.data()), DIERR_INPUTLOST);
    EXPECT_EQ(mKeyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(DIERR_OTHERAPPHASPRIO, E_ACCESSDENIED);
    EXPECT_EQ(readKeys(), (std::array<BYTE, 256>{}));

    hosttest::gainFocus(mWindow);
    pump();
    EXPECT_EQ(readKeys(), (std::array<BYTE, 256>{})); // the key held when the focus went is up
    EXPECT_EQ(mKeyboard->Unacquire(), DI_OK);
    EXPECT_EQ(mKeyboard->Unacquire(), DI_NOEFFECT);
    EXPECT_EQ(mKeyboard->Poll(), DIERR_NOTACQUIRED);
}

TEST_F(DirectInput, BackgroundDevicesIgnoreTheFocus)
{
    mKeyboard = open(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE);
    hosttest::loseFocus(mWindow);
    pump();
    EXPECT_EQ(mKeyboard->Acquire(), DI_OK);
    EXPECT_EQ(mKeyboard->Poll(), DI_NOEFFECT);
}

TEST_F(DirectInput, RelativeMouseMotionAddsUpBetweenReads)
{
    openMouse();
    hosttest::moveMouse(mWindow, 10, 10, 5, 5); // before acquisition: lost
    pump();
    EXPECT_EQ(readMouse().lX, 0);
    hosttest::moveMouse(mWindow, 13, 12, 3, 2);
    hosttest::moveMouse(mWindow, 17, 11, 4, -1);
    hosttest::turnWheel(mWindow, -2);
    DIMOUSESTATE state = readMouse();
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, 1);
    EXPECT_EQ(state.lZ, -240);
    state = readMouse();
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(mMouse->GetDeviceState(12, &state), DIERR_INVALIDPARAM);
}

TEST_F(DirectInput, MouseButtonBytesAreLeftRightMiddle)
{
    openMouse();
    readMouse();
    hosttest::pressMouseButton(mWindow, 2, 0, 0); // middle
    DIMOUSESTATE state = readMouse();
    EXPECT_EQ((std::array<BYTE, 4>{state.rgbButtons[0], state.rgbButtons[1], state.rgbButtons[2], state.rgbButtons[3]}),
              (std::array<BYTE, 4>{0, 0, 0x80, 0}));
    hosttest::pressMouseButton(mWindow, 3, 0, 0); // right
    hosttest::releaseMouseButton(mWindow, 2, 0, 0);
    state = readMouse();
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[2], 0);
}
