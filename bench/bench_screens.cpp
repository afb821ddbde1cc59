// One frame of each screen around the game, as the main loop runs it: the seven frame events, one update (the
// screen's tick and draw) and the present. The intro moves 50 particles and two tickers and draws them with the
// logos; the hall of fame moves 40 stars and the tickers and draws them with the table; the name entry draws the
// prompt and the name field, whose text is laid out anew every tick. The modules open headless under SDL's dummy
// drivers, in the build's data folder (nothing is written there).

#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmintro.h"
#include "game/qlmscore.h"
#include "game/qlmsound.h"
#include "host/testing.h"
#include "platform/egc.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace
{

void openScreens()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    hosttest::useVirtualClock();
    std::filesystem::current_path(QUILLOM_DATA_DIR);
    openEGC("Quillom 1.0", 0x210);
    randomTool()->setSeed(1.0);
    initializeEvents();
    initializeInput();
    initializeGraphics();
    initializeSound();
    initializeIntro();
    initializeScore();
}

void closeScreens()
{
    postEvent(QLMEventID::QUIT_EVENT_ID);
    ECA::update(0.0);
    shutdownScore();
    shutdownIntro();
    shutdownSound();
    shutdownGraphics();
    shutdownInput();
    shutdownEvents();
    closeEGC();
}

void runFrame()
{
    using namespace QLMEventID;
    for (const int id : {FRAME_EVENT_ID, FRAME_INPUT_EVENT_ID, DRAW_GAME_EVENT_ID, DRAW_SCORE_EVENT_ID,
                         DRAW_INTRO_EVENT_ID, DRAW_CONSOLE_EVENT_ID, DRAW_MENU_EVENT_ID})
        postEvent(id);
    ECA::update(1.0 / 60.0);
    graphicsLibrary()->present();
}

/// Frames of the screen that the coordinator's event enters.
void BM_ScreenFrame(benchmark::State& state)
{
    openScreens();
    postEvent(static_cast<int>(state.range(0)));
    ECA::update(0.0);
    for (auto _ : state)
        runFrame();
    state.SetItemsProcessed(state.iterations());
    closeScreens();
}

} // namespace

BENCHMARK(BM_ScreenFrame)
    ->ArgName("enteredBy")
    ->Arg(QLMEventID::INTRO_ENTERED_EVENT_ID)
    ->Arg(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID)
    ->Arg(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID)
    ->Unit(benchmark::kMillisecond);
