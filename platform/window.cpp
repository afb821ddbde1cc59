#include "platform/window.h"

#include "foundation/dbg.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace
{

// Index of the window object's address in the window's extra bytes.
constexpr int OBJECT_INDEX = 0;

EGCWin32Window* windowObject(HWND handle)
{
    return reinterpret_cast<EGCWin32Window*>(GetWindowLongPtrA(handle, OBJECT_INDEX));
}

EGCPoint rectanglePosition(const RECT& rectangle)
{
    return EGCPoint(rectangle.left, rectangle.top);
}

EGCPoint rectangleSize(const RECT& rectangle)
{
    return EGCPoint(rectangle.right - rectangle.left, rectangle.bottom - rectangle.top);
}

RECT clientRect(HWND handle)
{
    RECT rectangle{};
    GetClientRect(handle, &rectangle);
    return rectangle;
}

// Calls the notification `repeats` times; the last answer decides, and no call at all answers false.
template <typename Notify>
bool repeat(int repeats, Notify notify)
{
    bool handled = false;
    for (int i = 0; i < repeats; ++i)
        handled = notify();
    return handled;
}

// Routes one message to the handler; answers whether the (last) notification handled it.
bool route(EGCWin32Window& window, EGCMessageHandler& handler, HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int repeats = LOWORD(static_cast<std::uintptr_t>(lParam));
    switch (message)
    {
    case WM_DESTROY:
        return handler.onDestroy(window);
    case WM_MOVE:
        return handler.onMove(window, window.position());
    case WM_SIZE:
        return handler.onSize(window, window.size());
    case WM_ACTIVATE:
    {
        const WORD activation = LOWORD(wParam);
        if (activation == WA_ACTIVE || activation == WA_CLICKACTIVE)
            return handler.onActivate(window);
        return handler.onInactivate(window);
    }
    case WM_PAINT:
        if (!handler.onPaint(window))
            return false;
        ValidateRect(handle, nullptr);
        return true;
    case WM_ACTIVATEAPP:
        return wParam != 0 ? handler.onActivateApplication(window) : handler.onInactivateApplication(window);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    {
        const int keyCode = translateVirtualKey(static_cast<int>(wParam));
        return repeat(repeats, [&] { return handler.onKeyDown(window, keyCode); });
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
    {
        const int keyCode = translateVirtualKey(static_cast<int>(wParam));
        return repeat(repeats, [&] { return handler.onKeyUp(window, keyCode); });
    }
    case WM_CHAR:
    {
        const auto character = static_cast<std::uint32_t>(wParam);
        return repeat(repeats, [&] { return handler.onCharacter(window, character); });
    }
    case WM_MOUSEMOVE:
    {
        // Both words are unsigned: a captured pointer left of or above the client area reads 32768 and up.
        const auto bits = static_cast<std::uintptr_t>(lParam);
        return handler.onMouseMove(window, EGCPoint(LOWORD(bits), HIWORD(bits)));
    }
    case WM_LBUTTONDOWN:
        return handler.onLeftButtonDown(window);
    case WM_LBUTTONUP:
        return handler.onLeftButtonUp(window);
    case WM_LBUTTONDBLCLK:
        return handler.onLeftButtonDoubleClick(window);
    case WM_RBUTTONDOWN:
        return handler.onRightButtonDown(window);
    case WM_RBUTTONUP:
        return handler.onRightButtonUp(window);
    case WM_RBUTTONDBLCLK:
        return handler.onRightButtonDoubleClick(window);
    case WM_MBUTTONDOWN:
        return handler.onMiddleButtonDown(window);
    case WM_MBUTTONUP:
        return handler.onMiddleButtonUp(window);
    case WM_MBUTTONDBLCLK:
        return handler.onMiddleButtonDoubleClick(window);
    default:
        return false;
    }
}

LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    EGCWin32Window* window = windowObject(handle);
    if (window == nullptr)
        return DefWindowProcA(handle, message, wParam, lParam);
    EGCMessageHandler* handler = window->messageHandler();
    if (handler == nullptr)
        return DefWindowProcA(handle, message, wParam, lParam);
    if (route(*window, *handler, handle, message, wParam, lParam))
        return 0;
    return DefWindowProcA(handle, message, wParam, lParam);
}

} // namespace

void EGCWindowBase::addMessageHandler(EGCMessageHandler* handler)
{
    DBG_ASSERT(mMessageHandler);
    mMessageHandler->addMessageHandler(handler);
}

void EGCWindowBase::removeMessageHandler(EGCMessageHandler* handler)
{
    DBG_ASSERT(mMessageHandler);
    mMessageHandler->removeMessageHandler(handler);
}

EGCWin32Window::EGCWin32Window(EGCMessageHandler* handler, const char* title, unsigned int flags,
                               const EGCRectangle& rectangle)
    : EGCWindowBase(handler), mTitle(title), mHandle(nullptr)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);

    // Both numbers are formatted at full width: on 64-bit targets an address does not fit an int, and two
    // windows must still register two classes.
    char className[64];
    std::snprintf(className, sizeof className, "GUIALWINDOW(%" PRId64 ",%" PRId64 ")",
                  static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(module)),
                  static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(this)));

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = 48;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = sizeof(LONG_PTR); // the window object's address
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = nullptr;
    RegisterClassExA(&windowClass);

    const DWORD exStyle = (flags & TOPMOST_WINDOW_STYLE) ? WS_EX_TOPMOST : 0;
    DWORD style = 0;
    if (flags & MAXIMIZE_BOX_WINDOW_STYLE)
        style |= WS_MAXIMIZEBOX;
    if (flags & MINIMIZE_BOX_WINDOW_STYLE)
        style |= WS_MINIMIZEBOX;
    if (flags & SIZING_BORDER_WINDOW_STYLE)
        style |= WS_THICKFRAME;
    style |= (flags & SYSTEM_MENU_WINDOW_STYLE) ? WS_SYSMENU : WS_POPUP;
    if (flags & CAPTION_WINDOW_STYLE)
        style |= WS_CAPTION;

    mHandle =
        CreateWindowExA(exStyle, className, mTitle.c_str(), style, 0, 0, 100, 100, nullptr, nullptr, module, nullptr);
    MoveWindow(mHandle, rectangle.x(), rectangle.y(), rectangle.width(), rectangle.height(), TRUE);
    SetWindowLongPtrA(mHandle, OBJECT_INDEX, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(mHandle, SW_SHOWNORMAL);
    UpdateWindow(mHandle);
}

EGCWin32Window::~EGCWin32Window()
{
    SetWindowLongPtrA(mHandle, OBJECT_INDEX, 0);
}

void EGCWin32Window::setTitle(const char* text)
{
    mTitle = text;
    SetWindowTextA(mHandle, mTitle.c_str());
}

void EGCWin32Window::setPosition(const EGCPoint& position)
{
    RECT rectangle{};
    GetWindowRect(mHandle, &rectangle);
    MoveWindow(mHandle, position.x(), position.y(), rectangle.right - rectangle.left, rectangle.bottom - rectangle.top,
               TRUE);
}

void EGCWin32Window::setSize(const EGCPoint& size)
{
    RECT rectangle{};
    GetWindowRect(mHandle, &rectangle);
    MoveWindow(mHandle, rectangle.left, rectangle.top, size.x(), size.y(), TRUE);
}

void EGCWin32Window::setRectangle(const EGCRectangle& rectangle)
{
    MoveWindow(mHandle, rectangle.x(), rectangle.y(), rectangle.width(), rectangle.height(), TRUE);
}

void EGCWin32Window::setState(int state)
{
    switch (state)
    {
    case MINIMIZED_WINDOW_STATE:
        ShowWindow(mHandle, SW_MINIMIZE);
        break;
    case NORMAL_WINDOW_STATE:
        ShowWindow(mHandle, SW_RESTORE);
        break;
    case MAXIMIZED_WINDOW_STATE:
        ShowWindow(mHandle, SW_MAXIMIZE);
        break;
    case FULL_SCREEN_WINDOW_STATE:
        MoveWindow(mHandle, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
        break;
    default:
        break;
    }
}

EGCPoint EGCWin32Window::position()
{
    RECT rectangle{};
    GetWindowRect(mHandle, &rectangle);
    return rectanglePosition(rectangle);
}

EGCPoint EGCWin32Window::size()
{
    RECT rectangle{};
    GetWindowRect(mHandle, &rectangle);
    return rectangleSize(rectangle);
}

EGCRectangle EGCWin32Window::rectangle()
{
    RECT rectangle{};
    if (!GetWindowRect(mHandle, &rectangle))
        return EGCRectangle(0, 0, 1, 1);
    return EGCRectangle(rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                        rectangle.bottom - rectangle.top);
}

int EGCWin32Window::state()
{
    const EGCRectangle outer = rectangle();
    if (outer.x() == 0 && outer.y() == 0 && outer.width() == GetSystemMetrics(SM_CXSCREEN) &&
        outer.height() == GetSystemMetrics(SM_CYSCREEN))
        return FULL_SCREEN_WINDOW_STATE;
    if (IsZoomed(mHandle))
        return MAXIMIZED_WINDOW_STATE;
    if (IsIconic(mHandle))
        return MINIMIZED_WINDOW_STATE;
    return NORMAL_WINDOW_STATE;
}

EGCPoint EGCWin32Window::clientPosition()
{
    return rectanglePosition(clientRect(mHandle));
}

EGCPoint EGCWin32Window::clientSize()
{
    return rectangleSize(clientRect(mHandle));
}

EGCRectangle EGCWin32Window::clientRectangle()
{
    const RECT client = clientRect(mHandle);
    return EGCRectangle(client.left, client.top, client.right - client.left, client.bottom - client.top);
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void waitForMessage()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        WaitMessage();
}

int translateVirtualKey(int virtualKey)
{
    struct Range
    {
        int firstVirtualKey;
        int lastVirtualKey;
        int firstKeyCode;
    };
    // Each range maps in order: '0' is 19, 'A' is 29, F1 is 69.
    static constexpr Range ranges[] = {
        {VK_BACK, VK_TAB, 2},
        {VK_RETURN, VK_RETURN, 4},
        {VK_SHIFT, VK_MENU, 5},
        {VK_ESCAPE, VK_ESCAPE, 8},
        {VK_SPACE, VK_DOWN, 9},
        {VK_DELETE, VK_DELETE, 18},
        {'0', '9', 19},
        {'A', 'Z', 29},
        {VK_NUMPAD0, VK_MULTIPLY, 55},
        {VK_ADD, VK_ADD, 66},
        {VK_SUBTRACT, VK_SUBTRACT, 67},
        {VK_DIVIDE, VK_DIVIDE, 68},
        {VK_F1, VK_F12, 69},
    };
    for (const Range& range : ranges)
        if (range.firstVirtualKey <= virtualKey && virtualKey <= range.lastVirtualKey)
            return range.firstKeyCode + (virtualKey - range.firstVirtualKey);
    return 1;
}
