// One frame of each screen around the game, one pass of the main loop: the seven frame events, one update (the
// screen's tick and draw) and the present. The intro moves 50 particles and two tickers and draws them with the
// logos; the hall of fame moves 40 stars and the tickers and draws them with the table; the name entry draws the
// prompt and the name field, whose text is laid out anew every tick. The modules open headless under SDL's dummy
// drivers, in the build's data folder (nothing is written there).

#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmintro.h"
#include "game/qlmmain.h"
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

/// Frames of the screen that the coordinator's event enters.
void BM_ScreenFrame(benchmark::State& state)
{
    openScreens();
    postEvent(static_cast<int>(state.range(0)));
    ECA::update(0.0);
    QLMMainLoop loop = startMainLoop();
    for (auto _ : state)
        runMainLoopPass(loop);
    state.SetItemsProcessed(state.iterations());
    DBG::destroyTimer(loop.totalTimer);
    closeScreens();
}

} // namespace

BENCHMARK(BM_ScreenFrame)
    ->ArgName("enteredBy")
    ->Arg(QLMEventID::INTRO_ENTERED_EVENT_ID)
    ->Arg(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID)
    ->Arg(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID)
    ->Unit(benchmark::kMillisecond);
