#pragma once
// The program's one top-level window: the abstract window, the part that holds the message handler, and the
// Win32 window with its window procedure, key translation and message pump.

#include "foundation/geometry.h"
#include "foundation/handlers.h"
#include "host/win32.h"

#include <string>

// Window states.
constexpr int MINIMIZED_WINDOW_STATE = 1;
constexpr int NORMAL_WINDOW_STATE = 2;
constexpr int MAXIMIZED_WINDOW_STATE = 3;
constexpr int FULL_SCREEN_WINDOW_STATE = 4; // covers the whole primary screen from its top-left corner

// Style flags given at creation.
constexpr unsigned int MAXIMIZE_BOX_WINDOW_STYLE = 0x1;
constexpr unsigned int MINIMIZE_BOX_WINDOW_STYLE = 0x2;
constexpr unsigned int SIZING_BORDER_WINDOW_STYLE = 0x4;
constexpr unsigned int TOPMOST_WINDOW_STYLE = 0x10;
constexpr unsigned int NOT_TOPMOST_WINDOW_STYLE = 0x20;
constexpr unsigned int SYSTEM_MENU_WINDOW_STYLE = 0x100; // without it the window is a pop-up
constexpr unsigned int CAPTION_WINDOW_STYLE = 0x200;

class EGCWindow
{
public:
    virtual ~EGCWindow() = default;
    /// Registers a handler with the held (composite) handler, which is required; the handler is not owned.
    virtual void addMessageHandler(EGCMessageHandler* handler) = 0;
    /// Unregisters a handler from the held handler, which is required.
    virtual void removeMessageHandler(EGCMessageHandler* handler) = 0;
    /// Replaces the held handler (may be null); destroys nothing.
    virtual void setMessageHandler(EGCMessageHandler* handler) = 0;
    virtual void setTitle(const char* text) = 0;
    /// Moves the window's top-left corner to the point (screen pixels), keeping its size.
    virtual void setPosition(const EGCPoint& position) = 0;
    /// Resizes the window to the point's x (width) and y (height), keeping its position.
    virtual void setSize(const EGCPoint& size) = 0;
    virtual void setRectangle(const EGCRectangle& rectangle) = 0;
    /// Minimises (1), restores (2), maximises (3) or covers the screen (4); any other state does nothing.
    virtual void setState(int state) = 0;
    virtual EGCMessageHandler* messageHandler() = 0;
    virtual const char* title() = 0;
    virtual EGCPoint position() = 0;
    virtual EGCPoint size() = 0;
    virtual EGCRectangle rectangle() = 0;
    virtual int state() = 0;
    virtual EGCPoint clientPosition() = 0;
    virtual EGCPoint clientSize() = 0;
    virtual EGCRectangle clientRectangle() = 0;
};

/// Holds the message handler, which it does not own, and passes registrations on to it.
class EGCWindowBase : public EGCWindow
{
public:
    explicit EGCWindowBase(EGCMessageHandler* handler) : mMessageHandler(handler) {}
    EGCWindowBase(const EGCWindowBase&) = delete;
    EGCWindowBase& operator=(const EGCWindowBase&) = delete;

    void addMessageHandler(EGCMessageHandler* handler) override;
    void removeMessageHandler(EGCMessageHandler* handler) override;
    void setMessageHandler(EGCMessageHandler* handler) override { mMessageHandler = handler; }
    EGCMessageHandler* messageHandler() override { return mMessageHandler; }

private:
    EGCMessageHandler* mMessageHandler;
};

class EGCWin32Window final : public EGCWindowBase
{
public:
    /// Registers a class of its own, creates, places and shows the window.
    EGCWin32Window(EGCMessageHandler* handler, const char* title, unsigned int flags, const EGCRectangle& rectangle);
    /// Detaches the object from the window, whose later messages go to the default procedure.
    ~EGCWin32Window() override;

    void setTitle(const char* text) override;
    void setPosition(const EGCPoint& position) override;
    void setSize(const EGCPoint& size) override;
    void setRectangle(const EGCRectangle& rectangle) override;
    void setState(int state) override;
    const char* title() override { return mTitle.c_str(); }
    EGCPoint position() override;
    EGCPoint size() override;
    EGCRectangle rectangle() override;
    int state() override;
    EGCPoint clientPosition() override;
    EGCPoint clientSize() override;
    EGCRectangle clientRectangle() override;

    HWND handle() const { return mHandle; }

private:
    std::string mTitle; // the window's own copy
    HWND mHandle;
};

/// Removes and dispatches every pending window message; returns when the queue is empty.
void pumpMessages();
/// Blocks until a message is pending, unless one already is.
void waitForMessage();
/// The program's key code (1 to 80) of a virtual-key code; 1 for every key without a code of its own.
int translateVirtualKey(int virtualKey);
