// The frames the game really draws, at 640x480, 800x600 and 1024x768: the program opened as its entry opens it,
// driven the way a player drives it, each frame one pass of its main loop (messages, the seven frame events, the
// mouse events, one update, the present) on the virtual clock. Shown are:
//   intro        2 s after the start: 50 particles, both logos and the two tickers;
//   hall of fame once the intro has run out (20 s), with the menu opened by Escape;
//   name entry   after a game over with a new high score, a name typed;
//   game         started by a click, 3 s in, then refilled every second by the game's own code with the splods
//                its spawning rule keeps at 800 s of game time, 60 pills, and a burst of every splod (explosions
//                and points labels), while the gun fires at the pointer every few frames.
// The time is a pass without showing the frame (present alone: bench_present). The first frame after the
// warm-up is recorded and drawn again on the rasteriser's fastest and scalar paths: the benchmark fails when their
// pixels or the presented frame differ, and the label shows the frame's checksum (the intro's is the same in
// every run; the other screens show things the modules placed at random while they opened, before the seed). For the
// intro, "raster_ms" and "sdl_ms" are the rasteriser's and SDL's software renderer's times for that frame's draw calls.
// Warming up runs at 640x480 and the resolution is then chosen as the menu chooses it. Headless under SDL's dummy
// drivers, in the build's data folder (nothing is written there).

#include "bench/benchreplay.h"
#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmcounter.h"
#include "game/qlmevent.h"
#include "game/qlmgame.h"
#include "game/qlmgamepill.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgametick.h"
#include "game/qlmgraphics.h"
#include "game/qlmmain.h"
#include "host/testing.h"
#include "platform/egc.h"
#include "platform/window.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace
{

constexpr int FRAMES_PER_SECOND = 60;
constexpr int DEVICE_IDS[] = {QLMDevices::SCREEN_640X480_DEVICE_ID, QLMDevices::SCREEN_800X600_DEVICE_ID,
                              QLMDevices::SCREEN_1024X768_DEVICE_ID};

enum Screen
{
    INTRO,
    HALL_OF_FAME_WITH_MENU,
    NAME_ENTRY,
    GAME,
};

HWND windowHandle()
{
    return static_cast<EGCWin32Window*>(window())->handle();
}

/// The whole program, open from the constructor to the destructor.
class Program
{
public:
    Program()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        hosttest::useVirtualClock();
        std::filesystem::current_path(QUILLOM_DATA_DIR);
        initializeModules();
        // Before the first update, in which the intro scatters its particles.
        randomTool()->setSeed(1.0);
        changeGraphicsDevice(QLMDevices::SCREEN_640X480_DEVICE_ID);
        mLoop = startMainLoop();
        hosttest::showFrames(false);
    }

    ~Program()
    {
        hosttest::showFrames(true);
        hosttest::recordFrames(false);
        // Every machine but the menu's ends on the quit event; the menu's ends at EXIT, as the player ends the
        // program, and then the loop stops. Quitting first keeps Return from entering a name.
        postEvent(QLMEventID::QUIT_EVENT_ID);
        pass();
        if (!mMenuOpen)
        {
            key(VK_ESCAPE);
        }
        for (int i = 0; i < 3; ++i)
        {
            key(VK_DOWN);
        }
        key(VK_RETURN);
        while (runMainLoopPass(mLoop))
        {
        }
        ECA::clearMessages();
        DBG::destroyTimer(mLoop.totalTimer);
        shutdownModules();
        hosttest::useRealClock();
    }

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void pass() { runMainLoopPass(mLoop); }

    void run(double seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds * FRAMES_PER_SECOND); ++i)
        {
            pass();
        }
    }

    /// A click into the window, as the intro and the hall of fame wait for to start a game; then seconds of it.
    void startGame(double seconds)
    {
        hosttest::pressMouseButton(windowHandle(), 1, 400, 300);
        pass();
        hosttest::releaseMouseButton(windowHandle(), 1, 400, 300);
        pass();
        run(seconds);
    }

    void key(int virtualKey)
    {
        hosttest::pressKey(virtualKey);
        pass();
        hosttest::releaseKey(virtualKey);
        pass();
    }

    /// Opens the menu with Escape; it opens at GRAPHICS.
    void openMenu()
    {
        key(VK_ESCAPE);
        mMenuOpen = true;
    }

private:
    QLMMainLoop mLoop;
    bool mMenuOpen = false;
};

// The game's field refilled by its own code: the splods its spawning rule keeps at 800 s, pills, and every splod
// burst into halves, explosions and points; the shield kept whole so that the game goes on.
void refillGame()
{
    getShield()->circle().setRadius(200.0f);
    tickSplods(800.0, 0.0);
    spawnPills(60.0);
    burstAllSplods();
}

// Drives the program from its start to the screen.
void reach(Program& program, Screen screen)
{
    switch (screen)
    {
    case INTRO:
        program.run(2.0);
        break;
    case HALL_OF_FAME_WITH_MENU:
        program.run(20.5);
        program.openMenu();
        program.run(1.0);
        break;
    case NAME_ENTRY:
        program.startGame(3.5);
        QLMScoreCounter::instance().add(100000);
        resizeShield(-200.0, getShield());
        getShield()->circle().setRadius(getShield()->circle().targetRadius());
        program.run(4.0);
        hosttest::typeText("Quill");
        program.run(0.5);
        break;
    case GAME:
        program.startGame(3.0);
        refillGame();
        program.run(0.5);
        break;
    }
}

void BM_Frame(benchmark::State& state)
{
    const auto screen = static_cast<Screen>(state.range(0));
    Program program;
    reach(program, screen);
    changeGraphicsDevice(DEVICE_IDS[state.range(1)]);
    program.run(0.2);
    // The frame checked is the first after the warm-up, the same in every run whatever the iteration count.
    hosttest::recordFrames(true);
    program.pass();
    program.pass();
    hosttest::recordFrames(false);
    const RasterRecording recording = hosttest::lastRecordedFrame();
    const std::vector<std::uint32_t> presented = hosttest::lastPresentedFrame().pixels;
    int frame = 0;
    for (auto _ : state)
    {
        if (screen == GAME)
        {
            ++frame;
            // A shot every fifth frame, at a pointer that wanders round the field.
            if (frame % 5 == 0)
            {
                state.PauseTiming();
                const bool down = frame % 10 == 0;
                down ? hosttest::pressMouseButton(windowHandle(), 1, 100 + frame * 37 % 400, 100 + frame * 53 % 300)
                     : hosttest::releaseMouseButton(windowHandle(), 1, 100, 100);
                state.ResumeTiming();
            }
            if (frame % FRAMES_PER_SECOND == 0)
            {
                state.PauseTiming();
                refillGame();
                state.ResumeTiming();
            }
        }
        program.pass();
    }
    checkFrame(state, recording, &presented);
    if (screen == INTRO)
    {
        compareWithSdl(state, recording);
    }
}

} // namespace

BENCHMARK(BM_Frame)
    ->ArgNames({"screen", "size"})
    ->ArgsProduct({{INTRO, HALL_OF_FAME_WITH_MENU, NAME_ENTRY, GAME}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);
