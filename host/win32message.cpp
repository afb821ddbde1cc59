// The message queue and the event pump that fills it: SDL events become messages and raw input state.

#include "host/dinput8.h"
#include "host/hostwin32.h"
#include "host/testing.h"
#include "host/win32keys.h"
#include "host/win32state.h"

#include <cmath>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace
{

struct QueuedMessage
{
    MSG message{};
    std::string typed; // Latin-1 characters a key-down typed, which TranslateMessage posts
};

thread_local std::deque<QueuedMessage> tQueue;
thread_local QueuedMessage tLastRemoved;

POINT gPointer{}; // the pointer's last client position

bool gRecording = false;
std::vector<hosttest::LoggedMessage> gLog;

std::deque<std::string> gScriptedTexts; // oldest first, one for each hostScriptedTextEvent in SDL's queue

DWORD nowMilliseconds()
{
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<DWORD>(count.QuadPart / 1'000'000);
}

bool isKeyDown(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool inRange(UINT message, UINT first, UINT last)
{
    return (first == 0 && last == 0) || (first <= message && message <= last);
}

bool samePosting(const MSG& a, const MSG& b)
{
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam &&
           a.time == b.time;
}

HostWindow* paintDue(HWND filter)
{
    for (HostWindow* window : hostWindows())
    {
        if ((!filter || window->handle == filter) && window->visible && !window->minimised && window->needsPaint)
        {
            return window;
        }
    }
    return nullptr;
}

// ---- SDL events into messages ----

constexpr BYTE DOWN = 0x80;
constexpr int LEFT_BUTTON = 0; // raw button order, as DirectInput numbers the mouse's buttons
constexpr int RIGHT_BUTTON = 1;
constexpr int MIDDLE_BUTTON = 2;

WPARAM mouseKeys()
{
    const HostRawInput& raw = hostRawInput();
    WPARAM keys = 0;
    keys |= raw.buttons[LEFT_BUTTON] ? MK_LBUTTON : 0;
    keys |= raw.buttons[RIGHT_BUTTON] ? MK_RBUTTON : 0;
    keys |= raw.buttons[MIDDLE_BUTTON] ? MK_MBUTTON : 0;
    keys |= (raw.keys[DIK_LSHIFT] | raw.keys[DIK_RSHIFT]) ? MK_SHIFT : 0;
    keys |= (raw.keys[DIK_LCONTROL] | raw.keys[DIK_RCONTROL]) ? MK_CONTROL : 0;
    return keys;
}

LPARAM pointParameter(Sint32 x, Sint32 y)
{
    // Coordinates left of or above the client area wrap to 32768..65535, as 16-bit words do.
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// Whole lParam of a key message: repeat count 1, scan code, extended, Alt, previous state, transition.
LPARAM keyParameter(const HostKey* key, bool down, bool repeat, bool alt)
{
    DWORD bits = 1;
    if (key)
    {
        bits |= DWORD{key->dik & 0x7Fu} << 16;
        bits |= (key->dik & 0x80) ? 1u << 24 : 0;
    }
    bits |= alt ? 1u << 29 : 0;
    bits |= (!down || repeat) ? 1u << 30 : 0;
    bits |= down ? 0 : 1u << 31;
    return static_cast<LPARAM>(bits);
}

void convertWindowEvent(const SDL_WindowEvent& event)
{
    HostWindow* window = hostFindSDLWindow(event.windowID);
    if (!window)
    {
        return;
    }
    RECT& rectangle = window->rectangle;
    const auto postSize = [window]()
    { hostPostMessage(*window, WM_SIZE, hostSizeKind(*window), hostSizeParameter(*window)); };
    switch (event.event)
    {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        hostSetFocus(*window, true, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        hostSetFocus(*window, false, true);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (!window->minimised)
        {
            window->minimised = true;
            postSize();
        }
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        if (!window->maximised || window->minimised)
        {
            window->maximised = true;
            window->minimised = false;
            window->needsPaint = true;
            postSize();
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (window->minimised || window->maximised)
        {
            window->minimised = window->maximised = false;
            window->needsPaint = true;
            postSize();
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (rectangle.left != event.data1 || rectangle.top != event.data2)
        {
            rectangle = {event.data1, event.data2, event.data1 + rectangle.right - rectangle.left,
                         event.data2 + rectangle.bottom - rectangle.top};
            hostPostMessage(*window, WM_MOVE, 0, pointParameter(event.data1, event.data2));
        }
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (rectangle.right - rectangle.left != event.data1 || rectangle.bottom - rectangle.top != event.data2)
        {
            rectangle.right = rectangle.left + event.data1;
            rectangle.bottom = rectangle.top + event.data2;
            window->needsPaint = true;
            postSize();
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        window->needsPaint = true;
        break;
    case SDL_WINDOWEVENT_CLOSE:
        hostPostMessage(*window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

// awaitingText is the key-down just queued, which the text event that SDL sends after it belongs to.
void convertKeyEvent(const SDL_KeyboardEvent& event, QueuedMessage** awaitingText)
{
    const bool down = event.type == SDL_KEYDOWN;
    const HostKey* key = hostKeyOfScancode(event.keysym.scancode);
    if (key && key->dik)
    {
        hostRawInput().keys[key->dik] = down ? DOWN : 0;
    }
    *awaitingText = nullptr;
    HostWindow* window = hostFindSDLWindow(event.windowID);
    const BYTE virtualKey = hostVirtualKeyOf(event.keysym);
    if (!window || virtualKey == 0)
    {
        return;
    }
    const bool altHeld = (event.keysym.mod & KMOD_ALT) != 0;
    const bool system = altHeld || virtualKey == VK_MENU;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    hostPostMessage(*window, message, virtualKey, keyParameter(key, down, event.repeat != 0, altHeld));
    if (down)
    {
        *awaitingText = &tQueue.back();
    }
}

void convertText(Uint32 windowID, const char* text, QueuedMessage** awaitingText)
{
    HostWindow* window = hostFindSDLWindow(windowID);
    if (!window)
    {
        return;
    }
    std::string typed;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const int count = static_cast<int>(SDL_strlen(text));
    for (int at = 0; at < count;)
    {
        // Only printable Latin-1 characters fit the byte-wide WM_CHAR.
        const char32_t character = hostDecodeUtf8(bytes, count, &at);
        if ((character >= 0x20 && character < 0x7F) || (character >= 0xA0 && character <= 0xFF))
        {
            typed.push_back(static_cast<char>(character));
        }
    }
    QueuedMessage* keyDown = *awaitingText;
    *awaitingText = nullptr;
    if (keyDown && keyDown->message.hwnd == window->handle)
    {
        keyDown->typed = typed;
        return;
    }
    // Text that came without a key of its own (an input method, say) arrives already translated.
    for (const char character : typed)
    {
        hostPostMessage(*window, WM_CHAR, static_cast<unsigned char>(character), 1);
    }
}

void convertMotionEvent(const SDL_MouseMotionEvent& event)
{
    hostDirectInputMouseMoved(event.xrel, event.yrel, 0);
    HostWindow* window = hostFindSDLWindow(event.windowID);
    if (!window)
    {
        return;
    }
    gPointer = {event.x, event.y};
    // As on the original platform, a move still waiting in the queue is replaced by the newer one.
    if (!tQueue.empty() && tQueue.back().message.hwnd == window->handle &&
        tQueue.back().message.message == WM_MOUSEMOVE)
    {
        tQueue.pop_back();
    }
    hostPostMessage(*window, WM_MOUSEMOVE, mouseKeys(), pointParameter(event.x, event.y));
}

void convertButtonEvent(const SDL_MouseButtonEvent& event)
{
    struct Button
    {
        Uint8 sdl;
        int raw;
        UINT downMessage; // then up, then double click
    };
    constexpr Button BUTTONS[] = {
        {SDL_BUTTON_LEFT, LEFT_BUTTON, WM_LBUTTONDOWN},
        {SDL_BUTTON_RIGHT, RIGHT_BUTTON, WM_RBUTTONDOWN},
        {SDL_BUTTON_MIDDLE, MIDDLE_BUTTON, WM_MBUTTONDOWN},
        {SDL_BUTTON_X1, 3, 0},
    };
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    for (const Button& button : BUTTONS)
    {
        if (button.sdl != event.button)
        {
            continue;
        }
        hostRawInput().buttons[button.raw] = down ? DOWN : 0;
        HostWindow* window = hostFindSDLWindow(event.windowID);
        if (!window || button.downMessage == 0)
        {
            return;
        }
        gPointer = {event.x, event.y};
        const bool doubleClick = down && event.clicks % 2 == 0 && (window->windowClass.style & CS_DBLCLKS);
        const UINT message = button.downMessage + (doubleClick ? 2 : down ? 0 : 1);
        hostPostMessage(*window, message, mouseKeys(), pointParameter(event.x, event.y));
        return;
    }
}

void convertEvent(const SDL_Event& event, QueuedMessage** awaitingText)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT:
        convertWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        convertKeyEvent(event.key, awaitingText);
        break;
    case SDL_TEXTINPUT:
        convertText(event.text.windowID, event.text.text, awaitingText);
        break;
    case SDL_MOUSEMOTION:
        convertMotionEvent(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        convertButtonEvent(event.button);
        break;
    case SDL_MOUSEWHEEL:
    {
        // preciseY, not the whole notches of y: it keeps a smooth wheel's fractions, as DirectInput does, and
        // sdl2-compat passes it on for an event pushed through SDL_PushEvent, where y reads 0.
        const float notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.preciseY : event.wheel.preciseY;
        hostDirectInputMouseMoved(0, 0, std::lround(notches * 120));
        break;
    }
    default:
        if (!gScriptedTexts.empty() && event.type == hostScriptedTextEvent())
        {
            const std::string text = std::move(gScriptedTexts.front());
            gScriptedTexts.pop_front();
            convertText(event.user.windowID, text.c_str(), awaitingText);
        }
        break;
    }
}

} // namespace

HostRawInput& hostRawInput()
{
    static HostRawInput input;
    return input;
}

void hostPumpEvents()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
    {
        return;
    }
    QueuedMessage* awaitingText = nullptr;
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        convertEvent(event, &awaitingText);
    }
}

void hostPostMessage(HostWindow& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    tQueue.push_back({MSG{window.handle, message, wParam, lParam, nowMilliseconds(), gPointer}, {}});
}

void hostDropMessages(HWND window)
{
    std::erase_if(tQueue, [window](const QueuedMessage& queued) { return queued.message.hwnd == window; });
    if (tLastRemoved.message.hwnd == window)
    {
        tLastRemoved = {};
    }
}

LRESULT hostSendMessage(HostWindow& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    hostLogMessage(hosttest::Route::WindowProcedure, window.handle, message, wParam, lParam);
    return window.windowClass.procedure(window.handle, message, wParam, lParam);
}

void hostLogMessage(hosttest::Route route, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (gRecording)
    {
        gLog.push_back({route, window, message, wParam, lParam});
    }
}

BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT options)
{
    if (!message)
    {
        return FALSE;
    }
    hostPumpEvents();
    for (auto queued = tQueue.begin(); queued != tQueue.end(); ++queued)
    {
        if ((!window || queued->message.hwnd == window) && inRange(queued->message.message, first, last))
        {
            *message = queued->message;
            if (options & PM_REMOVE)
            {
                tLastRemoved = std::move(*queued);
                tQueue.erase(queued);
            }
            return TRUE;
        }
    }
    // WM_PAINT is never queued: it stays due until the window is validated.
    HostWindow* painting = inRange(WM_PAINT, first, last) ? paintDue(window) : nullptr;
    if (!painting)
    {
        return FALSE;
    }
    *message = MSG{painting->handle, WM_PAINT, 0, 0, nowMilliseconds(), gPointer};
    if (options & PM_REMOVE)
    {
        tLastRemoved = {};
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || !isKeyDown(message->message) || tLastRemoved.typed.empty() ||
        !samePosting(*message, tLastRemoved.message))
    {
        return FALSE;
    }
    // The characters come next, before anything queued after the key.
    const UINT character = message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    const std::string typed = std::move(tLastRemoved.typed);
    tLastRemoved.typed.clear();
    for (auto each = typed.rbegin(); each != typed.rend(); ++each)
    {
        MSG posted = *message;
        posted.message = character;
        posted.wParam = static_cast<unsigned char>(*each);
        tQueue.push_front({posted, {}});
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    HostWindow* window = message ? hostFindWindow(message->hwnd) : nullptr;
    return window ? hostSendMessage(*window, message->message, message->wParam, message->lParam) : 0;
}

BOOL WaitMessage()
{
    for (;;)
    {
        hostPumpEvents();
        if (!tQueue.empty() || paintDue(nullptr))
        {
            return TRUE;
        }
        // Without windows nothing could ever arrive.
        if (!SDL_WasInit(SDL_INIT_VIDEO) || hostWindows().empty())
        {
            return FALSE;
        }
        SDL_WaitEvent(nullptr);
    }
}

Uint32 hostScriptedTextEvent()
{
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

void hostQueueScriptedText(const char* text)
{
    gScriptedTexts.emplace_back(text);
}

void hostResetMessages()
{
    tQueue.clear();
    gScriptedTexts.clear();
    tLastRemoved = {};
    gPointer = {};
    gRecording = false;
    gLog.clear();
    if (SDL_WasInit(SDL_INIT_VIDEO))
    {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

namespace hosttest
{

void recordMessages(bool on)
{
    gRecording = on;
    gLog.clear();
}

const std::vector<LoggedMessage>& messageLog()
{
    return gLog;
}

void clearMessageLog()
{
    gLog.clear();
}

} // namespace hosttest
