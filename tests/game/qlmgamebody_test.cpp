#include "game/qlmgamebody.h"

#include "game/qlmgameclock.h"
#include "game/qlmgamepill.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace
{

class QLMGameBodyTest : public GamePlayTest
{
};

TEST_F(QLMGameBodyTest, ASpheresTagLeadsBackToItsBodyUntilTheBodyIsGone)
{
    QLMSplod* splod = createSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(500.0, 0.0), SPLVector());
    appendSplod(splod);
    const std::vector<SPLShape*>& shapes = physicsSystem().shapes();
    ASSERT_NE(std::find(shapes.begin(), shapes.end(), splod->sphere()), shapes.end());
    const int tag = splod->sphere()->tag();
    EXPECT_EQ(bodyOfTag(tag), splod);
    EXPECT_EQ(bodyOfTag(getShield()->sphere()->tag()), getShield());

    const std::size_t before = shapes.size();
    deleteSplods();
    EXPECT_EQ(shapes.size(), before - 1) << "the sphere left the physics system";
    EXPECT_EQ(thrownBy([&] { bodyOfTag(tag); }), "Error: Unknown body tag.");
}

TEST_F(QLMGameBodyTest, TheCentralPullAcceleratesBodiesByForceOverMassAndLeavesTheShieldAlone)
{
    struct Case
    {
        bool pill;
        int sizeID;
        double acceleration; // units per second squared
    };
    const Case cases[] = {{true, QLMSizeIDs::SMALL, 15.0},
                          {false, QLMSizeIDs::SMALL, 15.0 / 4.0},
                          {false, QLMSizeIDs::LARGE, 15.0 / 6.0}};
    std::vector<QLMBody*> bodies;
    double y = -600.0;
    for (const Case& c : cases)
    {
        // Side by side on the far right, far enough apart not to touch.
        const SPLVector start(PILL_SPAWN_DISTANCE, y += 300.0);
        if (c.pill)
        {
            appendPill(createPill(1, start, SPLVector()));
            bodies.push_back(pills().back());
        }
        else
        {
            appendSplod(createSplod(c.sizeID, QLMColorIDs::RED, start, SPLVector()));
            bodies.push_back(splods().back());
        }
    }
    physicsSystem().run(1.0, 100);
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const SPLShape& sphere = *bodies[i]->sphere();
        const double towardsCentre = -sphere.velocity().dot(sphere.position().normalized());
        EXPECT_NEAR(towardsCentre, cases[i].acceleration, 0.05) << i;
    }
    EXPECT_EQ(getShield()->sphere()->position().length(), 0.0);
    EXPECT_EQ(getShield()->sphere()->velocity().length(), 0.0);
}

TEST_F(QLMGameBodyTest, AFreePositionStepsOutTenUnitsAtATimePastTheSpheresInTheWay)
{
    // Only the shield (radius 200 at the centre) stands in the field; the test adds the squared radii.
    struct Case
    {
        double distance;
        double radius;
        double found;
    };
    for (const Case& c : {Case{SPLOD_SPAWN_DISTANCE, 80.0, SPLOD_SPAWN_DISTANCE}, Case{0.0, 0.0, 200.0},
                          Case{0.0, 150.0, 250.0}, Case{195.0, 0.0, 205.0}})
    {
        EXPECT_NEAR(findFreePosition(c.distance, c.radius).length(), c.found, 1e-9) << c.distance << " " << c.radius;
    }
    EXPECT_EQ(SPLOD_SPAWN_DISTANCE, 1080.0);
    EXPECT_EQ(PILL_SPAWN_DISTANCE, 1016.0);
}

TEST_F(QLMGameBodyTest, ColoursOfTheColourIDs)
{
    EXPECT_EQ(colorOfID(QLMColorIDs::RED), 0xFFFE015Au);
    EXPECT_EQ(colorOfID(QLMColorIDs::YELLOW), 0xFFFFFF80u);
    EXPECT_EQ(thrownBy([] { colorOfID(7); }), "Error: Unknown color ID.");
}

// ---- The game clock --------------------------------------------------------------------------------------

class QLMGameClockTest : public GamePlayTest
{
protected:
    static void tickAfter(double seconds)
    {
        hosttest::advanceVirtualClock(static_cast<LONGLONG>(seconds * 1e9));
        updateGameClock();
    }
};

TEST_F(QLMGameClockTest, AResetClockStartsAtZeroAndTheFirstStepIsItsOnlyFrame)
{
    resetGameClock();
    EXPECT_EQ(gameTime(), 0.0);
    EXPECT_EQ(gameTimeStep(), 0.0);
    tickAfter(0.05);
    EXPECT_NEAR(gameTimeStep(), 0.05, 1e-5);
    EXPECT_NEAR(gameTime(), 0.05, 1e-5);
}

TEST_F(QLMGameClockTest, AStallCountsAsATenthOfASecondSpreadOverTheWindow)
{
    resetGameClock();
    tickAfter(2.0);
    EXPECT_NEAR(gameTimeStep(), 0.1, 1e-12);
    for (int i = 0; i < 60; ++i)
    {
        tickAfter(FRAME_SECONDS);
    }
    EXPECT_NEAR(gameTimeStep(), FRAME_SECONDS, 1e-5) << "the stall has left the window of 60";
    tickAfter(2.0);
    EXPECT_NEAR(gameTimeStep(), (59.0 * FRAME_SECONDS + 0.1) / 60.0, 1e-5);
}

} // namespace
