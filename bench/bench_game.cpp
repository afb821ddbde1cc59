// One game tick as the game's machine runs it (its tick action: tickGame, then the removal passes) over fields of
// growing size: the field is first filled to the weight the spawning rule keeps at a given game time (6 large splods at
// 0 s, about 35 at 200 s, about 120 at 800 s), then ticked at 1/60 s of game time per tick on the virtual
// clock. The modules open headless under SDL's dummy drivers, in the build's data folder.

#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "game/qlmevent.h"
#include "game/qlmgame.h"
#include "game/qlmgamepill.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmsound.h"
#include "host/testing.h"
#include "platform/egc.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace
{

constexpr LONGLONG TICK_NANOSECONDS = 1000000000 / 60;
// Splods fall in and burst at the shield; a fresh field every 10 seconds of game time keeps its size.
constexpr int TICKS_PER_FIELD = 600;

void openGame()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    hosttest::useVirtualClock();
    std::filesystem::current_path(QUILLOM_DATA_DIR);
    openEGC("Quillom 1.0", 0x210);
    initializeEvents();
    initializeInput();
    initializeGraphics();
    initializeSound();
    initializeGame();
    randomTool()->setSeed(1.0);
}

void closeGame()
{
    postEvent(QLMEventID::QUIT_EVENT_ID);
    ECA::update(0.0);
    shutdownGame();
    shutdownSound();
    shutdownGraphics();
    shutdownInput();
    shutdownEvents();
    closeEGC();
}

void freshField(double fillTime)
{
    resetGame();
    deleteSplods();
    tickSplods(fillTime, 0.0);
    spawnPills(60.0);
    ECA::clearMessages();
}

void tickAction()
{
    hosttest::advanceVirtualClock(TICK_NANOSECONDS);
    QLMGameAction(QLMGameActionID::TICK_ACTION).execute(*gameMachine());
    // Nobody listens to the labels', explosions' and shield's events here.
    ECA::clearMessages();
}

void BM_GameTick(benchmark::State& state)
{
    openGame();
    const double fillTime = static_cast<double>(state.range(0));
    freshField(fillTime);
    int ticks = 0;
    std::size_t bodies = 0;
    for (auto _ : state)
    {
        if (++ticks % TICKS_PER_FIELD == 0)
        {
            state.PauseTiming();
            freshField(fillTime);
            state.ResumeTiming();
        }
        tickAction();
        bodies += splods().size() + pills().size();
    }
    state.counters["bodies"] = benchmark::Counter(static_cast<double>(bodies) / static_cast<double>(ticks));
    closeGame();
}

} // namespace

BENCHMARK(BM_GameTick)->Arg(0)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);
