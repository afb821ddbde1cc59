#include "game/qlmgameshield.h"

#include "tests/dbgtesting.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/gameplaytesting.h"

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
