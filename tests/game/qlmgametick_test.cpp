#include "game/qlmgametick.h"

#include "game/qlmcounter.h"
#include "game/qlmgame.h"
#include "game/qlmgamebullet.h"
#include "game/qlmgameclock.h"
#include "game/qlmgameexplosion.h"
#include "game/qlmgamegun.h"
#include "game/qlmgamelabel.h"
#include "game/qlmgamepill.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace
{

class QLMGameTickTest : public GamePlayTest
{
protected:
    void SetUp() override
    {
        GamePlayTest::SetUp();
        QLMScoreCounter::instance().reset();
    }

    static QLMSplod* addSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity = {})
    {
        appendSplod(createSplod(sizeID, colorID, position, velocity));
        return splods().back();
    }
    static QLMBullet* addBullet(int colorID, const SPLVector& position, const SPLVector& velocity = {})
    {
        appendBullet(createBullet(colorID, position, velocity));
        return bullets().back();
    }
    static QLMPill* addPill(int effectID, const SPLVector& position, const SPLVector& velocity = {})
    {
        appendPill(createPill(effectID, position, velocity));
        return pills().back();
    }
    static int score() { return QLMScoreCounter::instance().value(); }
    static float shieldTarget() { return getShield()->circle().targetRadius(); }
};

TEST_F(QLMGameTickTest, ABulletOfTheSplodsColourSplitsItAndScoresAnotherOnlyBouncesIt)
{
    struct Case
    {
        int bulletColor;
        bool splits;
    };
    for (const Case& c : {Case{QLMColorIDs::RED, true}, Case{QLMColorIDs::GREEN, false}})
    {
        deleteSplods();
        deleteBullets();
        deleteExplosions();
        deleteLabels();
        QLMScoreCounter::instance().reset();
        playedSamples();
        QLMSplod* splod = addSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(500.0, 0.0), SPLVector(-10.0, 0.0));
        QLMBullet* bullet = addBullet(c.bulletColor, SPLVector(400.0, 0.0), SPLVector(1000.0, 0.0));

        handleCollision(bullet, splod);
        EXPECT_FALSE(bullet->isAlive());
        EXPECT_EQ(splod->isAlive(), !c.splits);
        EXPECT_EQ(splods().size(), c.splits ? 3u : 1u);
        EXPECT_EQ(score(), c.splits ? 1000 : 0);
        EXPECT_EQ(explosions().size(), c.splits ? 2u : 1u);
        EXPECT_EQ(floatingLabels().size(), c.splits ? 1u : 0u) << "the points label";
        const std::vector<std::string> samples =
            c.splits ? std::vector<std::string>{"bulletexplosion.wav", "splodexplosion.wav"}
                     : std::vector<std::string>{"bulletexplosion.wav"};
        EXPECT_EQ(playedSamples(), samples);
    }
}

TEST_F(QLMGameTickTest, TheOutcomeOfACollisionDoesNotDependOnTheOrderOfThePair)
{
    QLMSplod* splod = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::BLUE, SPLVector(500.0, 0.0), SPLVector(-10.0, 0.0));
    QLMBullet* bullet = addBullet(QLMColorIDs::BLUE, SPLVector(480.0, 0.0), SPLVector(1000.0, 0.0));
    handleCollision(splod, bullet);
    EXPECT_FALSE(splod->isAlive());
    EXPECT_FALSE(bullet->isAlive());
    EXPECT_EQ(splods().size(), 1u) << "the smallest size vanishes";
    EXPECT_EQ(score(), 100);
}

TEST_F(QLMGameTickTest, APairWithADeadBodyDoesNothing)
{
    QLMSplod* splod = addSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(500.0, 0.0));
    QLMBullet* bullet = addBullet(QLMColorIDs::RED, SPLVector(400.0, 0.0));
    bullet->kill();
    handleCollision(bullet, splod);
    handleCollision(splod, bullet);
    splod->kill();
    handleOverlap(getShield(), splod);
    EXPECT_EQ(splods().size(), 1u);
    EXPECT_TRUE(explosions().empty());
    EXPECT_EQ(shieldTarget(), 200.0f);
    EXPECT_TRUE(playedSamples().empty());
}

TEST_F(QLMGameTickTest, BouncesSoundOnlyWhenTheVelocitiesAreAQuarterTurnApart)
{
    struct Case
    {
        SPLVector va;
        SPLVector vb;
        bool audible;
    };
    const Case cases[] = {
        {{10.0, 0.0}, {-10.0, 0.0}, true},  {{10.0, 0.0}, {0.0, 10.0}, true},   {{10.0, 0.0}, {10.0, 10.0}, true},
        {{10.0, 0.0}, {10.0, 9.0}, false},  {{10.0, 0.0}, {20.0, 0.0}, false},  {{0.0, 0.0}, {10.0, 0.0}, false},
        {{1e-3, 0.0}, {-1e-3, 0.0}, false}, {{1e10, 1.0}, {-1e10, -1.0}, true},
    };
    for (const Case& c : cases)
    {
        deletePills();
        QLMPill* a = addPill(20, SPLVector(0.0, 500.0), c.va);
        QLMPill* b = addPill(20, SPLVector(0.0, -500.0), c.vb);
        EXPECT_EQ(isAudibleBounce(a, b), c.audible)
            << c.va.x() << "," << c.va.y() << " " << c.vb.x() << "," << c.vb.y();
    }
    const QLMPill* pill = pills().front();
    QLMSplod* splod = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(500.0, 0.0), SPLVector(-10.0, 0.0));
    pill->sphere()->setVelocity(SPLVector(10.0, 0.0));
    playedSamples();
    handleCollision(splod, pills().front());
    handleCollision(splod, splod);
    EXPECT_EQ(playedSamples(), std::vector<std::string>{"pillsplodbounce.wav"}) << "a splod against itself is parallel";
    EXPECT_TRUE(splod->isAlive());
}

TEST_F(QLMGameTickTest, AtTheShieldSplodsBurstAndShrinkItByTheirSize)
{
    struct Case
    {
        int sizeID;
        float target;
        std::size_t halves;
    };
    for (const Case& c :
         {Case{QLMSizeIDs::SMALL, 180.0f, 0}, Case{QLMSizeIDs::MEDIUM, 160.0f, 2}, Case{QLMSizeIDs::LARGE, 140.0f, 2}})
    {
        deleteSplods();
        getShield()->circle().setRadius(200.0f);
        playedSamples();
        QLMSplod* splod = addSplod(c.sizeID, QLMColorIDs::GREEN, SPLVector(250.0, 0.0), SPLVector(-50.0, 0.0));
        handleOverlap(getShield(), splod);
        EXPECT_FALSE(splod->isAlive());
        EXPECT_EQ(shieldTarget(), c.target);
        EXPECT_EQ(splods().size(), 1 + c.halves);
        EXPECT_EQ(score(), 0) << "no points at the shield";
        EXPECT_EQ(playedSamples(), std::vector<std::string>{"splodexplosion.wav"});
    }
}

TEST_F(QLMGameTickTest, TheShieldStopsBulletsComingInAndLetsThoseGoingOutPass)
{
    QLMBullet* outward = addBullet(QLMColorIDs::RED, SPLVector(195.0, 0.0), SPLVector(1000.0, 0.0));
    QLMBullet* inward = addBullet(QLMColorIDs::RED, SPLVector(0.0, 195.0), SPLVector(0.0, -1000.0));
    QLMBullet* along = addBullet(QLMColorIDs::RED, SPLVector(0.0, -195.0), SPLVector(1000.0, 0.0));
    QLMPill* pill = addPill(2, SPLVector(-195.0, 0.0), SPLVector(10.0, 0.0));
    handleOverlap(outward, getShield());
    handleOverlap(getShield(), inward);
    handleOverlap(along, getShield());
    handleOverlap(getShield(), pill);
    EXPECT_TRUE(outward->isAlive());
    EXPECT_FALSE(inward->isAlive());
    EXPECT_FALSE(along->isAlive());
    EXPECT_FALSE(pill->isAlive());
    EXPECT_EQ(score(), 0) << "a pill at the shield has no effect";
    EXPECT_EQ(playedSamples(),
              (std::vector<std::string>{"bulletexplosion.wav", "bulletexplosion.wav", "pillexplosion.wav"}));
}

TEST_F(QLMGameTickTest, ImpossiblePairsEndTheGameWithTheirMessages)
{
    QLMBody* shield = getShield();
    QLMBody* splod = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(500.0, 0.0));
    QLMBody* splod2 = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(-500.0, 0.0));
    QLMBody* bullet = addBullet(QLMColorIDs::RED, SPLVector(0.0, 500.0));
    QLMBody* bullet2 = addBullet(QLMColorIDs::RED, SPLVector(0.0, -500.0));
    QLMBody* pill = addPill(1, SPLVector(500.0, 500.0));
    QLMBody* pill2 = addPill(1, SPLVector(-500.0, 500.0));
    struct Case
    {
        bool overlap;
        QLMBody* first;
        QLMBody* second;
        const char* thrown;
    };
    const Case cases[] = {
        {false, shield, shield, "Error: Shield bounces against itself."},
        {false, splod, shield, "Error: Splod bounces against non solid shield."},
        {false, shield, bullet, "Error: Bullet bounces against non solid shield."},
        {false, pill, shield, "Error: Pill bounces against non solid shield."},
        {true, shield, shield, "Error: Shield overlaps itself."},
        {true, pill, pill2, "Error: Two pills overlap."},
        {true, bullet, pill, "Error: Pill and bullet overlap."},
        {true, pill, splod, "Error: Pill and splod overlap."},
        {true, bullet, bullet2, "Error: Two bullets overlap."},
        {true, splod, bullet, "Error: A bullet and a splod overlaps.."},
        {true, splod, splod2, "Error: Two splods overlap."},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(thrownBy([&] { c.overlap ? handleOverlap(c.first, c.second) : handleCollision(c.first, c.second); }),
                  c.thrown);
    }
}

TEST_F(QLMGameTickTest, PillEffectsChangeTheScoreTheShieldAndTheSpeeds)
{
    struct Case
    {
        int effectID;
        int points;
        float shield;
        double speedFactor;
    };
    const Case cases[] = {
        {1, 100, 200.0f, 1.0},   {2, 1000, 200.0f, 1.0},   {16, 15000, 200.0f, 1.0},  {17, 0, 250.0f, 1.0},
        {18, 0, 200.0f, 0.25},   {19, 0, 200.0f, 1.0},     {25, 0, 200.0f, -1.0},     {40, 0, 200.0f, 1.0},
        {41, -100, 200.0f, 1.0}, {42, -1000, 200.0f, 1.0}, {56, -15000, 200.0f, 1.0}, {57, 0, 150.0f, 1.0},
        {58, 0, 200.0f, 1.75},   {64, 0, 200.0f, 1.0},
    };
    QLMBullet* bullet = addBullet(QLMColorIDs::RED, SPLVector(0.0, 500.0));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.effectID);
        QLMScoreCounter::instance().reset();
        getShield()->circle().setRadius(200.0f);
        deletePills();
        deleteSplods();
        QLMPill* pill = addPill(c.effectID, SPLVector(500.0, 0.0), SPLVector(0.0, 10.0));
        QLMSplod* splod = addSplod(QLMSizeIDs::SMALL, QLMColorIDs::RED, SPLVector(-500.0, 0.0), SPLVector(4.0, 0.0));
        applyPillEffect(pill, bullet);
        EXPECT_EQ(score(), c.points);
        EXPECT_EQ(shieldTarget(), c.shield);
        EXPECT_EQ(pill->sphere()->velocity().y(), 10.0 * c.speedFactor);
        EXPECT_EQ(splod->sphere()->velocity().x(), 4.0 * c.speedFactor);
    }
}

TEST_F(QLMGameTickTest, TheShieldPillNeverAimsBelowOne)
{
    getShield()->circle().setRadius(40.0f);
    applyPillEffect(addPill(57, SPLVector(500.0, 0.0)), addBullet(QLMColorIDs::RED, SPLVector(0.0, 500.0)));
    EXPECT_EQ(shieldTarget(), 1.0f);
}

TEST_F(QLMGameTickTest, TheBurstPillSplitsAndScoresEveryLivingSplodAndSparesTheHalves)
{
    QLMPill* burst = addPill(26, SPLVector(0.0, 700.0));
    QLMBullet* bullet = addBullet(QLMColorIDs::RED, SPLVector(0.0, 650.0), SPLVector(0.0, 1000.0));
    handleCollision(bullet, burst);
    EXPECT_TRUE(splods().empty()) << "nothing to burst";
    EXPECT_EQ(score(), 0);

    addSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(500.0, 0.0), SPLVector(0.0, 5.0));
    addSplod(QLMSizeIDs::SMALL, QLMColorIDs::BLUE, SPLVector(-500.0, 0.0));
    addSplod(QLMSizeIDs::MEDIUM, QLMColorIDs::BLUE, SPLVector(0.0, -500.0))->kill();
    burstAllSplods();
    EXPECT_EQ(score(), 1100) << "the dead splod is not scored again";
    ASSERT_EQ(splods().size(), 5u);
    EXPECT_TRUE(splods()[3]->isAlive());
    EXPECT_TRUE(splods()[4]->isAlive());
    EXPECT_EQ(splods()[3]->sizeID(), QLMSizeIDs::MEDIUM);
}

TEST_F(QLMGameTickTest, ABulletHittingAPillTakesItsEffectAndPlaysItsColour)
{
    QLMPill* pill = addPill(42, SPLVector(0.0, 700.0));
    QLMBullet* bullet = addBullet(QLMColorIDs::GREEN, SPLVector(0.0, 680.0), SPLVector(0.0, 1000.0));
    handleCollision(pill, bullet);
    EXPECT_FALSE(pill->isAlive());
    EXPECT_FALSE(bullet->isAlive());
    EXPECT_EQ(score(), -1000) << "the score may go below zero";
    EXPECT_EQ(explosions().size(), 2u);
    ASSERT_EQ(floatingLabels().size(), 1u);
    EXPECT_EQ(floatingLabels().front()->textLabel()->color(), 0x80FF0000u) << "negative points show red";
    EXPECT_EQ(playedSamples(), (std::vector<std::string>{"redpill.wav", "pillexplosion.wav", "bulletexplosion.wav"}));
    EXPECT_EQ(pointsText(-1000), "-1000");
    EXPECT_EQ(pointsText(500), "500");
    EXPECT_EQ(pointsColor(0), 0x80FF0000u);
    EXPECT_EQ(pointsColor(1), 0x8000FF00u);
}

TEST_F(QLMGameTickTest, TheTickPullsThePointerBackIntoTheFieldAndTurnsTheShieldWithTheAim)
{
    struct Case
    {
        float x, y, clampedX, clampedY;
    };
    for (const Case& c : {Case{900.0f, -700.0f, 800.0f, -600.0f}, Case{-801.0f, 601.0f, -800.0f, 600.0f},
                          Case{0.0f, 300.0f, 0.0f, 300.0f}})
    {
        setMousePosition(SILVector(c.x, c.y));
        tickGame();
        EXPECT_EQ(mousePosition().x(), c.clampedX);
        EXPECT_EQ(mousePosition().y(), c.clampedY);
        EXPECT_FLOAT_EQ(getShield()->circle().angle(), std::atan2(c.clampedY, c.clampedX));
    }
}

TEST_F(QLMGameTickTest, TheFirstTickAfterAResetRunsWithTimeZeroAndFillsTheField)
{
    resetGame();
    tickGame();
    EXPECT_EQ(splods().size(), 6u);
    EXPECT_GT(gameTimeStep(), 0.0) << "the clock's update ends the tick";
    EXPECT_EQ(gameTime(), gameTimeStep());
}

TEST_F(QLMGameTickTest, BodiesKilledByAContactStayInThePhysicsUntilTheRemovalPassAfterTheTick)
{
    // A red bullet just short of a red splod, flying into it: the first tick's contact kills both.
    QLMSplod* splod = addSplod(QLMSizeIDs::LARGE, QLMColorIDs::RED, SPLVector(500.0, 0.0));
    QLMBullet* bullet = addBullet(QLMColorIDs::RED, SPLVector(411.0, 0.0), SPLVector(1000.0, 0.0));
    hosttest::advanceVirtualClock(100000000);
    updateGameClock(); // a tick of 0.1 s
    tickGame();
    ASSERT_FALSE(splod->isAlive());
    ASSERT_FALSE(bullet->isAlive());
    const std::vector<SPLShape*>& shapes = physicsSystem().shapes();
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), splod->sphere()), shapes.end());
    EXPECT_EQ(physicsSystem().lockCount(), 0);
    EXPECT_TRUE(physicsSystem().collisions().empty()) << "the unlock emptied the lists";
    EXPECT_EQ(score(), 1000);

    const std::size_t before = shapes.size();
    removeDeadSplods();
    removeDeadBullets();
    EXPECT_EQ(shapes.size(), before - 2);
}

} // namespace
