#include "game/qlmgamepill.h"

#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

#include <vector>

namespace
{

class QLMGamePillTest : public GamePlayTest
{
protected:
    /// The effect IDs of the pills one schedule pass makes at the game time, in the order made.
    static std::vector<int> scheduledAt(double t)
    {
        deletePills();
        spawnPills(t);
        std::vector<int> effects;
        for (const QLMPill* pill : pills())
        {
            effects.push_back(pill->effectID());
        }
        return effects;
    }
};

TEST_F(QLMGamePillTest, TheScheduleMakesThePillsOfEveryRowDueThatSecondInTableOrder)
{
    struct Case
    {
        double t;
        std::vector<int> effects;
    };
    const Case cases[] = {
        {0.0, {}},
        {5.0, {}},
        {10.0, {}},
        {20.0, {1, 41}},
        {30.0, {17, 18, 25, 57, 58}},
        {29.6, {17, 18, 25, 57, 58}}, // the nearest whole second
        {40.0, {1, 41}},
        {60.0, {2, 17, 18, 25, 26, 42, 57, 58}},
        {120.0, {4, 17, 18, 25, 26, 44, 57, 58}},
        {440.0, {}},
        {460.0, {}},
        {480.0, {9, 17, 18, 25, 26, 49, 57, 58}},
        {900.0, {16, 17, 18, 25, 26, 56, 57, 58}},
        {1960.0, {16, 56}},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(scheduledAt(c.t), c.effects) << c.t;
    }
}

TEST_F(QLMGamePillTest, PillsAppearAtRestJustOutsideTheFieldSteppingOutPastEachOther)
{
    spawnPills(60.0);
    ASSERT_EQ(pills().size(), 8u);
    for (const QLMPill* pill : pills())
    {
        EXPECT_GE(pill->sphere()->position().length(), PILL_SPAWN_DISTANCE - 1e-9);
        EXPECT_EQ(pill->sphere()->velocity().length(), 0.0);
        EXPECT_EQ(pill->sphere()->radius(), 16.0);
        for (const QLMPill* other : pills())
        {
            if (other != pill)
            {
                EXPECT_GE(pill->sphere()->position().to(other->sphere()->position()).squaredLength(),
                          2.0 * 16.0 * 16.0);
            }
        }
    }
}

TEST_F(QLMGamePillTest, APassRunsOnceTheGameTimeReachesTheTimerAndTheNextOneSecondLater)
{
    setGameTimer(20.0);
    tickPills(19.99, 0.0);
    EXPECT_TRUE(pills().empty());
    tickPills(20.0, 0.0);
    EXPECT_EQ(pills().size(), 2u);
    tickPills(20.99, 0.0);
    tickPills(40.0, 0.0);
    EXPECT_EQ(pills().size(), 4u);
    tickPills(40.5, 0.0);
    EXPECT_EQ(pills().size(), 4u) << "the timer stands at 41";
}

TEST_F(QLMGamePillTest, ThePillsColourIsTheRowOfItsCell)
{
    struct Case
    {
        int effectID;
        int colorID;
    };
    for (const Case& c : {Case{1, QLMColorIDs::GREEN}, Case{24, QLMColorIDs::GREEN}, Case{25, QLMColorIDs::YELLOW},
                          Case{40, QLMColorIDs::YELLOW}, Case{41, QLMColorIDs::RED}, Case{64, QLMColorIDs::RED}})
    {
        QLMPill* pill = createPill(c.effectID, SPLVector(0.0, 500.0), SPLVector());
        appendPill(pill);
        EXPECT_EQ(pill->colorID(), c.colorID) << c.effectID;
        EXPECT_EQ(pill->objectID(), QLMObjectIDs::PILL);
    }
    EXPECT_EQ(thrownBy([] { createPill(65, SPLVector(), SPLVector()); }),
              "Assertion failure: 0 < effectID && effectID <= 64");
}

TEST_F(QLMGamePillTest, DeadPillsAreRemovedAndTheOthersKeepTheirOrder)
{
    for (const int effectID : {1, 2, 3})
    {
        appendPill(createPill(effectID, SPLVector(100.0 * effectID, 500.0), SPLVector()));
    }
    pills()[1]->kill();
    removeDeadPills();
    ASSERT_EQ(pills().size(), 2u);
    EXPECT_EQ(pills()[0]->effectID(), 1);
    EXPECT_EQ(pills()[1]->effectID(), 3);
}

} // namespace
