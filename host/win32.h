#pragma once
// Our stand-in for the part of the Win32 API the program is written against, over SDL2.
// Types keep their Win32 widths: DWORD and LONG are 32 bits; handles, WPARAM, LPARAM and LRESULT are
// pointer-sized. Numeric values are our own choice except where the program relies on a given one.
//
// Windows: each window is one SDL window. Its outer rectangle is its client area (the desktop draws any
// decoration outside it). Messages: one queue per thread; PeekMessageA first turns pending SDL events into
// messages. Calls that send messages on the original platform (CreateWindowExA, MoveWindow, ShowWindow,
// UpdateWindow) call the window procedure directly. SDL starts lazily, leaving SIGINT and SIGTERM alone.
// Tests drive all of this through host/testing.h.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using HRESULT = std::int32_t;
using CHAR = char;
using WCHAR = wchar_t;
using ATOM = WORD;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPVOID = void*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// Calling-convention markers of the original platform; nothing on this one.
#define WINAPI
#define CALLBACK

// Handles: distinct opaque pointer types.
struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HMENU__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HBRUSH = HBRUSH__*;
using HMENU = HMENU__*;

union LARGE_INTEGER
{
    struct
    {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};

struct POINT
{
    LONG x;
    LONG y;
};

struct RECT
{
    LONG left;
    LONG top;
    LONG right;  // exclusive
    LONG bottom; // exclusive
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time; // milliseconds since SDL started
    POINT pt;   // the pointer's last position in client pixels when the message was queued
};

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct WNDCLASSEXA
{
    UINT cbSize; // not examined
    UINT style;  // CS_*
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra; // window extra bytes; every window has room for at least one pointer at index 0
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

constexpr WORD LOWORD(std::uintptr_t value)
{
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t value)
{
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high)
{
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// Class styles.
constexpr UINT CS_VREDRAW = 0x1;
constexpr UINT CS_HREDRAW = 0x2;
constexpr UINT CS_DBLCLKS = 0x8; // the second press of a double click arrives as WM_*BUTTONDBLCLK

// System colours, usable as a class background brush.
constexpr int COLOR_WINDOW = 5;

// Stock icon and cursor names for LoadIconA and LoadCursorA.
inline const LPCSTR IDI_WINLOGO = reinterpret_cast<LPCSTR>(std::uintptr_t{32517});
inline const LPCSTR IDC_ARROW = reinterpret_cast<LPCSTR>(std::uintptr_t{32512});

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000u;      // borderless
constexpr DWORD WS_CAPTION = 0x00C00000u;    // decorated
constexpr DWORD WS_SYSMENU = 0x00080000u;    // has a close command: WM_CLOSE's default destroys the window
constexpr DWORD WS_THICKFRAME = 0x00040000u; // resizable
constexpr DWORD WS_MINIMIZEBOX = 0x00020000u;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000u;
constexpr DWORD WS_EX_TOPMOST = 0x00000008u; // always on top

// ShowWindow commands.
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// GetSystemMetrics indices: the desktop's size in pixels.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// MessageBoxA types and results.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;

// PeekMessageA options.
constexpr UINT PM_NOREMOVE = 0x0;
constexpr UINT PM_REMOVE = 0x1;

// Messages.
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;     // lParam: client left (low word), top (high word)
constexpr UINT WM_SIZE = 0x0005;     // wParam: SIZE_*; lParam: client width (low word), height (high word)
constexpr UINT WM_ACTIVATE = 0x0006; // low word of wParam: WA_*; high word: non-zero when minimised
constexpr UINT WM_PAINT = 0x000F;    // queued last, while part of the window awaits painting
constexpr UINT WM_CLOSE = 0x0010;    // the desktop asks to close the window
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C; // wParam: TRUE when the program gains the foreground
constexpr UINT WM_KEYDOWN = 0x0100;     // wParam: virtual key; lParam: see below
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102; // wParam: the typed character, a Latin-1 byte; posted by TranslateMessage
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104; // key messages while Alt is held
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_MOUSEMOVE = 0x0200; // wParam: MK_*; lParam: client x and y as unsigned 16-bit words
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
// Key message lParam: bits 0-15 repeat count (1 per auto-repeat), 16-23 scan code, 24 extended key,
// 29 Alt held, 30 key was already down, 31 key is being released.

// WM_ACTIVATE low words.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// Mouse-message wParam bits: the buttons and modifiers held.
constexpr WPARAM MK_LBUTTON = 0x01;
constexpr WPARAM MK_RBUTTON = 0x02;
constexpr WPARAM MK_SHIFT = 0x04;
constexpr WPARAM MK_CONTROL = 0x08;
constexpr WPARAM MK_MBUTTON = 0x10;

// Virtual-key codes; the digits are '0' to '9' (48 to 57) and the letters 'A' to 'Z' (65 to 90).
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18; // Alt
constexpr int VK_PAUSE = 19;
constexpr int VK_CAPITAL = 20;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_SNAPSHOT = 44;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_LWIN = 91;
constexpr int VK_RWIN = 92;
constexpr int VK_APPS = 93;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_NUMPAD1 = 97;
constexpr int VK_NUMPAD2 = 98;
constexpr int VK_NUMPAD3 = 99;
constexpr int VK_NUMPAD4 = 100;
constexpr int VK_NUMPAD5 = 101;
constexpr int VK_NUMPAD6 = 102;
constexpr int VK_NUMPAD7 = 103;
constexpr int VK_NUMPAD8 = 104;
constexpr int VK_NUMPAD9 = 105;
constexpr int VK_MULTIPLY = 106;
constexpr int VK_ADD = 107;
constexpr int VK_SEPARATOR = 108;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_DECIMAL = 110;
constexpr int VK_DIVIDE = 111;
constexpr int VK_F1 = 112;
constexpr int VK_F2 = 113;
constexpr int VK_F3 = 114;
constexpr int VK_F4 = 115;
constexpr int VK_F5 = 116;
constexpr int VK_F6 = 117;
constexpr int VK_F7 = 118;
constexpr int VK_F8 = 119;
constexpr int VK_F9 = 120;
constexpr int VK_F10 = 121;
constexpr int VK_F11 = 122;
constexpr int VK_F12 = 123;
constexpr int VK_NUMLOCK = 144;
constexpr int VK_SCROLL = 145;
constexpr int VK_OEM_1 = 186; // ;:
constexpr int VK_OEM_PLUS = 187;
constexpr int VK_OEM_COMMA = 188;
constexpr int VK_OEM_MINUS = 189;
constexpr int VK_OEM_PERIOD = 190;
constexpr int VK_OEM_2 = 191; // /?
constexpr int VK_OEM_3 = 192; // `~
constexpr int VK_OEM_4 = 219; // [{
constexpr int VK_OEM_5 = 220; // backslash
constexpr int VK_OEM_6 = 221; // ]}
constexpr int VK_OEM_7 = 222; // '"

// Code pages for MultiByteToWideChar: the program's byte strings are UTF-8.
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// Entry: the host's main calls the program's WinMain with the module handle, no previous instance,
// an empty command line and SW_SHOWNORMAL, and returns its result.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

/// Ends the process at once with the given exit code: no static destructor, no atexit handler runs.
[[noreturn]] void ExitProcess(UINT exitCode);
/// The program's module handle (the same non-null value on every call); any module name gives it too.
HMODULE GetModuleHandleA(LPCSTR moduleName);

// Window classes and windows.
/// Registers a class by name for this module; 0 when the name is taken or the class has no procedure.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
/// Creates a hidden window of a registered class (null when there is none) with its own SDL window;
/// WS_CAPTION gives decorations, WS_POPUP none, WS_EX_TOPMOST keeps it on top. Sends WM_CREATE.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter);
/// Moves and resizes the window (pixels); sends WM_MOVE and WM_SIZE for what changed; repaint queues WM_PAINT.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
/// Shows, minimises, restores or maximises; answers whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
/// Sends WM_PAINT at once when part of the window awaits painting.
BOOL UpdateWindow(HWND window);
/// Sets the title shown by the desktop.
BOOL SetWindowTextA(HWND window, LPCSTR text);
/// The window's rectangle in desktop pixels; FALSE for an unknown window.
BOOL GetWindowRect(HWND window, RECT* rectangle);
/// The client area: left and top 0, right and bottom its width and height.
BOOL GetClientRect(HWND window, RECT* rectangle);
/// Whether the window is minimised.
BOOL IsIconic(HWND window);
/// Whether the window is maximised.
BOOL IsZoomed(HWND window);
/// SM_CXSCREEN and SM_CYSCREEN: the desktop's size in pixels; 0 for any other index.
int GetSystemMetrics(int index);
/// Window extra bytes at a byte index: 32-bit values; the previous value is returned, 0 outside the bytes.
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG GetWindowLongA(HWND window, int index);
/// Pointer-sized window extra bytes, e.g. the address of the window's object at index 0.
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
/// The default processing: WM_PAINT validates the window, WM_CLOSE destroys a window with WS_SYSMENU
/// (one without it has no close command and ignores the request); everything else answers 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
/// Marks the window painted (the rectangle is ignored: always the whole window), so no WM_PAINT follows.
BOOL ValidateRect(HWND window, const RECT* rectangle);
/// Stock icons and cursors: a non-null handle for a stock name.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

// Messages.
/// Takes in pending SDL events, then looks for the first message of the window (any, when null) whose
/// number lies in [first, last] (all, when both are 0); copies it to message and, with PM_REMOVE, removes
/// it. WM_PAINT comes only when nothing else matches. FALSE when there is no such message.
BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT options);
/// For a key-down message that typed characters, posts one WM_CHAR per character; answers whether it did.
BOOL TranslateMessage(const MSG* message);
/// Calls the procedure of the message's window class and returns its result.
LRESULT DispatchMessageA(const MSG* message);
/// Blocks until a message is queued.
BOOL WaitMessage();

// Timing: a monotonic counter of nanoseconds and a sleep.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);

/// Writes caption and text to stderr, then shows them in a box (OK button; MB_ICONERROR an error icon)
/// when a display is available, and returns IDOK once it is closed.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

/// Decodes UTF-8 bytes (CP_ACP or CP_UTF8; byteCount -1: up to and including the terminating zero) into
/// wide characters; malformed bytes give U+FFFD. wideCount 0 asks for the count needed. Answers the count
/// written, or 0 when the buffer is too small or the code page unknown.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int byteCount, LPWSTR wide, int wideCount);
