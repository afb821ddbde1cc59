// Window classes and windows. Each window is one SDL window plus a record of its state, which follows the
// calls made here and the changes the desktop reports through the event pump (host/win32message.cpp).

#include "host/hostwin32.h"
#include "host/win32state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace
{

struct Registry
{
    std::vector<HostWindowClass> classes;
    std::vector<std::unique_ptr<HostWindow>> windows; // oldest first
};

// Never destroyed: windows end with the process, and static objects of the program may still use them
// while the statics are torn down.
Registry& registry()
{
    static Registry& instance = *new Registry;
    return instance;
}

const HostWindowClass* findClass(LPCSTR name)
{
    for (const HostWindowClass& windowClass : registry().classes)
    {
        if (name && windowClass.name == name)
        {
            return &windowClass;
        }
    }
    return nullptr;
}

void show(HostWindow& window, int command)
{
    window.visible = true;
    SDL_ShowWindow(window.sdl);
    const bool wasMinimised = window.minimised;
    const bool wasMaximised = window.maximised;
    window.minimised = command == SW_MINIMIZE;
    window.maximised = command == SW_MAXIMIZE;
    switch (command)
    {
    case SW_MINIMIZE:
        SDL_MinimizeWindow(window.sdl);
        break;
    case SW_MAXIMIZE:
        SDL_MaximizeWindow(window.sdl);
        break;
    default:
        SDL_RestoreWindow(window.sdl);
        break;
    }
    if (window.minimised != wasMinimised || window.maximised != wasMaximised)
    {
        hostSendMessage(window, WM_SIZE, hostSizeKind(window), hostSizeParameter(window));
    }
    if (!window.minimised)
    {
        window.needsPaint = true;
        SDL_RaiseWindow(window.sdl);
    }
    // Showing a window activates it; minimising it hands the foreground to some other program.
    hostSetFocus(window, !window.minimised, false);
}

template <typename Value>
Value readExtraBytes(const HostWindow* window, int index)
{
    Value value = 0;
    if (window && index >= 0 && static_cast<std::size_t>(index) + sizeof(Value) <= window->extraBytes.size())
    {
        std::memcpy(&value, window->extraBytes.data() + index, sizeof(Value));
    }
    return value;
}

template <typename Value>
Value writeExtraBytes(HostWindow* window, int index, Value value)
{
    const Value previous = readExtraBytes<Value>(window, index);
    if (window && index >= 0 && static_cast<std::size_t>(index) + sizeof(Value) <= window->extraBytes.size())
    {
        std::memcpy(window->extraBytes.data() + index, &value, sizeof(Value));
    }
    return previous;
}

// A minimised window sits off the desktop with the size of its icon, as on the original platform.
constexpr RECT ICONIC_RECTANGLE = {-32000, -32000, -32000 + 160, -32000 + 28};

} // namespace

WPARAM hostSizeKind(const HostWindow& window)
{
    return window.minimised ? SIZE_MINIMIZED : window.maximised ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

LPARAM hostSizeParameter(const HostWindow& window)
{
    const RECT& r = window.rectangle;
    return window.minimised ? 0 : MAKELPARAM(static_cast<WORD>(r.right - r.left), static_cast<WORD>(r.bottom - r.top));
}

void hostRecordRectangle(HostWindow& window, const RECT& rectangle)
{
    const RECT before = window.rectangle;
    window.rectangle = rectangle;
    if (before.left != rectangle.left || before.top != rectangle.top)
    {
        hostSendMessage(window, WM_MOVE, 0,
                        MAKELPARAM(static_cast<WORD>(rectangle.left), static_cast<WORD>(rectangle.top)));
    }
    if (before.right - before.left != rectangle.right - rectangle.left ||
        before.bottom - before.top != rectangle.bottom - rectangle.top)
    {
        hostSendMessage(window, WM_SIZE, hostSizeKind(window), hostSizeParameter(window));
    }
}

HostWindow* hostFindWindow(HWND window)
{
    if (!window)
    {
        return nullptr;
    }
    for (const auto& record : registry().windows)
    {
        if (record->handle == window)
        {
            return record.get();
        }
    }
    return nullptr;
}

HostWindow* hostFindSDLWindow(Uint32 windowID)
{
    for (const auto& record : registry().windows)
    {
        if (SDL_GetWindowID(record->sdl) == windowID)
        {
            return record.get();
        }
    }
    return nullptr;
}

std::vector<HostWindow*> hostWindows()
{
    std::vector<HostWindow*> windows;
    for (const auto& record : registry().windows)
    {
        windows.push_back(record.get());
    }
    return windows;
}

void hostSetFocus(HostWindow& window, bool focused, bool post)
{
    if (window.focused == focused)
    {
        return;
    }
    // Changes the desktop reports are queued: a procedure called inside the event pump could pump again.
    const auto deliverTo = [post](HostWindow& to, UINT message, WPARAM wParam)
    {
        if (post)
        {
            hostPostMessage(to, message, wParam, 0);
        }
        else
        {
            hostSendMessage(to, message, wParam, 0);
        }
    };
    const auto deliver = [&window, &deliverTo](UINT message, WPARAM wParam) { deliverTo(window, message, wParam); };
    const WPARAM minimisedFlag = window.minimised ? WPARAM{1} << 16 : 0;
    if (focused)
    {
        // One window is active at a time; moving between the program's own windows keeps it in front.
        bool programWasActive = false;
        for (HostWindow* other : hostWindows())
        {
            if (other->focused)
            {
                other->focused = false;
                hostDirectInputFocusLost(other->handle);
                deliverTo(*other, WM_ACTIVATE, WA_INACTIVE);
                programWasActive = true;
            }
        }
        window.focused = true;
        if (!programWasActive)
        {
            deliver(WM_ACTIVATEAPP, TRUE);
        }
        deliver(WM_ACTIVATE, WA_ACTIVE | minimisedFlag);
        return;
    }
    window.focused = false;
    hostDirectInputFocusLost(window.handle);
    // Keys and buttons held while the program leaves the foreground are not seen to go up.
    hostRawInput() = HostRawInput{};
    deliver(WM_ACTIVATE, WA_INACTIVE | minimisedFlag);
    deliver(WM_ACTIVATEAPP, FALSE);
}

void hostDestroyWindow(HostWindow& window)
{
    const HWND handle = window.handle;
    hostSendMessage(window, WM_DESTROY, 0, 0);
    HostWindow* record = hostFindWindow(handle); // the procedure may have destroyed it already
    if (!record)
    {
        return;
    }
    if (record->focused)
    {
        hostDirectInputFocusLost(handle);
        hostRawInput() = HostRawInput{};
    }
    SDL_DestroyWindow(record->sdl);
    hostDropMessages(handle);
    std::erase_if(registry().windows, [handle](const auto& each) { return each->handle == handle; });
}

void hostResetWindows()
{
    for (const auto& record : registry().windows)
    {
        SDL_DestroyWindow(record->sdl);
    }
    registry() = Registry{};
    hostRawInput() = HostRawInput{};
}

SDL_Window* hostSDLWindow(HWND window)
{
    const HostWindow* record = hostFindWindow(window);
    return record ? record->sdl : nullptr;
}

bool hostWindowIsMinimised(HWND window)
{
    return IsIconic(window);
}

bool hostWindowHasFocus(HWND window)
{
    const HostWindow* record = hostFindWindow(window);
    return record && record->focused;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass)
{
    if (!windowClass || !windowClass->lpfnWndProc || !windowClass->lpszClassName ||
        findClass(windowClass->lpszClassName))
    {
        return 0;
    }
    auto& classes = registry().classes;
    classes.push_back({windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc,
                       std::max(windowClass->cbWndExtra, 0)});
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND, HMENU, HINSTANCE, LPVOID)
{
    const HostWindowClass* windowClass = findClass(className);
    if (!windowClass || !hostStartSDL(SDL_INIT_VIDEO))
    {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if ((style & WS_CAPTION) != WS_CAPTION)
    {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if (style & WS_THICKFRAME)
    {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if (exStyle & WS_EX_TOPMOST)
    {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    SDL_Window* sdl = SDL_CreateWindow(windowName ? windowName : "", x, y, width, height, flags);
    if (!sdl)
    {
        return nullptr;
    }
    auto record = std::make_unique<HostWindow>();
    record->handle = reinterpret_cast<HWND>(record.get());
    record->sdl = sdl;
    record->windowClass = *windowClass;
    record->style = style;
    record->rectangle = {x, y, x + width, y + height};
    record->extraBytes.resize(std::max<std::size_t>(windowClass->windowExtraBytes, sizeof(LONG_PTR)));
    HostWindow& window = *record;
    registry().windows.push_back(std::move(record));
    if (hostSendMessage(window, WM_CREATE, 0, 0) == -1)
    {
        hostDestroyWindow(window);
        return nullptr;
    }
    return window.handle;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return FALSE;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    SDL_SetWindowPosition(window->sdl, x, y);
    SDL_SetWindowSize(window->sdl, std::max(width, 1), std::max(height, 1));
    if (repaint)
    {
        window->needsPaint = true;
    }
    hostRecordRectangle(*window, {x, y, x + width, y + height});
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return FALSE;
    }
    const BOOL wasVisible = window->visible;
    switch (command)
    {
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_MAXIMIZE:
    case SW_MINIMIZE:
        show(*window, command);
        break;
    default:
        break;
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND handle)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return FALSE;
    }
    if (window->visible && !window->minimised && window->needsPaint)
    {
        hostSendMessage(*window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return FALSE;
    }
    SDL_SetWindowTitle(window->sdl, text ? text : "");
    return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rectangle)
{
    const HostWindow* window = hostFindWindow(handle);
    if (!window || !rectangle)
    {
        return FALSE;
    }
    *rectangle = window->minimised ? ICONIC_RECTANGLE : window->rectangle;
    return TRUE;
}

BOOL GetClientRect(HWND handle, RECT* rectangle)
{
    const HostWindow* window = hostFindWindow(handle);
    if (!window || !rectangle)
    {
        return FALSE;
    }
    const RECT& outer = window->rectangle;
    *rectangle = window->minimised ? RECT{0, 0, 0, 0} : RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    return TRUE;
}

BOOL IsIconic(HWND handle)
{
    const HostWindow* window = hostFindWindow(handle);
    return window && window->minimised;
}

BOOL IsZoomed(HWND handle)
{
    const HostWindow* window = hostFindWindow(handle);
    return window && window->maximised && !window->minimised;
}

int GetSystemMetrics(int index)
{
    SDL_DisplayMode mode{};
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !hostStartSDL(SDL_INIT_VIDEO) ||
        SDL_GetDesktopDisplayMode(0, &mode) != 0)
    {
        return 0;
    }
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

LONG SetWindowLongA(HWND window, int index, LONG value)
{
    return writeExtraBytes(hostFindWindow(window), index, value);
}

LONG GetWindowLongA(HWND window, int index)
{
    return readExtraBytes<LONG>(hostFindWindow(window), index);
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    return writeExtraBytes(hostFindWindow(window), index, value);
}

LONG_PTR GetWindowLongPtrA(HWND window, int index)
{
    return readExtraBytes<LONG_PTR>(hostFindWindow(window), index);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    hostLogMessage(hosttest::Route::DefaultProcedure, handle, message, wParam, lParam);
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return 0;
    }
    if (message == WM_PAINT)
    {
        window->needsPaint = false;
    }
    else if (message == WM_CLOSE && (window->style & WS_SYSMENU))
    {
        hostDestroyWindow(*window);
    }
    return 0;
}

BOOL ValidateRect(HWND handle, const RECT*)
{
    HostWindow* window = hostFindWindow(handle);
    if (!window)
    {
        return FALSE;
    }
    window->needsPaint = false;
    return TRUE;
}

// Stock icons and cursors need no loading: the name serves as the handle. There are no module resources.
HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    return instance || !name ? nullptr : reinterpret_cast<HICON>(reinterpret_cast<std::uintptr_t>(name));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return instance || !name ? nullptr : reinterpret_cast<HCURSOR>(reinterpret_cast<std::uintptr_t>(name));
}
