#pragma once
// Inside the Win32 and DirectInput stand-ins: the window records, the message queue and the raw input
// state that the SDL event pump keeps. For host/win32*.cpp, host/dinput8.cpp and host/testing.cpp only.

#include "host/testing.h"
#include "host/win32.h"

#include <SDL.h>

#include <string>
#include <vector>

struct HostWindowClass
{
    std::string name;
    UINT style = 0; // CS_*
    WNDPROC procedure = nullptr;
    int windowExtraBytes = 0;
};

struct HostWindow
{
    HWND handle = nullptr;
    SDL_Window* sdl = nullptr;
    HostWindowClass windowClass;
    DWORD style = 0;  // WS_*
    RECT rectangle{}; // desktop pixels; the client area
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool focused = false;             // the active window: keyboard input and foreground DirectInput devices
    bool needsPaint = false;          // a WM_PAINT is due
    bool placedFullScreen = false;    // the host itself placed it over the display for a full-screen device
    RECT rectangleBeforeFullScreen{}; // where it goes back to when the device ends
    std::vector<unsigned char> extraBytes;
};

/// The record of a live window; null for null, unknown or destroyed handles.
HostWindow* hostFindWindow(HWND window);
/// The window whose SDL window has this id; null when there is none.
HostWindow* hostFindSDLWindow(Uint32 windowID);
/// Every live window, oldest first.
std::vector<HostWindow*> hostWindows();

/// WM_SIZE's wParam (SIZE_*) and lParam (client width and height; 0 while minimised) for the window now.
WPARAM hostSizeKind(const HostWindow& window);
LPARAM hostSizeParameter(const HostWindow& window);

/// Records the window's new place and size, sending WM_MOVE and WM_SIZE for what changed.
void hostRecordRectangle(HostWindow& window, const RECT& rectangle);

/// Calls the window's class procedure at once, as the original platform's sending calls do (logged).
LRESULT hostSendMessage(HostWindow& window, UINT message, WPARAM wParam, LPARAM lParam);
/// Sends WM_DESTROY, then destroys the SDL window and forgets the window and its queued messages.
void hostDestroyWindow(HostWindow& window);

/// Queues a message for the window with the current time and pointer position.
void hostPostMessage(HostWindow& window, UINT message, WPARAM wParam, LPARAM lParam);
/// Drops every queued message of the window.
void hostDropMessages(HWND window);

/// Makes the window the active one (sends WM_ACTIVATEAPP and WM_ACTIVATE when it was not) or takes that
/// away (sends WM_ACTIVATE and WM_ACTIVATEAPP, and foreground DirectInput devices lose their acquisition).
/// With post, the messages are queued instead, as they are for a change the desktop reports.
void hostSetFocus(HostWindow& window, bool focused, bool post);

/// Converts every pending SDL event into messages and raw input state.
void hostPumpEvents();

/// Raw input, as DirectInput devices read it: keys by DirectInput index (bit 7 down) and mouse buttons
/// (left, right, middle, fourth; bit 7 down).
struct HostRawInput
{
    BYTE keys[256] = {};
    BYTE buttons[4] = {};
};
HostRawInput& hostRawInput();

/// Hooks of the DirectInput stand-in, called by the event pump: relative mouse motion (pixels, wheel in
/// 120ths of a notch) reaching acquired mice, and a window losing the foreground.
void hostDirectInputMouseMoved(LONG dx, LONG dy, LONG dz);
void hostDirectInputFocusLost(HWND window);

/// Decodes the UTF-8 sequence at bytes[*at] of count bytes and moves *at past it; a malformed sequence
/// gives U+FFFD and moves past its first byte.
char32_t hostDecodeUtf8(const unsigned char* bytes, int count, int* at);

/// Text the test seam types. SDL_PushEvent cannot carry SDL_TEXTINPUT under sdl2-compat (SDL 3 is handed no
/// event), so the seam pushes an event of this type (registered with SDL on the first call) in its place and
/// queues the text here; the pump reads it for the event, in the same order.
Uint32 hostScriptedTextEvent();
void hostQueueScriptedText(const char* text);

/// Adds the message to the test seam's log while it records.
void hostLogMessage(hosttest::Route route, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Forget every window and its input state, every queued message and event, and the stand-in window manager
/// (test seam).
void hostResetWindows();
void hostResetMessages();
void hostResetFullScreen();
