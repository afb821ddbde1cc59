// The whole program as a player meets it: the real start-up, main loop and shutdown, headless, from the intro to
// EXIT, with the screens told apart by their pictures.

#include "game/qlmmain.h"

#include "egl/egltext.h"
#include "foundation/eca.h"
#include "foundation/timers.h"
#include "game/qlmcounter.h"
#include "game/qlmgame.h"
#include "game/qlmgameclock.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "game/qlmmenu.h"
#include "game/qlmscore.h"
#include "tests/game/programrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Log = std::vector<std::string>;
using ID = QLMMenuItemID;

constexpr int PASSES_PER_SECOND = 60;
constexpr std::uint32_t INTRO_BACKGROUND = 0x303080;
constexpr std::uint32_t HALL_OF_FAME_BACKGROUND = 0x202040;
constexpr std::uint32_t ACTIVE_MENU_ITEM = 0x00FF00;
constexpr std::uint32_t CONSOLE_RED = 0xFF0000;

// The screens by their pictures: the intro and the score screens clear to a background of their own.
bool showsIntro()
{
    return ProgramRun::covers(INTRO_BACKGROUND, 0.2);
}

bool showsScoreScreen()
{
    return ProgramRun::covers(HALL_OF_FAME_BACKGROUND, 0.2);
}

bool showsGame()
{
    return !showsIntro() && !showsScoreScreen() && !ProgramRun::covers(0x000000, 0.9);
}

bool showsMenu()
{
    return ProgramRun::pixelsOf(ACTIVE_MENU_ITEM) > 0;
}

/// Turns the time graphs (F2) on over the screen shown, runs the check on the frame with them, and turns them off;
/// answers whether they added red lines to the frame.
bool timeGraphsShow(
    ProgramRun& run, const std::function<void()>& check = [] {})
{
    const int red = ProgramRun::pixelsOf(CONSOLE_RED);
    run.keys({VK_F2});
    run.pass(); // the graphs are made by the view's first tick, after its first draw
    const bool shown = ProgramRun::pixelsOf(CONSOLE_RED) > red;
    check();
    run.keys({VK_F2});
    return shown;
}

bool inGameState(int stateID)
{
    return gameMachine()->currentState() == gameState(stateID);
}

bool musicSounds()
{
    const Log playing = hosttest::audioPlaying();
    return std::find(playing.begin(), playing.end(), "gametrack.mid") != playing.end();
}

/// The audio log since the last call.
Log audioSince()
{
    Log log = hosttest::audioLog();
    hosttest::clearAudioLog();
    return log;
}

/// What happened to the music since the last call.
Log musicSince()
{
    Log music;
    for (const std::string& entry : audioSince())
        if (entry.ends_with(" gametrack.mid"))
            music.push_back(entry);
    return music;
}

std::string fileContent(const std::string& name)
{
    std::ostringstream content;
    content << std::ifstream(name, std::ios::binary).rdbuf();
    return content.str();
}

/// The first table with the record after the older ones of its score, less its lowest record.
std::string firstTableWith(const std::string& name, int score)
{
    std::vector<std::pair<std::string, int>> records;
    std::istringstream in(datagen::firstHighScoreTable());
    std::string recordName;
    std::string recordScore;
    while (std::getline(in, recordName) && std::getline(in, recordScore))
        records.emplace_back(recordName, std::stoi(recordScore));
    const auto lower = std::find_if(records.begin(), records.end(), [&](const auto& r) { return r.second < score; });
    records.insert(lower, {name, score});
    records.pop_back();
    std::string text;
    for (const auto& [n, s] : records)
        text += n + "\n" + std::to_string(s) + "\n";
    return text;
}

/// Nothing of the program is left: windows, DirectX objects, the sound output, machines and timers (but the loop's
/// "Total timer", which the program never destroys).
void expectEverythingClosed()
{
    EXPECT_EQ(hosttest::openWindows(), 1u) << "the window itself ends with the process, as on Windows";
    EXPECT_EQ(hosttest::liveComObjects(), 0);
    EXPECT_FALSE(hosttest::audioIsOpen());
    EXPECT_TRUE(ECA::machines().empty());
    EXPECT_EQ(ECA::registeredObjects(), 0u) << "events, states and machine types";
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(graphicsLibrary(), nullptr);
    EXPECT_EQ(inputLibrary(), nullptr);
    EXPECT_EQ(soundLibrary(), nullptr);
    for (const DBGTimer* timer : DBG::timers())
        EXPECT_EQ(timer->timerName(), "Total timer");
}

/// Ends a run at the menu's EXIT through the program's own loop, which returns when the last machine has ended,
/// and shuts the program down.
void exitThroughTheMenu(ProgramRun& run, std::initializer_list<int> keysToExit)
{
    ProgramRun::queueKeys(keysToExit);
    runCoordinator();
    EXPECT_TRUE(ECA::machines().empty());
    run.shutdown();
    expectEverythingClosed();
}

TEST(QuillomProgram, APlayerGoesFromTheIntroThroughAGameAndTheHallOfFameToExit)
{
    ProgramRun run("player");
    EXPECT_TRUE(musicSounds()) << "the music starts with the program";

    run.pass();
    int passes = 1;
    ASSERT_EQ(run.frame().width, 800);
    ASSERT_EQ(run.frame().height, 600);
    EXPECT_TRUE(showsIntro()) << "the first frame shows the intro";
    EXPECT_FALSE(ProgramRun::covers(INTRO_BACKGROUND, 0.99)) << "particles, logos and tickers over the background";
    EXPECT_FALSE(showsMenu());

    // The overlays are drawn over the screen below them.
    run.keys({VK_ESCAPE});
    EXPECT_TRUE(showsIntro() && showsMenu()) << "the menu over the intro";
    run.keys({VK_ESCAPE});
    EXPECT_FALSE(showsMenu());
    EXPECT_TRUE(timeGraphsShow(run)) << "over the intro";
    passes += 5;

    const int untilHallOfFame = run.passUntil(showsScoreScreen, 25 * PASSES_PER_SECOND);
    ASSERT_GT(untilHallOfFame, 0) << "the hall of fame follows the intro";
    EXPECT_NEAR(passes + untilHallOfFame, 20 * PASSES_PER_SECOND, 1) << "after 20 seconds";
    run.keys({VK_ESCAPE});
    EXPECT_TRUE(showsScoreScreen() && showsMenu()) << "the menu over the hall of fame";
    run.keys({VK_ESCAPE});
    EXPECT_TRUE(timeGraphsShow(run)) << "over the hall of fame";

    // A click starts a game; "Get ready" lasts 3 seconds of game time.
    run.click();
    run.pass();
    EXPECT_TRUE(showsGame());
    EXPECT_TRUE(inGameState(QLMGameStateID::GET_READY));
    EXPECT_FALSE(splods().empty()) << "the first tick brings the splods";
    ASSERT_GT(run.passUntil([] { return inGameState(QLMGameStateID::LOADED); }, 4 * PASSES_PER_SECOND), 0);

    // Escape pauses the game under the menu, Escape again goes on with it. Over the still game, the menu's
    // letters, grown to their full size, stay whole under the time graphs: the menu is drawn last.
    EXPECT_TRUE(timeGraphsShow(run)) << "over the game";
    run.keys({VK_ESCAPE});
    const double pausedAt = gameTime();
    run.passes(3 * PASSES_PER_SECOND);
    EXPECT_TRUE(showsGame() && showsMenu()) << "the menu over the game";
    EXPECT_EQ(gameTime(), pausedAt) << "paused";
    const int letters = ProgramRun::pixelsOf(ACTIVE_MENU_ITEM);
    EXPECT_TRUE(timeGraphsShow(run, [&] { EXPECT_EQ(ProgramRun::pixelsOf(ACTIVE_MENU_ITEM), letters); }));
    run.keys({VK_ESCAPE});
    run.pass();
    EXPECT_GT(gameTime(), pausedAt);
    EXPECT_FALSE(showsMenu());

    // Five seconds of aim and fire, then the splods win: the shield shrinks until the game is over.
    for (int i = 0; i < 5 * PASSES_PER_SECOND; ++i)
        run.aimAndFire();
    run.releaseButton();
    const int score = QLMScoreCounter::instance().value();
    EXPECT_GT(score, 1000) << "points for the splits, enough for the table";
    float smallestShield = getShield()->circle().radius();
    const int untilGameOver = run.passUntil(
        [&]
        {
            smallestShield = std::min(smallestShield, getShield()->circle().radius());
            return inGameState(QLMGameStateID::GAME_OVER);
        },
        120 * PASSES_PER_SECOND);
    ASSERT_GT(untilGameOver, 0) << "the game ends";
    EXPECT_LE(smallestShield, SHIELD_COLLAPSE_RADIUS);
    EXPECT_TRUE(showsGame()) << "\"Game over\" over the field";

    // The score makes the table: the name entry follows "Game over", and Return stores the typed name.
    ASSERT_GT(run.passUntil(showsScoreScreen, 4 * PASSES_PER_SECOND), 0);
    const int finalScore = QLMScoreCounter::instance().value();
    EXPECT_GE(finalScore, score);
    EXPECT_EQ(scoreNameLabel()->text(), "><") << "the name entry";
    hosttest::typeText("Tester");
    run.pass();
    EXPECT_EQ(scoreNameLabel()->text(), ">Tester<");
    const std::string before = fileContent("highscores.txt");
    run.keys({VK_RETURN});
    EXPECT_NE(fileContent("highscores.txt"), before);
    EXPECT_EQ(fileContent("highscores.txt"), firstTableWith("Tester", finalScore));
    EXPECT_TRUE(showsScoreScreen());

    // The menu's pages, each in turn.
    run.keys({VK_ESCAPE});
    EXPECT_TRUE(menuItem(ID::GRAPHICS).isActive());
    const struct
    {
        std::initializer_list<int> keys;
        ID active;
        int width, height;
    } resolutions[] = {
        {{VK_RETURN, VK_RETURN}, ID::LORES, 640, 480},
        {{VK_DOWN, VK_DOWN, VK_RETURN}, ID::HIRES, 1024, 768},
        {{VK_UP, VK_RETURN}, ID::MERES, 800, 600},
    };
    for (const auto& r : resolutions)
    {
        run.keys(r.keys);
        run.pass();
        EXPECT_TRUE(menuItem(r.active).isActive());
        EXPECT_EQ(run.frame().width, r.width);
        EXPECT_EQ(run.frame().height, r.height);
        EXPECT_TRUE(showsScoreScreen() && showsMenu()) << "drawn on the new device";
    }
    run.keys({VK_ESCAPE, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(menuItem(ID::SAMPLES).isActive());
    audioSince();
    const struct
    {
        int key;
        Log log;
    } switches[] = {
        {VK_DOWN, {"play activatemenuitem.wav secondary"}},            // MUSIC
        {VK_UP, {"play activatemenuitem.wav secondary"}},              // SOUND EFFECTS
        {VK_RETURN, {}},                                               // off, and so is the sound of the choice
        {VK_DOWN, {}},                                                 // MUSIC, in silence
        {VK_RETURN, {"stop gametrack.mid", "unload gametrack.mid"}},   // off
        {VK_RETURN, {"download gametrack.mid", "play gametrack.mid"}}, // on
        {VK_UP, {}},                                                   // SOUND EFFECTS
        {VK_RETURN, {"play selectmenuitem.wav secondary"}},            // on
    };
    for (const auto& s : switches)
    {
        run.keys({s.key});
        EXPECT_EQ(audioSince(), s.log);
    }
    EXPECT_TRUE(musicSounds());
    run.keys({VK_ESCAPE, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(menuItem(ID::LOW_VELOCITY).isActive());
    run.keys({VK_DOWN, VK_RETURN, VK_ESCAPE});
    EXPECT_TRUE(menuItem(ID::INPUT).isActive());
    EXPECT_TRUE(showsMenu());

    exitThroughTheMenu(run, {VK_DOWN, VK_RETURN});
}

TEST(QuillomProgram, AGameGoesOnAfterAMinimiseAndALostDevice)
{
    ProgramRun run("interrupted");
    run.pass();
    run.click();
    ASSERT_GT(run.passUntil([] { return inGameState(QLMGameStateID::LOADED); }, 4 * PASSES_PER_SECOND), 0);
    for (int i = 0; i < PASSES_PER_SECOND; ++i)
        run.aimAndFire();
    run.releaseButton();

    // Minimised, the program only looks at its messages every tenth of a second, with the music off; the
    // full-screen device is lost meanwhile, so the restored window gets a new one and the music comes back.
    const HWND handle = ProgramRun::windowHandle();
    const Log rebuilt{"stop gametrack.mid", "unload gametrack.mid", "download gametrack.mid", "play gametrack.mid"};
    double stoodAt = gameTime();
    long long presented = hosttest::d3d8Counters().presents;
    LONGLONG slept = hosttest::sleptMilliseconds();
    audioSince();
    hosttest::minimise(handle);
    hosttest::duringNextSleep([] {});
    hosttest::duringNextSleep([handle] { hosttest::restore(handle); });
    run.pass();
    EXPECT_GE(hosttest::sleptMilliseconds() - slept, 2 * 99) << "two waits while minimised";
    EXPECT_EQ(hosttest::d3d8Counters().presents, presented + 1) << "one frame, after the wait";
    EXPECT_EQ(musicSince(), rebuilt);
    EXPECT_TRUE(showsGame());
    EXPECT_EQ(run.frame().width, 800);

    // Lost while shown: it waits until the device can be reset, then builds it anew.
    presented = hosttest::d3d8Counters().presents;
    slept = hosttest::sleptMilliseconds();
    hosttest::forceDeviceLoss(true);
    hosttest::duringNextSleep([] {});
    hosttest::duringNextSleep([] { hosttest::forceDeviceLoss(false); });
    run.pass();
    EXPECT_GE(hosttest::sleptMilliseconds() - slept, 2 * 99) << "two waits while lost";
    EXPECT_EQ(hosttest::d3d8Counters().presents, presented + 1);
    EXPECT_EQ(musicSince(), rebuilt);
    EXPECT_TRUE(musicSounds());
    EXPECT_TRUE(showsGame());
    EXPECT_EQ(run.frame().width, 800);
    EXPECT_LT(gameTime(), stoodAt + 0.5) << "the waits are no game time";

    // The game goes on to its end.
    for (int i = 0; i < PASSES_PER_SECOND; ++i)
        run.aimAndFire();
    EXPECT_GT(gameTime(), stoodAt + 0.9);
    EXPECT_TRUE(inGameState(QLMGameStateID::LOADED) || inGameState(QLMGameStateID::RELOADING));
    run.releaseButton();
    ASSERT_GT(run.passUntil([] { return inGameState(QLMGameStateID::GAME_OVER); }, 120 * PASSES_PER_SECOND), 0);

    exitThroughTheMenu(run, {VK_ESCAPE, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
}

} // namespace
