#pragma once
// Our stand-in for DirectInput 8: the system keyboard and mouse read by immediate state, over the SDL
// events that the Win32 stand-in pumps (PeekMessageA, and Poll here). Keyboard state is 256 bytes indexed by
// DIK_* (bit 7: down); mouse state is DIMOUSESTATE, relative motion since the last read. Devices with
// DISCL_FOREGROUND can be acquired only while their window has the focus, and lose acquisition
// (DIERR_INPUTLOST) when it goes. An acquired exclusive mouse hides and captures the pointer.

#include "host/com.h"
#include "host/objbase.h"
#include "host/win32.h"

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// ---- Result codes ----
constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;     // nothing to do: already acquired, not acquired, not polled
constexpr HRESULT DI_PROPNOEFFECT = S_FALSE; // the property had that value already
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);   // acquisition lost to the desktop
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu); // the device is not acquired
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);    // not allowed while acquired
constexpr HRESULT DIERR_OTHERAPPHASPRIO = E_ACCESSDENIED;                // the window is not in front
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_DEVICENOTREG = REGDB_E_CLASSNOTREG; // no such device
constexpr HRESULT DIERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DIERR_NOAGGREGATION = CLASS_E_NOAGGREGATION;
constexpr HRESULT DIERR_UNSUPPORTED = E_NOTIMPL; // no such property on this device
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481u);

// ---- Identifiers ----
inline constexpr IID IID_IDirectInput8A = {
    0x51B10D01, 0x7C25, 0x4A6B, {0x9F, 0x11, 0x6E, 0x41, 0x00, 0x08, 0x00, 0x01}};
inline constexpr IID IID_IDirectInputDevice8A = {
    0x51B10D01, 0x7C25, 0x4A6B, {0x9F, 0x11, 0x6E, 0x41, 0x00, 0x08, 0x00, 0x02}};
inline constexpr GUID GUID_SysKeyboard = {0x51B10D01, 0x7C25, 0x4A6B, {0x9F, 0x11, 0x6E, 0x41, 0x00, 0x08, 0x01, 0x01}};
inline constexpr GUID GUID_SysMouse = {0x51B10D01, 0x7C25, 0x4A6B, {0x9F, 0x11, 0x6E, 0x41, 0x00, 0x08, 0x01, 0x02}};
/// Property: a mouse's axes report relative motion (DIPROPAXISMODE_REL, the default) or absolute positions.
inline constexpr GUID DIPROP_AXISMODE = {0x51B10D01, 0x7C25, 0x4A6B, {0x9F, 0x11, 0x6E, 0x41, 0x00, 0x08, 0x02, 0x01}};

// ---- Data formats and device state ----
struct DIDATAFORMAT
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDataSize; // bytes of GetDeviceState
};
using LPCDIDATAFORMAT = const DIDATAFORMAT*;
/// The keyboard's format: 256 key bytes. The mouse's: DIMOUSESTATE.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;

struct DIMOUSESTATE
{
    LONG lX;            // pixels moved right since the last read
    LONG lY;            // pixels moved down
    LONG lZ;            // wheel: 120 per notch away from the player
    BYTE rgbButtons[4]; // left, right, middle, fourth; bit 7: down
};

// ---- Properties ----
struct DIPROPHEADER
{
    DWORD dwSize;       // of the whole property structure
    DWORD dwHeaderSize; // of this header
    DWORD dwObj;        // 0 for DIPH_DEVICE
    DWORD dwHow;
};
using LPCDIPROPHEADER = const DIPROPHEADER*;

struct DIPROPDWORD
{
    DIPROPHEADER diph;
    DWORD dwData;
};

constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPROPAXISMODE_ABS = 0;
constexpr DWORD DIPROPAXISMODE_REL = 1;

// ---- Cooperative levels: one of exclusive and non-exclusive, one of foreground and background ----
constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;
constexpr DWORD DISCL_NOWINKEY = 0x10;

// ---- Key indices (extended keys are 0x80 and above) ----
constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_1 = 0x02;
constexpr int DIK_2 = 0x03;
constexpr int DIK_3 = 0x04;
constexpr int DIK_4 = 0x05;
constexpr int DIK_5 = 0x06;
constexpr int DIK_6 = 0x07;
constexpr int DIK_7 = 0x08;
constexpr int DIK_8 = 0x09;
constexpr int DIK_9 = 0x0A;
constexpr int DIK_0 = 0x0B;
constexpr int DIK_MINUS = 0x0C;
constexpr int DIK_EQUALS = 0x0D;
constexpr int DIK_BACK = 0x0E;
constexpr int DIK_TAB = 0x0F;
constexpr int DIK_Q = 0x10;
constexpr int DIK_W = 0x11;
constexpr int DIK_E = 0x12;
constexpr int DIK_R = 0x13;
constexpr int DIK_T = 0x14;
constexpr int DIK_Y = 0x15;
constexpr int DIK_U = 0x16;
constexpr int DIK_I = 0x17;
constexpr int DIK_O = 0x18;
constexpr int DIK_P = 0x19;
constexpr int DIK_LBRACKET = 0x1A;
constexpr int DIK_RBRACKET = 0x1B;
constexpr int DIK_RETURN = 0x1C;
constexpr int DIK_LCONTROL = 0x1D;
constexpr int DIK_A = 0x1E;
constexpr int DIK_S = 0x1F;
constexpr int DIK_D = 0x20;
constexpr int DIK_F = 0x21;
constexpr int DIK_G = 0x22;
constexpr int DIK_H = 0x23;
constexpr int DIK_J = 0x24;
constexpr int DIK_K = 0x25;
constexpr int DIK_L = 0x26;
constexpr int DIK_SEMICOLON = 0x27;
constexpr int DIK_APOSTROPHE = 0x28;
constexpr int DIK_GRAVE = 0x29;
constexpr int DIK_LSHIFT = 0x2A;
constexpr int DIK_BACKSLASH = 0x2B;
constexpr int DIK_Z = 0x2C;
constexpr int DIK_X = 0x2D;
constexpr int DIK_C = 0x2E;
constexpr int DIK_V = 0x2F;
constexpr int DIK_B = 0x30;
constexpr int DIK_N = 0x31;
constexpr int DIK_M = 0x32;
constexpr int DIK_COMMA = 0x33;
constexpr int DIK_PERIOD = 0x34;
constexpr int DIK_SLASH = 0x35;
constexpr int DIK_RSHIFT = 0x36;
constexpr int DIK_MULTIPLY = 0x37;
constexpr int DIK_LMENU = 0x38;
constexpr int DIK_SPACE = 0x39;
constexpr int DIK_CAPITAL = 0x3A;
constexpr int DIK_F1 = 0x3B;
constexpr int DIK_F2 = 0x3C;
constexpr int DIK_F3 = 0x3D;
constexpr int DIK_F4 = 0x3E;
constexpr int DIK_F5 = 0x3F;
constexpr int DIK_F6 = 0x40;
constexpr int DIK_F7 = 0x41;
constexpr int DIK_F8 = 0x42;
constexpr int DIK_F9 = 0x43;
constexpr int DIK_F10 = 0x44;
constexpr int DIK_NUMLOCK = 0x45;
constexpr int DIK_SCROLL = 0x46;
constexpr int DIK_NUMPAD7 = 0x47;
constexpr int DIK_NUMPAD8 = 0x48;
constexpr int DIK_NUMPAD9 = 0x49;
constexpr int DIK_SUBTRACT = 0x4A;
constexpr int DIK_NUMPAD4 = 0x4B;
constexpr int DIK_NUMPAD5 = 0x4C;
constexpr int DIK_NUMPAD6 = 0x4D;
constexpr int DIK_ADD = 0x4E;
constexpr int DIK_NUMPAD1 = 0x4F;
constexpr int DIK_NUMPAD2 = 0x50;
constexpr int DIK_NUMPAD3 = 0x51;
constexpr int DIK_NUMPAD0 = 0x52;
constexpr int DIK_DECIMAL = 0x53;
constexpr int DIK_F11 = 0x57;
constexpr int DIK_F12 = 0x58;
constexpr int DIK_NUMPADEQUALS = 0x8D;
constexpr int DIK_NUMPADENTER = 0x9C;
constexpr int DIK_RCONTROL = 0x9D;
constexpr int DIK_DIVIDE = 0xB5;
constexpr int DIK_SYSRQ = 0xB7;
constexpr int DIK_RMENU = 0xB8;
constexpr int DIK_PAUSE = 0xC5;
constexpr int DIK_HOME = 0xC7;
constexpr int DIK_UP = 0xC8;
constexpr int DIK_PRIOR = 0xC9;
constexpr int DIK_LEFT = 0xCB;
constexpr int DIK_RIGHT = 0xCD;
constexpr int DIK_END = 0xCF;
constexpr int DIK_DOWN = 0xD0;
constexpr int DIK_NEXT = 0xD1;
constexpr int DIK_INSERT = 0xD2;
constexpr int DIK_DELETE = 0xD3;
constexpr int DIK_LWIN = 0xDB;
constexpr int DIK_RWIN = 0xDC;
constexpr int DIK_APPS = 0xDD;

// ---- Interfaces ----
class IDirectInputDevice8A : public IUnknown
{
public:
    /// The format of GetDeviceState: c_dfDIKeyboard for a keyboard, c_dfDIMouse for a mouse.
    virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
    /// Ties the device to a window with DISCL_* flags (valid pairs only); DIERR_INVALIDPARAM otherwise.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    /// DIPROP_AXISMODE of a mouse (a DIPROPDWORD with DIPH_DEVICE): DI_OK, or DI_PROPNOEFFECT when unchanged.
    virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    /// DI_OK; DI_NOEFFECT when acquired already; DIERR_OTHERAPPHASPRIO for a foreground device whose
    /// window lacks the focus; DIERR_INVALIDPARAM before SetDataFormat.
    virtual HRESULT Acquire() = 0;
    /// DI_OK; DI_NOEFFECT when it was not acquired.
    virtual HRESULT Unacquire() = 0;
    /// Takes in pending input: DI_NOEFFECT (keyboards and mice need no polling); DIERR_INPUTLOST after the
    /// acquisition was lost, DIERR_NOTACQUIRED when there was none.
    virtual HRESULT Poll() = 0;
    /// Copies the state (size: the data format's) and, for a relative mouse, starts the motion anew;
    /// DIERR_INPUTLOST or DIERR_NOTACQUIRED as Poll; DIERR_INVALIDPARAM for a wrong size.
    virtual HRESULT GetDeviceState(DWORD size, LPVOID state) = 0;
};
using LPDIRECTINPUTDEVICE8A = IDirectInputDevice8A*;

class IDirectInput8A : public IUnknown
{
public:
    /// Opens GUID_SysKeyboard or GUID_SysMouse (DIERR_DEVICENOTREG otherwise) with one reference the caller
    /// releases; *device is null after a failure. The device holds a reference to this object.
    virtual HRESULT CreateDevice(REFGUID device, LPDIRECTINPUTDEVICE8A* deviceOut, IUnknown* outer) = 0;
};
using LPDIRECTINPUT8A = IDirectInput8A*;

/// Creates the DirectInput object (version DIRECTINPUT_VERSION, interface IID_IDirectInput8A, no outer object)
/// with one reference the caller releases; *object is null after a failure.
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* object, IUnknown* outer);
