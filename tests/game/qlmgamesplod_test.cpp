#include "game/qlmgamesplod.h"

#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

namespace
{

class QLMGameSplodTest : public GamePlayTest
{
protected:
    static QLMSplod* addSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity = {})
    {
        appendSplod(createSplod(sizeID, colorID, position, velocity));
        return splods().back();
    }
};

TEST_F(QLMGameSplodTest, TheFirstTickFillsTheFieldWithSixLargeSplodsAtRestOutsideIt)
{
    tickSplods(0.0, 0.0);
    ASSERT_EQ(splods().size(), 6u);
    for (const QLMSplod* splod : splods())
    {
        EXPECT_EQ(splod->sizeID(), QLMSizeIDs::LARGE);
        EXPECT_GE(splod->colorID(), QLMColorIDs::RED);
        EXPECT_LE(splod->colorID(), QLMColorIDs::VIOLET);
        EXPECT_GE(splod->sphere()->position().length(), 1080.0 - 1e-9);
        EXPECT_EQ(splod->sphere()->velocity().length(), 0.0);
    }
    tickSplods(2.0, 0.0);
    EXPECT_EQ(splods().size(), 6u) << "limit 42 at 2.0 s";
    tickSplods(2.6, 0.0);
    EXPECT_EQ(splods().size(), 7u) << "limit 43 at 2.6 s";
}

TEST_F(QLMGameSplodTest, DeadSplodsCountTowardsTheWeightUntilRemoved)
{
    addSplod(QLMSizeIDs::LARGE, QLMColorIDs::BLUE, SPLVector(500.0, 0.0))->kill();
    addSplod(QLMSizeIDs::MEDIUM, QLMColorIDs::BLUE, SPLVector(-500.0, 0.0));
    tickSplods(0.0, 0.0);
    EXPECT_EQ(splods().size(), 2u + 5u) << "10 + 5 x 7 >= 40";
    removeDeadSplods();
    EXPECT_EQ(splods().size(), 6u);
    EXPECT_EQ(splods().front()->sizeID(), QLMSizeIDs::MEDIUM) << "the others keep their order";
}

TEST_F(QLMGameSplodTest, ASplitMakesTwoHalvesOfTheNextSizeFlyingApartAcrossTheMotion)
{
    struct Case
    {
        int sizeID;
        int halfSizeID;
        double offset;
    };
    for (const Case& c :
         {Case{QLMSizeIDs::LARGE, QLMSizeIDs::MEDIUM, 40.0}, Case{QLMSizeIDs::MEDIUM, QLMSizeIDs::SMALL, 20.0}})
    {
        deleteSplods();
        const QLMSplod* parent = addSplod(c.sizeID, QLMColorIDs::GREEN, SPLVector(500.0, 0.0), SPLVector(100.0, 0.0));
        splitSplod(*parent, parent->sphere()->velocity(), 100.0);
        ASSERT_EQ(splods().size(), 3u);
        EXPECT_TRUE(parent->isAlive()) << "the caller kills the parent";
        for (const int side : {1, -1})
        {
            const QLMSplod* half = splods()[side == 1 ? 1 : 2];
            EXPECT_EQ(half->sizeID(), c.halfSizeID);
            EXPECT_EQ(half->colorID(), QLMColorIDs::GREEN);
            EXPECT_NEAR(half->sphere()->position().x(), 500.0, 1e-9);
            EXPECT_NEAR(half->sphere()->position().y(), side * c.offset, 1e-9);
            EXPECT_NEAR(half->sphere()->velocity().x(), 70.7107, 1e-4);
            EXPECT_NEAR(half->sphere()->velocity().y(), side * 70.7107, 1e-4);
        }
    }
    deleteSplods();
    splitSplod(*addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(500.0, 0.0)), SPLVector(1.0, 0.0), 1.0);
    EXPECT_EQ(splods().size(), 1u) << "the smallest size just vanishes";
}

TEST_F(QLMGameSplodTest, AtTheShieldASplodAtRestPartsAcrossTheLineFromTheCentreAndTheHalvesStandStill)
{
    splitSplodAtShield(*addSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(0.0, 250.0)));
    ASSERT_EQ(splods().size(), 3u);
    EXPECT_NEAR(splods()[1]->sphere()->position().x(), -40.0, 1e-9);
    EXPECT_NEAR(splods()[2]->sphere()->position().x(), 40.0, 1e-9);
    EXPECT_EQ(splods()[1]->sphere()->velocity().length(), 0.0);
}

TEST_F(QLMGameSplodTest, SplodsFartherThan16000AreRemoved)
{
    addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(16000.0, 0.0));
    addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(0.0, -16000.001));
    removeFarSplods();
    ASSERT_EQ(splods().size(), 1u);
    EXPECT_EQ(splods().front()->sphere()->position().x(), 16000.0);
}

TEST_F(QLMGameSplodTest, TheNearestSplodGivesTheReloadColourAndWeightsAreCountedPerColour)
{
    addSplod(QLMSizeIDs::LARGE, QLMColorIDs::VIOLET, SPLVector(0.0, 600.0));
    addSplod(QLMSizeIDs::SMALL, QLMColorIDs::BLUE, SPLVector(-300.0, 0.0));
    addSplod(QLMSizeIDs::MEDIUM, QLMColorIDs::RED, SPLVector(0.0, 300.0));
    EXPECT_EQ(colourOfNearestSplod(), QLMColorIDs::BLUE) << "the first of two at the same distance";

    int red = -1, green = -1, blue = -1, violet = -1;
    countSplodWeights(red, green, blue, violet);
    EXPECT_EQ(red, 3);
    EXPECT_EQ(green, 0);
    EXPECT_EQ(blue, 1);
    EXPECT_EQ(violet, 7);
}

TEST_F(QLMGameSplodTest, ScalingTheSpeedsTwiceByMinusOneRestoresThem)
{
    const QLMSplod* splod = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(500.0, 0.0), SPLVector(3.0, 4.0));
    scaleSplodSpeeds(-1.0);
    EXPECT_EQ(splod->sphere()->velocity().x(), -3.0);
    scaleSplodSpeeds(-1.0);
    EXPECT_EQ(splod->sphere()->velocity().y(), 4.0);
}

TEST_F(QLMGameSplodTest, TheWobbleKeepsTheDrawnSizeWithinAFifthOfTheRadius)
{
    const QLMSplod* splod = addSplod(QLMSizeIDs::MEDIUM, QLMColorIDs::RED, SPLVector(500.0, 0.0));
    for (int i = 0; i < 100; ++i)
    {
        tickSplods(0.0, 0.1);
        EXPECT_GE(splod->scale().x, 1.6f * 40.0f - 1e-3f);
        EXPECT_LE(splod->scale().y, 2.4f * 40.0f + 1e-3f);
    }
    EXPECT_EQ(splod->sphere()->radius(), 40.0) << "the collision sphere keeps its radius";
}

TEST_F(QLMGameSplodTest, RefusesUnknownSizesAndColours)
{
    EXPECT_EQ(thrownBy([] { createSplod(4, QLMColorIDs::RED, SPLVector(), SPLVector()); }), "Error: Unknown size ID.");
    EXPECT_EQ(thrownBy([] { createSplod(1, QLMColorIDs::YELLOW, SPLVector(), SPLVector()); }),
              "Error: Unknoen color ID.");
    EXPECT_EQ(thrownBy([] { splodWeight(0); }), "Error: unknown size ID.");
    EXPECT_TRUE(splods().empty());
}

} // namespace
