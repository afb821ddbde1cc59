// Scripted input: SDL events pushed into SDL's own queue, which the event pump reads like real ones.

#include "host/testing.h"
#include "host/hostwin32.h"
#include "host/win32keys.h"
#include "host/win32state.h"

#include <stdexcept>

namespace
{

Uint16 gModifiers = 0; // modifier keys held by scripted presses
Uint32 gButtons = 0;   // SDL button mask held by scripted presses

void start()
{
    if (!hostStartSDL(SDL_INIT_VIDEO))
    {
        throw std::runtime_error(SDL_GetError());
    }
}

Uint32 idOf(HWND window)
{
    SDL_Window* sdl = hostSDLWindow(window);
    if (!sdl)
    {
        throw std::invalid_argument("Scripted input for an unknown window.");
    }
    return SDL_GetWindowID(sdl);
}

// Keyboard input goes to the window with the focus; with none, it reaches only DirectInput.
Uint32 focusedID()
{
    for (HostWindow* window : hostWindows())
    {
        if (window->focused)
        {
            return SDL_GetWindowID(window->sdl);
        }
    }
    return 0;
}

Uint16 modifierOf(SDL_Scancode scancode)
{
    switch (scancode)
    {
    case SDL_SCANCODE_LSHIFT:
        return KMOD_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
        return KMOD_RSHIFT;
    case SDL_SCANCODE_LCTRL:
        return KMOD_LCTRL;
    case SDL_SCANCODE_RCTRL:
        return KMOD_RCTRL;
    case SDL_SCANCODE_LALT:
        return KMOD_LALT;
    case SDL_SCANCODE_RALT:
        return KMOD_RALT;
    default:
        return 0;
    }
}

// A blank event of the type, with SDL's video running to take it.
SDL_Event scripted(Uint32 type)
{
    start();
    SDL_Event event{};
    event.type = type;
    return event;
}

void push(SDL_Event& event)
{
    if (SDL_PushEvent(&event) < 0)
    {
        throw std::runtime_error(SDL_GetError());
    }
}

void pushKey(const HostKey* key, bool down, bool repeat)
{
    if (!key)
    {
        throw std::invalid_argument("Scripted input for an unknown key.");
    }
    // As SDL does, a modifier's own press already counts it as held, its release no longer.
    const Uint16 modifier = modifierOf(key->scancode);
    gModifiers = down ? (gModifiers | modifier) : (gModifiers & ~modifier);
    SDL_Event event = scripted(down ? SDL_KEYDOWN : SDL_KEYUP);
    event.key.windowID = focusedID();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = key->scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(key->scancode);
    event.key.keysym.mod = gModifiers;
    push(event);
}

void pushWindowEvent(HWND window, SDL_WindowEventID id)
{
    SDL_Event event = scripted(SDL_WINDOWEVENT);
    event.window.windowID = idOf(window);
    event.window.event = id;
    push(event);
}

void pushButton(HWND window, int button, int x, int y, bool down, int clicks)
{
    if (button < 1 || button > 3)
    {
        throw std::invalid_argument("Scripted input for an unknown mouse button.");
    }
    gButtons = down ? (gButtons | SDL_BUTTON(button)) : (gButtons & ~SDL_BUTTON(button));
    SDL_Event event = scripted(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
    event.button.windowID = idOf(window);
    event.button.button = static_cast<Uint8>(button); // 1 left, 2 middle, 3 right, as SDL numbers them
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    push(event);
}

} // namespace

namespace hosttest
{

void resetWindows()
{
    hostResetWindows();
    hostResetMessages();
    hostResetFullScreen();
    gModifiers = 0;
    gButtons = 0;
}

void pressKey(int virtualKey, bool repeat)
{
    pushKey(hostKeyOfVirtualKey(virtualKey), true, repeat);
}

void releaseKey(int virtualKey)
{
    pushKey(hostKeyOfVirtualKey(virtualKey), false, false);
}

void pressKeyDik(int dik)
{
    pushKey(hostKeyOfDik(dik), true, false);
}

void releaseKeyDik(int dik)
{
    pushKey(hostKeyOfDik(dik), false, false);
}

void typeText(const char* text)
{
    SDL_Event event = scripted(hostScriptedTextEvent());
    event.user.windowID = focusedID();
    push(event);
    hostQueueScriptedText(text);
}

void moveMouse(HWND window, int x, int y, int dx, int dy)
{
    SDL_Event event = scripted(SDL_MOUSEMOTION);
    event.motion.windowID = idOf(window);
    event.motion.state = gButtons;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    push(event);
}

void pressMouseButton(HWND window, int button, int x, int y, int clicks)
{
    pushButton(window, button, x, y, true, clicks);
}

void releaseMouseButton(HWND window, int button, int x, int y)
{
    pushButton(window, button, x, y, false, 1);
}

void turnWheel(HWND window, int notches)
{
    SDL_Event event = scripted(SDL_MOUSEWHEEL);
    event.wheel.windowID = idOf(window);
    event.wheel.y = notches;
    event.wheel.preciseY = static_cast<float>(notches); // as SDL reports a wheel, and what the host reads
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    push(event);
}

void gainFocus(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
}

void loseFocus(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
}

void minimise(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_MINIMIZED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
}

void restore(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_RESTORED);
    pushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
}

void requestClose(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
}

void expose(HWND window)
{
    pushWindowEvent(window, SDL_WINDOWEVENT_EXPOSED);
}

std::size_t openWindows()
{
    return hostWindows().size();
}

} // namespace hosttest
