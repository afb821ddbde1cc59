#include "game/qlmevent.h"

#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "game/qlmlookup.h"
#include "platform/egc.h"

#include <map>

namespace
{

// Window key codes run from 1 to 80.
constexpr int MIN_KEY_CODE = 1;
constexpr int MAX_KEY_CODE = 80;

std::map<int, ECAEvent*> fEventMap;

void postKeyEvent(int keyCode, int offset)
{
    DBG_CHECK((MIN_KEY_CODE <= keyCode) && (keyCode <= MAX_KEY_CODE), "Unknown key ID.");
    postEvent(keyCode + offset);
}

} // namespace

bool QLMKeyListener::onKeyDown(EGCWindow&, int keyCode)
{
    postKeyEvent(keyCode, QLMEventID::KEY_DOWN_EVENT_ID_OFFSET);
    return true;
}

bool QLMKeyListener::onKeyUp(EGCWindow&, int keyCode)
{
    postKeyEvent(keyCode, QLMEventID::KEY_UP_EVENT_ID_OFFSET);
    return true;
}

void initializeEvents()
{
    for (int id = QLMEventID::MIN_EVENT_ID; id < QLMEventID::MAX_EVENT_ID; ++id)
        fEventMap[id] = ECA::createEvent();
    window()->addMessageHandler(&keyListener());
}

void shutdownEvents()
{
    window()->removeMessageHandler(&keyListener());
    // Queued messages hold references to the events destroyed below.
    ECA::clearMessages();
    for (const auto& [id, event] : fEventMap)
        ECA::destroyEvent(event);
    fEventMap.clear();
}

ECAEvent* getEvent(int eventID)
{
    return lookUp(fEventMap, eventID, "Unknown event ID.");
}

void postEvent(int eventID)
{
    ECA::postMessage(ECAMessage(getEvent(eventID)));
}

QLMKeyListener& keyListener()
{
    static QLMKeyListener listener;
    return listener;
}
