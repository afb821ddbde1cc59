#include "platform/silimp.h"

#include "foundation/dbg.h"
#include "host/dxerr8.h"

#include <cstring>
#include <new>
#include <set>

namespace
{

// DirectInput's key index for each key identifier; identifier 1 (no key) reads nothing.
constexpr int NO_KEY_INDEX = -1;
constexpr int KEY_INDICES[96] = {
    NO_KEY_INDEX, // 0: not an identifier
    NO_KEY_INDEX, DIK_0,       DIK_1,        DIK_2,       DIK_3,        DIK_4,           DIK_5,
    DIK_6,        DIK_7,       DIK_8,        DIK_9,       DIK_A,        DIK_B,           DIK_C,
    DIK_D,        DIK_E,       DIK_F,        DIK_G,       DIK_H,        DIK_I,           DIK_J,
    DIK_K,        DIK_L,       DIK_M,        DIK_N,       DIK_O,        DIK_P,           DIK_Q,
    DIK_R,        DIK_S,       DIK_T,        DIK_U,       DIK_V,        DIK_W,           DIK_X,
    DIK_Y,        DIK_Z,       DIK_BACK,     DIK_CAPITAL, DIK_EQUALS,   DIK_MINUS,       DIK_LCONTROL,
    DIK_LMENU,    DIK_LSHIFT,  DIK_RCONTROL, DIK_RMENU,   DIK_RSHIFT,   DIK_RETURN,      DIK_SPACE,
    DIK_TAB,      DIK_PERIOD,  DIK_F1,       DIK_F2,      DIK_F3,       DIK_F4,          DIK_F5,
    DIK_F6,       DIK_F7,      DIK_F8,       DIK_F9,      DIK_F10,      DIK_F11,         DIK_F12,
    DIK_PAUSE,    DIK_SCROLL,  DIK_SYSRQ,    DIK_ADD,     DIK_SUBTRACT, DIK_MULTIPLY,    DIK_DIVIDE,
    DIK_DECIMAL,  DIK_NUMLOCK, DIK_NUMPAD0,  DIK_NUMPAD1, DIK_NUMPAD2,  DIK_NUMPAD3,     DIK_NUMPAD4,
    DIK_NUMPAD5,  DIK_NUMPAD6, DIK_NUMPAD7,  DIK_NUMPAD8, DIK_NUMPAD9,  DIK_NUMPADENTER, DIK_NUMPADEQUALS,
    DIK_UP,       DIK_DOWN,    DIK_LEFT,     DIK_RIGHT,   DIK_DELETE,   DIK_END,         DIK_HOME,
    DIK_INSERT,   DIK_NEXT,    DIK_PRIOR,    DIK_ESCAPE,
};

// Bit 7 of a DirectInput state byte: the key or button is down.
constexpr BYTE DOWN_BIT = 0x80;

[[noreturn]] void throwDirectInputError(HRESULT result)
{
    throw DBGException("Error", DXGetErrorDescription8A(result), __FILE__, __LINE__);
}

int keyIndex(int keyID)
{
    if (keyID < 1 || keyID > 95)
        DBG_ERROR("Unknown key ID.");
    return KEY_INDICES[keyID];
}

DWORD cooperativeFlags(int cooperativeMode)
{
    switch (cooperativeMode)
    {
    case FOREGROUND_NONEXCLUSIVE_MODE:
        return DISCL_FOREGROUND | DISCL_NONEXCLUSIVE | DISCL_NOWINKEY;
    case FOREGROUND_EXCLUSIVE_MODE:
        return DISCL_FOREGROUND | DISCL_EXCLUSIVE | DISCL_NOWINKEY;
    default:
        DBG_ERROR("Unknown cooperative mode.");
    }
}

// The wrappers: each checks its pointers, makes one DirectInput call and sorts its result into success,
// a tolerated condition (false) or a failure.

bool acquire(IDirectInputDevice8A* device)
{
    DBG_ASSERT("Valid device pointer." && device);
    const HRESULT result = device->Acquire();
    if (result == DI_OK || result == S_FALSE)
        return true;
    if (result == DIERR_OTHERAPPHASPRIO)
        return false;
    throwDirectInputError(result);
}

bool poll(IDirectInputDevice8A* device)
{
    DBG_ASSERT("Valid device pointer." && device);
    const HRESULT result = device->Poll();
    if (result == DI_OK || result == DI_NOEFFECT || result == DIERR_INPUTLOST)
        return true;
    throwDirectInputError(result);
}

bool getState(IDirectInputDevice8A* device, unsigned int byteCount, void* state)
{
    DBG_ASSERT("Valid device pointer." && device);
    DBG_ASSERT("Valid state pointer." && state);
    const HRESULT result = device->GetDeviceState(byteCount, state);
    if (result == DI_OK)
        return true;
    if (result == E_PENDING || result == DIERR_INPUTLOST)
        return false;
    throwDirectInputError(result);
}

void createDevice(IDirectInput8A* directInput, REFGUID deviceGUID, IDirectInputDevice8A** device)
{
    DBG_ASSERT("Valid direct input pointer." && directInput);
    DBG_ASSERT("Valid device pointer." && device);
    *device = nullptr;
    const HRESULT result = directInput->CreateDevice(deviceGUID, device, nullptr);
    if (result != DI_OK)
        throwDirectInputError(result);
    DBG_ASSERT("Valid direct inpuput mouse device pointer." && *device);
}

void setDataFormat(IDirectInputDevice8A* device, const DIDATAFORMAT* dataFormat)
{
    DBG_ASSERT("Valid device pointer." && device);
    DBG_ASSERT("Valid data format pointer." && dataFormat);
    const HRESULT result = device->SetDataFormat(dataFormat);
    if (result != DI_OK)
        throwDirectInputError(result);
}

void setCooperativeLevel(IDirectInputDevice8A* device, HWND windowHandle, DWORD flags)
{
    DBG_ASSERT("Valid device pointer." && device);
    DBG_ASSERT("Valid window handle." && (windowHandle != NULL));
    const HRESULT result = device->SetCooperativeLevel(windowHandle, flags);
    if (result != DI_OK)
        throwDirectInputError(result);
}

void release(IDirectInputDevice8A* device)
{
    DBG_ASSERT("Valid device pointer." && device);
    const ULONG deviceReferenceCount = device->Release();
    DBG_ASSERT("Reference count is zero, device is destroyed." && (deviceReferenceCount == 0));
}

void unacquire(IDirectInputDevice8A* device)
{
    DBG_ASSERT("Valid device pointer." && device);
    const HRESULT result = device->Unacquire();
    if (result != DI_OK && result != DI_NOEFFECT)
        DBG_ERROR("Unknown direct input error.");
}

// Opens a system device with its data format and cooperative level.
IDirectInputDevice8A* openDevice(IDirectInput8A* directInput, HWND windowHandle, DWORD flags, REFGUID deviceGUID,
                                 const DIDATAFORMAT* dataFormat)
{
    DBG_ASSERT("Valid direct input pointer." && directInput);
    DBG_ASSERT("Valid window handle." && (windowHandle != NULL));
    IDirectInputDevice8A* device = nullptr;
    createDevice(directInput, deviceGUID, &device);
    setDataFormat(device, dataFormat);
    setCooperativeLevel(device, windowHandle, flags);
    return device;
}

void closeDevice(IDirectInputDevice8A* device)
{
    unacquire(device);
    release(device);
}

} // namespace

SILKeyboardImp::SILKeyboardImp(IDirectInput8A* directInput, HWND windowHandle, DWORD flags) : mDevice(nullptr)
{
    std::memset(mKeyState, 0, sizeof mKeyState);
    mDevice = openDevice(directInput, windowHandle, flags, GUID_SysKeyboard, &c_dfDIKeyboard);
    DBG_ASSERT(invariant());
}

SILKeyboardImp::~SILKeyboardImp() noexcept(false)
{
    DBG_ASSERT(invariant());
    closeDevice(mDevice);
    mDevice = nullptr;
}

bool SILKeyboardImp::isKeyDown(SILKeyID key)
{
    const int id = key.value();
    if (id == 1)
        return false;
    const int keyStateIndex = keyIndex(id);
    DBG_ASSERT("Valid keyStateIndex." && (0 <= keyStateIndex) && (keyStateIndex < DI_KEY_COUNT));
    return (mKeyState[keyStateIndex] & DOWN_BIT) != 0;
}

void SILKeyboardImp::update()
{
    DBG_ASSERT(invariant());
    std::memset(mKeyState, 0, sizeof mKeyState);
    if (acquire(mDevice) && poll(mDevice) && getState(mDevice, DI_KEY_COUNT, mKeyState))
        DBG_ASSERT(invariant());
}

SILMouseImp::SILMouseImp(IDirectInput8A* directInput, HWND windowHandle, DWORD flags, const SILVector& position,
                         const SILVector& velocity)
    : mDevice(nullptr), mPosition(position), mVelocity(velocity), mLeft(false), mMiddle(false), mRight(false)
{
    mDevice = openDevice(directInput, windowHandle, flags, GUID_SysMouse, &c_dfDIMouse);

    DIPROPDWORD axisMode{};
    axisMode.diph.dwSize = sizeof(DIPROPDWORD);
    axisMode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    axisMode.diph.dwObj = 0;
    axisMode.diph.dwHow = DIPH_DEVICE;
    axisMode.dwData = DIPROPAXISMODE_REL;
    const HRESULT result = mDevice->SetProperty(DIPROP_AXISMODE, &axisMode.diph);
    if (result != DI_OK && result != DI_PROPNOEFFECT)
        throwDirectInputError(result);
    DBG_ASSERT(invariant());
}

SILMouseImp::~SILMouseImp() noexcept(false)
{
    DBG_ASSERT(invariant());
    closeDevice(mDevice);
    mDevice = nullptr;
}

void SILMouseImp::setPosition(const SILVector& position)
{
    DBG_ASSERT(invariant());
    mPosition = position;
    DBG_ASSERT(invariant());
}

void SILMouseImp::setVelocity(const SILVector& velocity)
{
    DBG_ASSERT(invariant());
    mVelocity = velocity;
    DBG_ASSERT(invariant());
}

bool SILMouseImp::isButtonDown(int button)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid mouse button." && (MIN_BUTTON < button) && (button < MAX_BUTTON));
    switch (button)
    {
    case LEFT_BUTTON:
        return mLeft;
    case MIDDLE_BUTTON:
        return mMiddle;
    case RIGHT_BUTTON:
        return mRight;
    default:
        DBG_ERROR("Unknown mouse button.");
    }
}

const SILVector& SILMouseImp::position()
{
    DBG_ASSERT(invariant());
    return mPosition;
}

void SILMouseImp::update()
{
    DBG_ASSERT(invariant());
    mLeft = mMiddle = mRight = false;
    DIMOUSESTATE state{};
    if (acquire(mDevice) && poll(mDevice) && getState(mDevice, sizeof state, &state))
    {
        const SILVector motion(static_cast<float>(state.lX), static_cast<float>(state.lY));
        mPosition.add(mVelocity.multiply(motion));
        // DirectInput's second button byte is the right button, the third the middle one.
        mLeft = (state.rgbButtons[0] & DOWN_BIT) != 0;
        mMiddle = (state.rgbButtons[2] & DOWN_BIT) != 0;
        mRight = (state.rgbButtons[1] & DOWN_BIT) != 0;
        DBG_ASSERT(invariant());
    }
}

SILImp::SILImp(const HWND* windowHandle) : mDirectInput(nullptr), mWindowHandle(nullptr)
{
    DBG_ASSERT("Valid window handle pointer." && windowHandle);
    mWindowHandle = *windowHandle;
    DBG_ASSERT("Valid window handle." && (mWindowHandle != NULL));
    const HRESULT result = DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                              reinterpret_cast<void**>(&mDirectInput), nullptr);
    if (result != DI_OK)
        throwDirectInputError(result);
    DBG_ASSERT("Valid direct input pointer." && mDirectInput);
    DBG_ASSERT(invariant());
}

SILImp::~SILImp() noexcept(false)
{
    DBG_ASSERT(invariant());
    const ULONG directInputReferenceCount = mDirectInput->Release();
    DBG_ASSERT("No references left to direct input, i.e. object destroyed." && (directInputReferenceCount == 0));
    mDirectInput = nullptr;
    mWindowHandle = nullptr;
    mMice.clear();
    mKeyboards.clear();
}

SILKeyboard* SILImp::openKeyboard(int cooperativeMode)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid cooperative mode." && (MIN_COOPERATIVE_MODE < cooperativeMode) &&
               (cooperativeMode < MAX_COOPERATIVE_MODE));
    const DWORD flags = cooperativeFlags(cooperativeMode);
    SILKeyboardImp* keyboard = new (std::nothrow) SILKeyboardImp(mDirectInput, mWindowHandle, flags);
    DBG_ASSERT("Direct input keyboard created successfully." && keyboard);
    mKeyboards.insert(keyboard);
    DBG_ASSERT(invariant());
    return keyboard;
}

SILMouse* SILImp::openMouse(int cooperativeMode, const SILVector& startPosition, const SILVector& velocity)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid cooperative mode." && (MIN_COOPERATIVE_MODE < cooperativeMode) &&
               (cooperativeMode < MAX_COOPERATIVE_MODE));
    const DWORD flags = cooperativeFlags(cooperativeMode);
    SILMouseImp* mouse = new (std::nothrow) SILMouseImp(mDirectInput, mWindowHandle, flags, startPosition, velocity);
    DBG_ASSERT("Direct input mouse created successfully." && mouse);
    mMice.insert(mouse);
    DBG_ASSERT(invariant());
    return mouse;
}

void SILImp::closeKeyboard(SILKeyboard* keyboard)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid keyboard pointer." && keyboard);
    DBG_ASSERT("Open keyboard." && isOpen(keyboard));
    mKeyboards.erase(keyboard);
    delete keyboard;
    DBG_ASSERT(invariant());
}

void SILImp::closeMouse(SILMouse* mouse)
{
    DBG_ASSERT(invariant());
    DBG_ASSERT("Valid mouse pointer." && mouse);
    DBG_ASSERT("Open mouse." && isOpen(mouse));
    mMice.erase(mouse);
    delete mouse;
    DBG_ASSERT(invariant());
}

void SILImp::update()
{
    DBG_ASSERT(invariant());
    for (SILKeyboard* keyboard : mKeyboards)
    {
        DBG_ASSERT("Valid keyboard pointer." && keyboard);
        static_cast<SILKeyboardImp*>(keyboard)->update();
    }
    for (SILMouse* mouse : mMice)
    {
        DBG_ASSERT("Valid mouse pointer." && mouse);
        static_cast<SILMouseImp*>(mouse)->update();
    }
    DBG_ASSERT(invariant());
}

const std::set<SILKeyboard*>& SILImp::keyboards()
{
    DBG_ASSERT(invariant());
    return mKeyboards;
}

const std::set<SILMouse*>& SILImp::mice()
{
    DBG_ASSERT(invariant());
    return mMice;
}

bool SILImp::isOpen(SILKeyboard* keyboard) const
{
    DBG_ASSERT("Valid keyboard pointer." && keyboard);
    return mKeyboards.find(keyboard) != mKeyboards.end();
}

bool SILImp::isOpen(SILMouse* mouse) const
{
    DBG_ASSERT("Valid mouse pointer." && mouse);
    return mMice.find(mouse) != mMice.end();
}
