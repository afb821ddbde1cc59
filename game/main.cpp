// The program's entry: opens every library and module in a fixed order, runs one frame per display refresh until
// no state machine runs any more, and closes everything in the reverse order. Any failed check ends the program
// through the error box.

#include "egl/egl.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/timers.h"
#include "foundation/tmesampler.h"
#include "game/qlmconsole.h"
#include "game/qlmcoordinator.h"
#include "game/qlmevent.h"
#include "game/qlmgame.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmintro.h"
#include "game/qlmmenu.h"
#include "game/qlmscore.h"
#include "game/qlmsound.h"
#include "host/win32.h"
#include "platform/egc.h"

#include <string>

namespace
{

using namespace QLMEventID;

// While the window is minimised or the device lost, the loop looks again every tenth of a second.
constexpr double IDLE_WAIT_SECONDS = 0.1;
constexpr int DEFAULT_REFRESH_RATE = 60;
constexpr int LEFT_MOUSE_BUTTON = 1;
constexpr int GAME_TRACK_ID = 1;

void initializeModules()
{
    openEGC("Quillom 1.0", 0x210);
    initializeEvents();
    initializeInput();
    initializeGraphics();
    initializeSound();
    initializeConsole();
    initializeIntro();
    initializeMenu();
    initializeGame();
    initializeScore();
    initializeCoordinator();
}

void shutdownModules()
{
    shutdownCoordinator();
    shutdownScore();
    shutdownGame();
    shutdownMenu();
    shutdownIntro();
    shutdownConsole();
    shutdownSound();
    shutdownGraphics();
    shutdownInput();
    shutdownEvents();
    closeEGC();
}

// Pumps messages until the window is shown and the device usable; rebuilds a device that can be reset.
void waitUntilDrawable(EGL& graphics, EGCWindow& window, TMEClock& clock, TMEWaiter& waiter)
{
    for (;;)
    {
        processMessages();
        const bool minimised = window.state() == MINIMIZED_WINDOW_STATE;
        const std::int32_t deviceState = graphics.refreshState();
        if (!minimised && deviceState == EGL::OPEN)
            return;
        stopMusic();
        if (!minimised && deviceState == EGL::DOWN)
        {
            closeGraphicsDevice();
            reopenGraphicsDevice();
            playMusic(GAME_TRACK_ID);
        }
        waiter.waitUntil(clock.now() + IDLE_WAIT_SECONDS);
    }
}

void runMainLoop()
{
    EGL& graphics = *graphicsLibrary();
    EGCWindow& window = *::window();
    TMEClock& clock = *TME::clock();
    TMEWaiter& waiter = *TME::waiter(&clock);
    DBGTimer* totalTimer = DBG::createTimer("Total timer");
    bool mouseButtonWasDown = false;

    while (!ECA::machines().empty())
    {
        totalTimer->startTimer();
        waitUntilDrawable(graphics, window, clock, waiter);

        // The posting order is the drawing order: the game first, the menu last, on top.
        for (int eventID : {FRAME_EVENT_ID, FRAME_INPUT_EVENT_ID, DRAW_GAME_EVENT_ID, DRAW_SCORE_EVENT_ID,
                            DRAW_INTRO_EVENT_ID, DRAW_CONSOLE_EVENT_ID, DRAW_MENU_EVENT_ID})
            postEvent(eventID);

        const bool mouseButtonIsDown = isMouseButtonDown(LEFT_MOUSE_BUTTON);
        if (mouseButtonIsDown != mouseButtonWasDown)
        {
            postEvent(mouseButtonIsDown ? MOUSE_PRESSED_EVENT_ID : MOUSE_RELEASED_EVENT_ID);
            mouseButtonWasDown = mouseButtonIsDown;
        }

        std::int32_t refreshRate = graphicsDevice()->refreshRate();
        if (refreshRate <= 0)
            refreshRate = DEFAULT_REFRESH_RATE;
        ECA::update(1.0 / refreshRate);
        graphics.present();
        totalTimer->stopTimer();
    }
    ECA::clearMessages();
}

void runCoordinator()
{
    DBG_ASSERT(isInitialized());
    runMainLoop();
    DBG_ASSERT(isInitialized());
}

[[noreturn]] void showErrorAndExit(const DBGException& exception)
{
    const char* caption = "Quillom unrecoverable error";
    std::string text =
        "Unfortunately Quillom has encountered an unrecoverable error. If this problem persists please contact our "
        "support available from the start menu. In your mail try to specify as closely as possible under which "
        "circumstance(s) this error message shows up. Also please include the error information provided below. "
        "Thanks in advance for helping us to improve this game.\n\n";
    text += "Product: Quillom 1.0\n";
    text += std::string("Filename: ") + exception.file() + "\n";
    text += "Line: " + std::to_string(exception.line()) + "\n";
    text += std::string("Description: ") + exception.description();

    // A failure while tidying up must not keep the box from showing; and the error may have come before the
    // window or the input library was open.
    try
    {
        stopMusic();
        if (::window() != nullptr)
        {
            ::window()->setState(MINIMIZED_WINDOW_STATE);
            if (inputLibrary() != nullptr)
                processMessages();
        }
    }
    catch (const DBGException&)
    {
    }
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR | MB_TOPMOST);
    ExitProcess(0);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try
    {
        initializeModules();
        runCoordinator();
        shutdownModules();
    }
    catch (const DBGException& exception)
    {
        showErrorAndExit(exception);
    }
    return 0;
}
