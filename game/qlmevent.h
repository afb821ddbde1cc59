#pragma once
// The game's event IDs and the key listener. Every event of the game is named by a small integer ID, bound to one
// ECAEvent from initializeEvents to shutdownEvents; the key listener turns each key press and release in the
// window into an event for every running machine.
//
// Depends on: foundation/eca.h (events, messages, the queue), platform/egc.h (the window the listener joins).

#include "foundation/handlers.h"

class ECAEvent;

/// Event IDs, 1 to 186: game events 1 to 26, key down 27 to 106 (window key code + 26), key up 107 to 186
/// (window key code + 106).
namespace QLMEventID
{
constexpr int MIN_EVENT_ID = 1;
constexpr int MAX_EVENT_ID = 187; // exclusive
constexpr int KEY_DOWN_EVENT_ID_OFFSET = 26;
constexpr int KEY_UP_EVENT_ID_OFFSET = 106;

constexpr int NULL_EVENT_ID = 1;
constexpr int FRAME_EVENT_ID = 2;
constexpr int QUIT_EVENT_ID = 3;
constexpr int DRAW_CONSOLE_EVENT_ID = 4;
constexpr int DRAW_GAME_EVENT_ID = 5;
constexpr int DRAW_SCORE_EVENT_ID = 6;
constexpr int DRAW_INTRO_EVENT_ID = 7;
constexpr int DRAW_MENU_EVENT_ID = 8;
constexpr int MENU_OPENED_EVENT_ID = 9;
constexpr int MENU_CLOSED_EVENT_ID = 10;
constexpr int INTRO_ENTERED_EVENT_ID = 11;
constexpr int INTRO_LEFT_EVENT_ID = 12;
constexpr int GAME_ENTERED_EVENT_ID = 13;
constexpr int GAME_LEFT_EVENT_ID = 14;
constexpr int HALL_OF_FAME_ENTERED_EVENT_ID = 15;
constexpr int HALL_OF_FAME_LEFT_EVENT_ID = 16;
constexpr int NAME_ENTRY_ENTERED_EVENT_ID = 17;
constexpr int NAME_ENTRY_LEFT_EVENT_ID = 18;
constexpr int FRAME_INPUT_EVENT_ID = 19;
constexpr int GET_READY_SHOWN_EVENT_ID = 20;
constexpr int GET_READY_EXPIRED_EVENT_ID = 21;
constexpr int SHIELD_COLLAPSED_EVENT_ID = 22;
constexpr int GAME_OVER_SHOWN_EVENT_ID = 23;
constexpr int GAME_OVER_EXPIRED_EVENT_ID = 24;
constexpr int MOUSE_PRESSED_EVENT_ID = 25;
constexpr int MOUSE_RELEASED_EVENT_ID = 26;

// The key-down events that machines take (window key code + 26).
constexpr int RETURN_DOWN_EVENT_ID = 30; // RETURN, code 4
constexpr int ESCAPE_DOWN_EVENT_ID = 34; // ESCAPE, code 8
constexpr int UP_DOWN_EVENT_ID = 41;     // UP, code 15
constexpr int DOWN_DOWN_EVENT_ID = 43;   // DOWN, code 17
constexpr int F1_DOWN_EVENT_ID = 95;     // F1, code 69
constexpr int F2_DOWN_EVENT_ID = 96;     // F2, code 70
} // namespace QLMEventID

/// Posts an event for every key press and release the window reports; holds no data.
class QLMKeyListener final : public EGCDefaultMessageHandler
{
public:
    /// Posts event keyCode + 26 to all machines and answers true; a code outside 1 to 80 throws "Unknown key ID.".
    bool onKeyDown(EGCWindow& window, int keyCode) override;
    /// Posts event keyCode + 106 to all machines and answers true; a code outside 1 to 80 throws "Unknown key ID.".
    bool onKeyUp(EGCWindow& window, int keyCode) override;
};

/// Creates the events 1 to 186 and adds the key listener to the window's handlers.
void initializeEvents();
/// Removes the key listener, drops every queued message and destroys every event.
void shutdownEvents();
/// The event of the ID (1 to 186), owned by this module until shutdownEvents.
ECAEvent* getEvent(int eventID);
/// Posts the event of the ID (1 to 186) to all running machines.
void postEvent(int eventID);
/// The one key listener, created on first use and kept until program exit.
QLMKeyListener& keyListener();
