#include "game/qlmgameshield.h"

#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/gameplaytesting.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace
{

class QLMGameShieldTest : public GamePlayTest
{
protected:
    void SetUp() override
    {
        GamePlayTest::SetUp();
        shield = getShield();
        ring = &shield->circle();
    }

    QLMShield* shield = nullptr;
    QLMCircle* ring = nullptr;
};

TEST_F(QLMGameShieldTest, StartsAtRadius200AndShrinksAtFiftyUnitsASecondWithoutOvershooting)
{
    EXPECT_EQ(ring->radius(), 200.0f);
    EXPECT_EQ(shield->sphere()->radius(), 200.0);
    EXPECT_EQ(shield->sphere()->solid(), 2);

    resizeShield(-60.0, shield); // a size-3 splod
    EXPECT_EQ(ring->targetRadius(), 140.0f);
    for (int i = 0; i < 11; ++i)
    {
        tickShield(shield, 0.0, 0.1);
    }
    EXPECT_NEAR(ring->radius(), 145.0f, 1e-3);
    EXPECT_EQ(shield->sphere()->radius(), ring->radius()) << "the sphere follows the ring";
    tickShield(shield, 0.0, 0.3);
    EXPECT_EQ(ring->radius(), 140.0f) << "lands on the target";
}

TEST_F(QLMGameShieldTest, AResizeMeasuresFromTheCurrentRadiusAndNeverAimsBelowOne)
{
    resizeShield(-60.0, shield);
    tickShield(shield, 0.0, 0.2); // 200 -> 190 on the way to 140
    resizeShield(-60.0, shield);
    EXPECT_EQ(ring->targetRadius(), 130.0f);
    resizeShield(50.0, shield);
    EXPECT_EQ(ring->targetRadius(), 240.0f);
    resizeShield(-1000.0, shield);
    EXPECT_EQ(ring->targetRadius(), 1.0f);
}

TEST_F(QLMGameShieldTest, PostsTheCollapseInEveryTickOnceTheRadiusIsAtMost64)
{
    EventRecorder recorder;
    ring->setRadius(64.5f);
    tickShield(shield, 0.0, 0.0);
    EXPECT_TRUE(recorder.deliver().empty());

    resizeShield(-0.5, shield); // a target of 64 exactly already counts
    tickShield(shield, 0.0, 0.1);
    EXPECT_EQ(ring->radius(), 64.0f);
    EXPECT_EQ(recorder.deliver(), std::vector<int>{QLMEventID::SHIELD_COLLAPSED_EVENT_ID});
    tickShield(shield, 0.0, 0.1);
    EXPECT_EQ(recorder.deliver(), std::vector<int>{QLMEventID::SHIELD_COLLAPSED_EVENT_ID});
}

TEST_F(QLMGameShieldTest, ThereIsOnlyOneShield)
{
    EXPECT_EQ(thrownBy([] { initializeShield(); }), "Assertion failure: !shieldIsInitialized()");
}

} // namespace

namespace
{

/// Whether any pixel within two of the point (view-space units) differs between the two frames.
bool differsNear(const hosttest::PresentedFrame& a, const hosttest::PresentedFrame& b, double x, double y)
{
    const int column = static_cast<int>(a.width / 2 + x * a.width / 1600.0);
    const int row = static_cast<int>(a.height / 2 - y * a.height / 1200.0);
    for (int dy = -2; dy <= 2; ++dy)
    {
        for (int dx = -2; dx <= 2; ++dx)
        {
            if (a.at(column + dx, row + dy) != b.at(column + dx, row + dy))
            {
                return true;
            }
        }
    }
    return false;
}

TEST_F(QLMGameShieldTest, TheRingShowsDashesOfNineDegreesEighteenDegreesApartTurnedWithTheAim)
{
    deliver(QLMEventID::GAME_ENTERED_EVENT_ID);
    // Aimed 9 degrees up, half a dash off the untouched ring: dashes at 9 + 18 k degrees, gaps at 18 k.
    const double pi = std::numbers::pi;
    setMousePosition(
        SILVector(static_cast<float>(300.0 * std::cos(pi / 20.0)), static_cast<float>(300.0 * std::sin(pi / 20.0))));
    frame();
    graphicsLibrary()->present();
    const hosttest::PresentedFrame withRing = hosttest::lastPresentedFrame();
    ring->setRadius(150.0f);
    drawGame();
    graphicsLibrary()->present();
    const hosttest::PresentedFrame moved = hosttest::lastPresentedFrame();
    ASSERT_GT(withRing.width, 0);

    for (const double degrees : {45.0, 99.0, 225.0})
    {
        EXPECT_TRUE(differsNear(withRing, moved, 200.0 * std::cos(degrees * pi / 180.0),
                                200.0 * std::sin(degrees * pi / 180.0)))
            << "a dash at " << degrees;
    }
    for (const double degrees : {36.0, 90.0, 216.0})
    {
        EXPECT_FALSE(differsNear(withRing, moved, 200.0 * std::cos(degrees * pi / 180.0),
                                 200.0 * std::sin(degrees * pi / 180.0)))
            << "a gap at " << degrees;
    }
}

} // namespace
