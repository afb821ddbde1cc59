// Start-up, main loop and shutdown. The error box stays with the program's entry (main.cpp): it ends the process.

#include "game/qlmmain.h"

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
#include "platform/egc.h"
#include "platform/window.h"

namespace
{

using namespace QLMEventID;

// While the window is minimised or the device lost, the loop looks again every tenth of a second.
constexpr double IDLE_WAIT_SECONDS = 0.1;
constexpr int DEFAULT_REFRESH_RATE = 60;
constexpr int LEFT_MOUSE_BUTTON = 1;
constexpr int GAME_TRACK_ID = 1;

// Pumps messages until the window is shown and the device usable; rebuilds a device that can be reset.
void waitUntilDrawable(const QLMMainLoop& loop)
{
    for (;;)
    {
        processMessages();
        const bool minimised = loop.window->state() == MINIMIZED_WINDOW_STATE;
        const std::int32_t deviceState = loop.graphics->refreshState();
        if (!minimised && deviceState == EGL::OPEN)
            return;
        stopMusic();
        if (!minimised && deviceState == EGL::DOWN)
        {
            closeGraphicsDevice();
            reopenGraphicsDevice();
            playMusic(GAME_TRACK_ID);
        }
        loop.waiter->waitUntil(loop.clock->now() + IDLE_WAIT_SECONDS);
    }
}

} // namespace

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

void runCoordinator()
{
    DBG_ASSERT(isInitialized());
    runMainLoop();
    DBG_ASSERT(isInitialized());
}

QLMMainLoop startMainLoop()
{
    QLMMainLoop loop;
    loop.graphics = graphicsLibrary();
    loop.window = window();
    loop.clock = TME::clock();
    loop.waiter = TME::waiter(loop.clock);
    loop.totalTimer = DBG::createTimer("Total timer");
    return loop;
}

bool runMainLoopPass(QLMMainLoop& loop)
{
    if (ECA::machines().empty())
        return false;
    loop.totalTimer->startTimer();
    waitUntilDrawable(loop);

    // The posting order is the drawing order: the game first, the menu last, on top.
    for (const int eventID : {FRAME_EVENT_ID, FRAME_INPUT_EVENT_ID, DRAW_GAME_EVENT_ID, DRAW_SCORE_EVENT_ID,
                              DRAW_INTRO_EVENT_ID, DRAW_CONSOLE_EVENT_ID, DRAW_MENU_EVENT_ID})
        postEvent(eventID);

    const bool mouseButtonIsDown = isMouseButtonDown(LEFT_MOUSE_BUTTON);
    if (mouseButtonIsDown != loop.mouseButtonWasDown)
    {
        postEvent(mouseButtonIsDown ? MOUSE_PRESSED_EVENT_ID : MOUSE_RELEASED_EVENT_ID);
        loop.mouseButtonWasDown = mouseButtonIsDown;
    }

    std::int32_t refreshRate = graphicsDevice()->refreshRate();
    if (refreshRate <= 0)
        refreshRate = DEFAULT_REFRESH_RATE;
    ECA::update(1.0 / refreshRate);
    loop.graphics->present();
    loop.totalTimer->stopTimer();
    return true;
}

void runMainLoop()
{
    QLMMainLoop loop = startMainLoop();
    while (runMainLoopPass(loop))
    {
    }
    ECA::clearMessages();
}
