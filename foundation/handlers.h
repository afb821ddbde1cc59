#pragma once
// Window-message handlers. The window turns each message it cares about into one notification on its handler;
// a notification returns true when the message was handled.

#include "foundation/geometry.h"

#include <cstdint>
#include <set>

class EGCWindow;

/// A receiver of window notifications. add/removeMessageHandler only mean something on the composite handler;
/// they are here so that the window can hand its composite out as a plain handler.
class EGCMessageHandler
{
public:
    virtual ~EGCMessageHandler() = default;

    /// Registers a handler that this one passes notifications on to; the handler is not owned.
    virtual void addMessageHandler(EGCMessageHandler* handler) = 0;
    /// Unregisters a handler; a handler must be removed before it is destroyed.
    virtual void removeMessageHandler(EGCMessageHandler* handler) = 0;

    virtual bool onActivate(EGCWindow& window) = 0;
    virtual bool onActivateApplication(EGCWindow& window) = 0;
    /// A typed character, once per repeat.
    virtual bool onCharacter(EGCWindow& window, std::uint32_t character) = 0;
    virtual bool onDestroy(EGCWindow& window) = 0;
    virtual bool onInactivate(EGCWindow& window) = 0;
    virtual bool onInactivateApplication(EGCWindow& window) = 0;
    /// A key press (also with Alt), once per repeat; keyCode is the window's key code, 1 to 80.
    virtual bool onKeyDown(EGCWindow& window, int keyCode) = 0;
    virtual bool onKeyUp(EGCWindow& window, int keyCode) = 0;
    virtual bool onLeftButtonDoubleClick(EGCWindow& window) = 0;
    virtual bool onLeftButtonDown(EGCWindow& window) = 0;
    virtual bool onLeftButtonUp(EGCWindow& window) = 0;
    virtual bool onMiddleButtonDoubleClick(EGCWindow& window) = 0;
    virtual bool onMiddleButtonDown(EGCWindow& window) = 0;
    virtual bool onMiddleButtonUp(EGCWindow& window) = 0;
    /// The pointer moved; position in client-area pixels.
    virtual bool onMouseMove(EGCWindow& window, const EGCPoint& position) = 0;
    /// The window moved; position of the window in screen pixels.
    virtual bool onMove(EGCWindow& window, const EGCPoint& position) = 0;
    virtual bool onPaint(EGCWindow& window) = 0;
    virtual bool onRightButtonDoubleClick(EGCWindow& window) = 0;
    virtual bool onRightButtonDown(EGCWindow& window) = 0;
    virtual bool onRightButtonUp(EGCWindow& window) = 0;
    /// The window was resized; size is the outer width and height in pixels.
    virtual bool onSize(EGCWindow& window, const EGCPoint& size) = 0;
};

/// Handles nothing: every notification answers false. The game's handlers derive from it and override what they need.
class EGCDefaultMessageHandler : public EGCMessageHandler
{
public:
    void addMessageHandler(EGCMessageHandler*) override {}
    void removeMessageHandler(EGCMessageHandler*) override {}

    bool onActivate(EGCWindow&) override { return false; }
    bool onActivateApplication(EGCWindow&) override { return false; }
    bool onCharacter(EGCWindow&, std::uint32_t) override { return false; }
    bool onDestroy(EGCWindow&) override { return false; }
    bool onInactivate(EGCWindow&) override { return false; }
    bool onInactivateApplication(EGCWindow&) override { return false; }
    bool onKeyDown(EGCWindow&, int) override { return false; }
    bool onKeyUp(EGCWindow&, int) override { return false; }
    bool onLeftButtonDoubleClick(EGCWindow&) override { return false; }
    bool onLeftButtonDown(EGCWindow&) override { return false; }
    bool onLeftButtonUp(EGCWindow&) override { return false; }
    bool onMiddleButtonDoubleClick(EGCWindow&) override { return false; }
    bool onMiddleButtonDown(EGCWindow&) override { return false; }
    bool onMiddleButtonUp(EGCWindow&) override { return false; }
    bool onMouseMove(EGCWindow&, const EGCPoint&) override { return false; }
    bool onMove(EGCWindow&, const EGCPoint&) override { return false; }
    bool onPaint(EGCWindow&) override { return false; }
    bool onRightButtonDoubleClick(EGCWindow&) override { return false; }
    bool onRightButtonDown(EGCWindow&) override { return false; }
    bool onRightButtonUp(EGCWindow&) override { return false; }
    bool onSize(EGCWindow&, const EGCPoint&) override { return false; }
};

/// Passes every notification on to all registered handlers, in ascending order of their addresses, and answers true
/// when any of them did. Every handler is called, also after one has answered true. Owns none of them.
class EGCCompositeMessageHandler final : public EGCMessageHandler
{
public:
    /// Registers the handler; registering it again changes nothing.
    void addMessageHandler(EGCMessageHandler* handler) override;
    /// Unregisters the handler; a handler that is not registered is ignored.
    void removeMessageHandler(EGCMessageHandler* handler) override;

    bool onActivate(EGCWindow& window) override;
    bool onActivateApplication(EGCWindow& window) override;
    bool onCharacter(EGCWindow& window, std::uint32_t character) override;
    bool onDestroy(EGCWindow& window) override;
    bool onInactivate(EGCWindow& window) override;
    bool onInactivateApplication(EGCWindow& window) override;
    bool onKeyDown(EGCWindow& window, int keyCode) override;
    bool onKeyUp(EGCWindow& window, int keyCode) override;
    bool onLeftButtonDoubleClick(EGCWindow& window) override;
    bool onLeftButtonDown(EGCWindow& window) override;
    bool onLeftButtonUp(EGCWindow& window) override;
    bool onMiddleButtonDoubleClick(EGCWindow& window) override;
    bool onMiddleButtonDown(EGCWindow& window) override;
    bool onMiddleButtonUp(EGCWindow& window) override;
    bool onMouseMove(EGCWindow& window, const EGCPoint& position) override;
    bool onMove(EGCWindow& window, const EGCPoint& position) override;
    bool onPaint(EGCWindow& window) override;
    bool onRightButtonDoubleClick(EGCWindow& window) override;
    bool onRightButtonDown(EGCWindow& window) override;
    bool onRightButtonUp(EGCWindow& window) override;
    bool onSize(EGCWindow& window, const EGCPoint& size) override;

private:
    template <class... Parameters, class... Arguments>
    bool forward(bool (EGCMessageHandler::*notification)(EGCWindow&, Parameters...), EGCWindow& window,
                 const Arguments&... arguments);

    std::set<EGCMessageHandler*> mHandlers;
};
