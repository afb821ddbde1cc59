// The composite handler's fan-out.

#include "foundation/handlers.h"

void EGCCompositeMessageHandler::addMessageHandler(EGCMessageHandler* handler)
{
    mHandlers.insert(handler);
}

void EGCCompositeMessageHandler::removeMessageHandler(EGCMessageHandler* handler)
{
    mHandlers.erase(handler);
}

template <class... Parameters, class... Arguments>
bool EGCCompositeMessageHandler::forward(bool (EGCMessageHandler::*notification)(EGCWindow&, Parameters...),
                                         EGCWindow& window, const Arguments&... arguments)
{
    // No short-circuit: every handler sees every notification, whatever the others answered.
    bool handled = false;
    for (EGCMessageHandler* handler : mHandlers)
        handled = (handler->*notification)(window, arguments...) || handled;
    return handled;
}

bool EGCCompositeMessageHandler::onActivate(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onActivate, window);
}

bool EGCCompositeMessageHandler::onActivateApplication(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onActivateApplication, window);
}

bool EGCCompositeMessageHandler::onCharacter(EGCWindow& window, std::uint32_t character)
{
    return forward(&EGCMessageHandler::onCharacter, window, character);
}

bool EGCCompositeMessageHandler::onDestroy(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onDestroy, window);
}

bool EGCCompositeMessageHandler::onInactivate(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onInactivate, window);
}

bool EGCCompositeMessageHandler::onInactivateApplication(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onInactivateApplication, window);
}

bool EGCCompositeMessageHandler::onKeyDown(EGCWindow& window, int keyCode)
{
    return forward(&EGCMessageHandler::onKeyDown, window, keyCode);
}

bool EGCCompositeMessageHandler::onKeyUp(EGCWindow& window, int keyCode)
{
    return forward(&EGCMessageHandler::onKeyUp, window, keyCode);
}

bool EGCCompositeMessageHandler::onLeftButtonDoubleClick(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onLeftButtonDoubleClick, window);
}

bool EGCCompositeMessageHandler::onLeftButtonDown(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onLeftButtonDown, window);
}

bool EGCCompositeMessageHandler::onLeftButtonUp(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onLeftButtonUp, window);
}

bool EGCCompositeMessageHandler::onMiddleButtonDoubleClick(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onMiddleButtonDoubleClick, window);
}

bool EGCCompositeMessageHandler::onMiddleButtonDown(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onMiddleButtonDown, window);
}

bool EGCCompositeMessageHandler::onMiddleButtonUp(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onMiddleButtonUp, window);
}

bool EGCCompositeMessageHandler::onMouseMove(EGCWindow& window, const EGCPoint& position)
{
    return forward(&EGCMessageHandler::onMouseMove, window, position);
}

bool EGCCompositeMessageHandler::onMove(EGCWindow& window, const EGCPoint& position)
{
    return forward(&EGCMessageHandler::onMove, window, position);
}

bool EGCCompositeMessageHandler::onPaint(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onPaint, window);
}

bool EGCCompositeMessageHandler::onRightButtonDoubleClick(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onRightButtonDoubleClick, window);
}

bool EGCCompositeMessageHandler::onRightButtonDown(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onRightButtonDown, window);
}

bool EGCCompositeMessageHandler::onRightButtonUp(EGCWindow& window)
{
    return forward(&EGCMessageHandler::onRightButtonUp, window);
}

bool EGCCompositeMessageHandler::onSize(EGCWindow& window, const EGCPoint& size)
{
    return forward(&EGCMessageHandler::onSize, window, size);
}
