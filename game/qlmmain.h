#pragma once
// The program's spine, shared by the program's entry and the tests: every library and module opened in a fixed
// order, the main loop that drives all screens once per displayed frame, and everything closed in the reverse
// order.

#include <cstdint>

class DBGTimer;
class EGCWindow;
class EGL;
class TMEClock;
class TMEWaiter;

/// Opens the application glue and then every game module, the coordinator last (its first machine is started).
void initializeModules();
/// Closes every game module in the reverse order of the opens, and last the application glue.
void shutdownModules();
/// Runs the main loop; the coordinator is required to be open before and after it.
void runCoordinator();

/// What the main loop reads once and keeps from one pass to the next. Lends, owns nothing: the libraries belong
/// to the application glue, and "Total timer" is never destroyed by the program.
struct QLMMainLoop
{
    EGL* graphics = nullptr;
    EGCWindow* window = nullptr;
    TMEClock* clock = nullptr;
    TMEWaiter* waiter = nullptr;
    DBGTimer* totalTimer = nullptr;
    /// Mouse button 1 as the last pass saw it; a change posts the press or release event.
    bool mouseButtonWasDown = false;
};

/// Takes the graphics library, the window, the clock and the waiter, and creates the timer "Total timer".
QLMMainLoop startMainLoop();
/// One pass of the loop, when a machine runs: messages and input (waiting while the window is minimised or the
/// device lost, and rebuilding a device that can be reset), the seven frame events in drawing order, the mouse
/// button's event, one update of a display refresh period, and the frame presented. Answers whether it ran.
bool runMainLoopPass(QLMMainLoop& loop);
/// Passes until no machine runs any more, then drops any message still queued.
void runMainLoop();
