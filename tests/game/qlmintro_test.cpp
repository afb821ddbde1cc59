#include "game/qlmintro.h"

#include "egl/egltext.h"
#include "game/qlmscroll.h"
#include "tests/dbgtesting.h"
#include "tests/game/screentesting.h"

#include <numbers>
#include <string>

namespace
{

class IntroTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        initializeIntro();
    }

    void TearDown() override
    {
        post(QLMEventID::QUIT_EVENT_ID);
        shutdownIntro();
        ScreenTest::TearDown();
    }

    /// The quick-help ticker and the welcome ticker, told apart by their height.
    static const QLMScrollText* ticker(float y)
    {
        for (const QLMScrollText* const text : scrollTexts())
            if (text->label()->text().starts_with(y == -536.0f ? "Quick help" : "Welcome"))
                return text;
        return nullptr;
    }

    static long long clearsOfAFrame()
    {
        hosttest::resetD3D8Counters();
        runFrame();
        return hosttest::d3d8Counters().clears;
    }
};

TEST_F(IntroTest, OpensTheQuickHelpAndWelcomeTickersWithTheirTexts)
{
    ASSERT_EQ(scrollTexts().size(), 2u);
    ASSERT_TRUE(ticker(-536.0f) && ticker(-472.0f));
    EXPECT_EQ(ticker(-536.0f)->label()->text(),
              "Quick help; [ESCAPE] - main menu; [UP/DOWN-ARROW] - menu navigation; [RETURN] - select menu item; "
              "[LEFT MOUSE BUTTON] - Start game / Fire");
    const std::string& welcome = ticker(-472.0f)->label()->text();
    EXPECT_TRUE(welcome.starts_with("Welcome to quillom 1.0! Brief instructions; split (or repel) "));
    EXPECT_NE(welcome.find("splods and so on. When a splod"), std::string::npos);
    EXPECT_NE(welcome.find("as well as the short-term  effects (\"the action\"). Splitting a splod"),
              std::string::npos);
    EXPECT_TRUE(welcome.ends_with("when the smaller splinters have been dealt with first."));
}

TEST_F(IntroTest, ShowsAndMovesOnlyBetweenTheCoordinatorsEnterAndLeaveEvents)
{
    const float quickHelp = ticker(-536.0f)->x();
    EXPECT_EQ(clearsOfAFrame(), 0) << "idle until the intro is entered";
    EXPECT_FLOAT_EQ(ticker(-536.0f)->x(), quickHelp);

    post(QLMEventID::INTRO_ENTERED_EVENT_ID);
    const float welcome = ticker(-472.0f)->x();
    EXPECT_EQ(clearsOfAFrame(), 1);
    EXPECT_FLOAT_EQ(ticker(-536.0f)->x(), quickHelp - 1.0f) << "one unit per update";
    EXPECT_FLOAT_EQ(ticker(-472.0f)->x(), welcome - 2.0f) << "two units per update";

    const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
    int background = 0;
    for (int x = 0; x < frame.width; ++x)
        background += (frame.at(x, frame.height / 2) & 0x00FFFFFF) == 0x303080 ? 1 : 0;
    EXPECT_GT(background, 0) << "the dark blue background between the particles";

    post(QLMEventID::INTRO_LEFT_EVENT_ID);
    const float left = ticker(-536.0f)->x();
    EXPECT_EQ(clearsOfAFrame(), 0);
    EXPECT_FLOAT_EQ(ticker(-536.0f)->x(), left);
}

TEST_F(IntroTest, EachEntryGivesTheParticlesNewCurvesWithinTheirRangesWhileTheTickersGoOn)
{
    const double pi = std::numbers::pi;
    post(QLMEventID::INTRO_ENTERED_EVENT_ID);
    for (int entry = 0; entry < 5; ++entry)
    {
        const QLMParticleWaves& waves = introWaves();
        const struct
        {
            const QLMParticleWave& wave;
            double particleLow, particleHigh, tickLow, tickHigh;
        } ranges[] = {{waves.x1, 0, pi, 0.001, 0.02}, {waves.x2, 0, pi, 0.001, 0.02},  {waves.y1, 0, pi, 0.001, 0.02},
                      {waves.y2, 0, pi, 0.001, 0.02}, {waves.w, 0.1, 0.4, 0.01, 0.02}, {waves.h, 0.1, 0.4, 0.01, 0.02}};
        for (const auto& r : ranges)
        {
            EXPECT_GE(r.wave.phase, 0.0);
            EXPECT_LT(r.wave.phase, 2 * pi);
            EXPECT_GE(r.wave.particleStep, r.particleLow);
            EXPECT_LT(r.wave.particleStep, r.particleHigh);
            EXPECT_GE(r.wave.tickStep, r.tickLow);
            EXPECT_LT(r.wave.tickStep, r.tickHigh);
        }

        // Each update moves every curve by its step per tick.
        QLMParticleWaves before = waves;
        ECA::update(FRAME_SECONDS);
        EXPECT_DOUBLE_EQ(introWaves().y2.phase, before.y2.phase + before.y2.tickStep);
        EXPECT_DOUBLE_EQ(introWaves().w.phase, before.w.phase + before.w.tickStep);

        post(QLMEventID::INTRO_LEFT_EVENT_ID);
        before = introWaves();
        const float quickHelp = ticker(-536.0f)->x();
        ECA::update(FRAME_SECONDS);
        EXPECT_EQ(introWaves().x1.phase, before.x1.phase) << "still while idle";

        post(QLMEventID::INTRO_ENTERED_EVENT_ID);
        EXPECT_NE(introWaves().x1.phase, before.x1.phase) << "new curves";
        EXPECT_NE(introWaves().h.tickStep, before.h.tickStep);
        EXPECT_FLOAT_EQ(ticker(-536.0f)->x(), quickHelp) << "the tickers go on where they were";
    }
}

TEST_F(IntroTest, QuitEndsTheMachineWhileShowing)
{
    post(QLMEventID::INTRO_ENTERED_EVENT_ID);
    ASSERT_EQ(ECA::machines().size(), 1u);
    post(QLMEventID::QUIT_EVENT_ID);
    EXPECT_TRUE(ECA::machines().empty());
}

TEST_F(IntroTest, AMachineNoLongerValidFailsItsCheckWhenDestroyed)
{
    ASSERT_EQ(ECA::machines().size(), 1u);
    auto* machine = dynamic_cast<ECAMachine*>(ECA::machines().front()->clone());
    ASSERT_NE(machine, nullptr);
    machine->removeReference(); // released once more than it was referenced
    EXPECT_EQ(thrownBy([&] { delete machine; }), "Assertion failure: invariant()");
    EXPECT_EQ(DBG::timers().size(), 3u) << "the main loop's and the running machine's: the copy's went with it";
}

} // namespace
