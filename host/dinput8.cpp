// DirectInput devices read the raw input state that the event pump keeps (host/win32message.cpp); mice
// add up the motion that reaches them while they are acquired.

#include "host/dinput8.h"

#include "host/comobject.h"
#include "host/hostwin32.h"
#include "host/win32state.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 0, 256};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), 1, sizeof(DIMOUSESTATE)};

namespace
{

bool sameFormat(const DIDATAFORMAT& a, const DIDATAFORMAT& b)
{
    return a.dwSize == b.dwSize && a.dwFlags == b.dwFlags && a.dwDataSize == b.dwDataSize;
}

class Device;
std::vector<Device*> gDevices; // every live device, for the event pump's hooks

void updatePointerCapture();

class Device final : public HostComObject<IDirectInputDevice8A, &IID_IDirectInputDevice8A>
{
public:
    Device(IDirectInput8A* directInput, bool mouse) : mDirectInput(directInput), mMouse(mouse)
    {
        mDirectInput->AddRef();
        gDevices.push_back(this);
    }

    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override
    {
        if (mAcquired)
        {
            return DIERR_ACQUIRED;
        }
        if (!format || !sameFormat(*format, mMouse ? c_dfDIMouse : c_dfDIKeyboard))
        {
            return DIERR_INVALIDPARAM;
        }
        // Kept by value: the caller's format need not outlive this call.
        mDataSize = format->dwDataSize;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override
    {
        const DWORD exclusive = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
        const DWORD ground = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
        if (!hostFindWindow(window) || (flags & ~0x1Fu) || exclusive == 0 ||
            exclusive == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || ground == 0 ||
            ground == (DISCL_FOREGROUND | DISCL_BACKGROUND))
        {
            return DIERR_INVALIDPARAM;
        }
        if (mAcquired)
        {
            return DIERR_ACQUIRED;
        }
        mWindow = window;
        mFlags = flags;
        return DI_OK;
    }

    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (!header)
        {
            return DIERR_INVALIDPARAM;
        }
        if (!(property == DIPROP_AXISMODE) || !mMouse)
        {
            return DIERR_UNSUPPORTED;
        }
        if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHeaderSize != sizeof(DIPROPHEADER) ||
            header->dwHow != DIPH_DEVICE || header->dwObj != 0)
        {
            return DIERR_INVALIDPARAM;
        }
        const DWORD mode = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        if (mode != DIPROPAXISMODE_REL && mode != DIPROPAXISMODE_ABS)
        {
            return DIERR_INVALIDPARAM;
        }
        if (mAcquired)
        {
            return DIERR_ACQUIRED;
        }
        const bool relative = mode == DIPROPAXISMODE_REL;
        const bool changed = relative != mRelative;
        mRelative = relative;
        return changed ? DI_OK : DI_PROPNOEFFECT;
    }

    HRESULT Acquire() override
    {
        if (mDataSize == 0)
        {
            return DIERR_INVALIDPARAM;
        }
        if (mAcquired)
        {
            return DI_NOEFFECT;
        }
        if ((mFlags & DISCL_FOREGROUND) && !hostWindowHasFocus(mWindow))
        {
            return DIERR_OTHERAPPHASPRIO;
        }
        mAcquired = true;
        mLost = false;
        mMotion = DIMOUSESTATE{};
        updatePointerCapture();
        return DI_OK;
    }

    HRESULT Unacquire() override
    {
        if (!mAcquired)
        {
            return DI_NOEFFECT;
        }
        mAcquired = false;
        mLost = false;
        updatePointerCapture();
        return DI_OK;
    }

    HRESULT Poll() override
    {
        if (mAcquired)
        {
            hostPumpEvents();
        }
        return mAcquired ? DI_NOEFFECT : notAcquired();
    }

    HRESULT GetDeviceState(DWORD size, LPVOID state) override
    {
        if (!state || mDataSize == 0 || size != mDataSize)
        {
            return DIERR_INVALIDPARAM;
        }
        if (!mAcquired)
        {
            return notAcquired();
        }
        const HostRawInput& raw = hostRawInput();
        if (!mMouse)
        {
            std::memcpy(state, raw.keys, sizeof(raw.keys));
            return DI_OK;
        }
        DIMOUSESTATE reading = mMotion;
        std::memcpy(reading.rgbButtons, raw.buttons, sizeof(raw.buttons));
        std::memcpy(state, &reading, sizeof(reading));
        if (mRelative)
        {
            mMotion = DIMOUSESTATE{};
        }
        return DI_OK;
    }

    void moved(LONG dx, LONG dy, LONG dz)
    {
        if (mMouse && mAcquired)
        {
            mMotion.lX += dx;
            mMotion.lY += dy;
            mMotion.lZ += dz;
        }
    }

    void focusLost(HWND window)
    {
        if (mAcquired && window == mWindow && (mFlags & DISCL_FOREGROUND))
        {
            mAcquired = false;
            mLost = true;
        }
    }

    bool capturesPointer() const { return mMouse && mAcquired && (mFlags & DISCL_EXCLUSIVE); }

private:
    ~Device() override
    {
        std::erase(gDevices, this);
        updatePointerCapture();
        mDirectInput->Release();
    }

    HRESULT notAcquired() const { return mLost ? DIERR_INPUTLOST : DIERR_NOTACQUIRED; }

    IDirectInput8A* mDirectInput; // holds a reference
    bool mMouse;
    DWORD mDataSize = 0; // bytes of the state of the data format set; 0 while none is
    HWND mWindow = nullptr;
    DWORD mFlags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool mRelative = true;
    bool mAcquired = false;
    bool mLost = false; // acquisition was taken away, not given up
    DIMOUSESTATE mMotion{};
};

// An exclusive mouse owns the pointer: SDL's relative mode hides it and keeps it in the window.
void updatePointerCapture()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
    {
        return;
    }
    const bool capture = std::any_of(gDevices.begin(), gDevices.end(), [](Device* d) { return d->capturesPointer(); });
    if (capture != (SDL_GetRelativeMouseMode() == SDL_TRUE))
    {
        SDL_SetRelativeMouseMode(capture ? SDL_TRUE : SDL_FALSE);
    }
}

class DirectInput final : public HostComObject<IDirectInput8A, &IID_IDirectInput8A>
{
public:
    HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICE8A* deviceOut, IUnknown* outer) override
    {
        if (!deviceOut)
        {
            return E_POINTER;
        }
        *deviceOut = nullptr;
        if (outer)
        {
            return DIERR_NOAGGREGATION;
        }
        if (!(device == GUID_SysKeyboard) && !(device == GUID_SysMouse))
        {
            return DIERR_DEVICENOTREG;
        }
        auto* created = new (std::nothrow) Device(this, device == GUID_SysMouse);
        if (!created)
        {
            return DIERR_OUTOFMEMORY;
        }
        *deviceOut = created;
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
};

} // namespace

void hostDirectInputMouseMoved(LONG dx, LONG dy, LONG dz)
{
    for (Device* device : gDevices)
    {
        device->moved(dx, dy, dz);
    }
}

void hostDirectInputFocusLost(HWND window)
{
    for (Device* device : gDevices)
    {
        device->focusLost(window);
    }
    updatePointerCapture();
}

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object, IUnknown* outer)
{
    if (!object)
    {
        return E_POINTER;
    }
    *object = nullptr;
    if (!instance)
    {
        return DIERR_INVALIDPARAM;
    }
    if (version != DIRECTINPUT_VERSION)
    {
        return version < DIRECTINPUT_VERSION ? DIERR_OLDDIRECTINPUTVERSION : DIERR_BETADIRECTINPUTVERSION;
    }
    if (outer)
    {
        return DIERR_NOAGGREGATION;
    }
    if (!(iid == IID_IDirectInput8A))
    {
        return DIERR_NOINTERFACE;
    }
    auto* created = new (std::nothrow) DirectInput;
    if (!created)
    {
        return DIERR_OUTOFMEMORY;
    }
    *object = static_cast<IDirectInput8A*>(created);
    return DI_OK;
}
