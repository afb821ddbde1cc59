#pragma once
// The whole program as a player runs it, headless: its start-up, passes of its main loop with scripted keys,
// clicks, aim and fire, and its shutdown, on the virtual clock (each Present moves it one refresh period on), in a
// scratch folder that holds the first high-score table. The program's own tests and the screenshot program use it.

#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmevent.h"
#include "game/qlmgamegun.h"
#include "game/qlmgamesplod.h"
#include "game/qlminput.h"
#include "game/qlmmain.h"
#include "host/testing.h"
#include "platform/egc.h"
#include "platform/window.h"
#include "tests/game/scratchfolder.h"
#include "tools/datagen/highscores.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>

class ProgramRun
{
public:
    /// Makes the scratch folder (named after the run) with the first table, turns the virtual clock on and starts
    /// the program; the desktop then gives its window the focus, and the random tool a fixed seed.
    explicit ProgramRun(const std::string& name)
    {
        hosttest::resetWindows();
        hosttest::useVirtualClock();
        fFolder.emplace("program-" + name);
        std::ofstream("highscores.txt", std::ios::binary | std::ios::trunc) << datagen::firstHighScoreTable();
        initializeModules();
        fLoop = startMainLoop();
        hosttest::gainFocus(windowHandle());
        randomTool()->setSeed(20261210.0);
    }

    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    /// Closes what a run cut short left open (its machines are made to quit first) and the main loop's timers,
    /// which the program leaves to the end of the process; then the folder and the clock.
    ~ProgramRun()
    {
        if (!fShutDown)
        {
            try
            {
                if (!ECA::machines().empty())
                {
                    postEvent(QLMEventID::QUIT_EVENT_ID);
                    ECA::update(0.0);
                }
                shutdown();
            }
            catch (const DBGException&)
            {
            }
        }
        const std::set<DBGTimer*> timers = DBG::timers();
        for (DBGTimer* timer : timers)
            if (timer->timerName() == "Total timer")
                DBG::destroyTimer(timer);
        fFolder.reset();
        hosttest::useRealClock();
        hosttest::resetWindows();
    }

    /// The program's shutdown; every machine has ended before.
    void shutdown()
    {
        fShutDown = true;
        shutdownModules();
    }

    /// One pass of the main loop; false when no machine runs any more.
    bool pass() { return runMainLoopPass(fLoop); }

    /// Passes until the condition holds after one; the passes run, or -1 when it still fails after the given most.
    int passUntil(const std::function<bool()>& done, int most)
    {
        for (int passes = 1; passes <= most; ++passes)
        {
            pass();
            if (done())
                return passes;
        }
        return -1;
    }

    void passes(int count)
    {
        for (int i = 0; i < count; ++i)
            pass();
    }

    /// Types each key (press and release, by virtual key) in turn; the next pass delivers them in that order.
    static void queueKeys(std::initializer_list<int> virtualKeys)
    {
        for (const int key : virtualKeys)
        {
            hosttest::pressKey(key);
            hosttest::releaseKey(key);
        }
    }

    /// Types the keys and runs the pass that delivers them.
    void keys(std::initializer_list<int> virtualKeys)
    {
        queueKeys(virtualKeys);
        pass();
    }

    /// Holds the left button down over one pass, then lets it go over the next: a press and a release in one pass
    /// would go unseen.
    void click()
    {
        hosttest::pressMouseButton(windowHandle(), 1, 400, 300);
        pass();
        hosttest::releaseMouseButton(windowHandle(), 1, 400, 300);
        pass();
    }

    /// One pass of a player who keeps the button down and the pointer on the splod nearest the centre of the front
    /// shell's colour (of any colour when none has it): each shot splits it or pushes it away.
    void aimAndFire()
    {
        const QLMSplod* target = nullptr;
        double best = 0.0;
        for (const bool anyColour : {false, true})
        {
            for (const QLMSplod* splod : splods())
            {
                if (!splod->isAlive() || (!anyColour && splod->colorID() != frontShellColor()))
                    continue;
                const double distance = splod->sphere()->position().length();
                if (target == nullptr || distance < best)
                {
                    target = splod;
                    best = distance;
                }
            }
            if (target != nullptr)
                break;
        }
        if (target != nullptr)
        {
            // The pointer moves by the medium sensitivity (4, -4) times the relative motion.
            const SILVector pointer = mousePosition();
            const int dx = static_cast<int>(std::lround((target->sphere()->position().x() - pointer.x()) / 4.0));
            const int dy = static_cast<int>(std::lround((target->sphere()->position().y() - pointer.y()) / -4.0));
            hosttest::moveMouse(windowHandle(), 400, 300, dx, dy);
        }
        if (!isMouseButtonDown(1))
            hosttest::pressMouseButton(windowHandle(), 1, 400, 300);
        pass();
    }

    /// Lets the left button go, over one pass.
    void releaseButton()
    {
        hosttest::releaseMouseButton(windowHandle(), 1, 400, 300);
        pass();
    }

    static HWND windowHandle() { return static_cast<EGCWin32Window*>(window())->handle(); }

    static const hosttest::PresentedFrame& frame() { return hosttest::lastPresentedFrame(); }

    /// The pixels of the last frame whose colour (0xRRGGBB) is the given one.
    static int pixelsOf(std::uint32_t rgb)
    {
        int count = 0;
        for (const std::uint32_t pixel : frame().pixels)
            count += (pixel & 0x00FFFFFF) == rgb ? 1 : 0;
        return count;
    }

    /// Whether at least the given share of the last frame is of the colour.
    static bool covers(std::uint32_t rgb, double share)
    {
        return static_cast<double>(pixelsOf(rgb)) >= share * static_cast<double>(frame().pixels.size());
    }

private:
    std::optional<ScratchFolder> fFolder;
    QLMMainLoop fLoop;
    bool fShutDown = false;
};
