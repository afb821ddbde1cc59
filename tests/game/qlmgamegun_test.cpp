#include "game/qlmgamegun.h"

#include "game/qlmgame.h"
#include "game/qlmgamebullet.h"
#include "game/qlmgameclock.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgametick.h"
#include "tests/dbgtesting.h"
#include "tests/game/gameplaytesting.h"

#include <string>
#include <vector>

namespace
{

class QLMGameGunTest : public GamePlayTest
{
};

TEST_F(QLMGameGunTest, FiringSendsTheFrontShellTowardsThePointerAndReloadingAddsOneAtTheBack)
{
    ASSERT_EQ(shellCount(), 2u);
    resetMousePosition(); // straight up
    const int front = frontShellColor();
    fireGun();
    ASSERT_EQ(bullets().size(), 1u);
    const QLMBullet* bullet = bullets().front();
    EXPECT_EQ(bullet->colorID(), front);
    EXPECT_NEAR(bullet->sphere()->velocity().x(), 0.0, 1e-9);
    EXPECT_NEAR(bullet->sphere()->velocity().y(), 1000.0, 1e-9);
    EXPECT_EQ(bullet->sphere()->position().length(), 0.0);
    EXPECT_EQ(bullet->sphere()->radius(), 10.0);
    EXPECT_EQ(shellCount(), 1u);
    EXPECT_EQ(reloadDeadline(), gameTime() + 0.4);
    EXPECT_EQ(playedSamples(), std::vector<std::string>{"firegun.wav"});

    reloadGun();
    EXPECT_EQ(shellCount(), 2u);
    EXPECT_EQ(playedSamples(), std::vector<std::string>{"reloadgun.wav"});
}

TEST_F(QLMGameGunTest, AReloadTakesTheNearestSplodsColourAtLeastHalfTheTime)
{
    appendSplod(createSplod(QLMSizeIDs::SMALL, QLMColorIDs::VIOLET, SPLVector(300.0, 0.0), SPLVector()));
    int violet = 0;
    for (int i = 0; i < 200; ++i)
    {
        emptyClip();
        reloadGun();
        violet += frontShellColor() == QLMColorIDs::VIOLET ? 1 : 0;
    }
    // Half the reloads take the splod's colour, a quarter of the others draw it at random.
    EXPECT_GT(violet, 200 * 5 / 8 - 30);
    EXPECT_LT(violet, 200 * 5 / 8 + 30);
    EXPECT_EQ(clipCounters()[QLMColorIDs::VIOLET - 1], 1) << "the splod weights counted at the reload";
}

TEST_F(QLMGameGunTest, BulletsBeyond1600AreRemovedAndDeadOnesToo)
{
    appendBullet(createBullet(QLMColorIDs::RED, SPLVector(1600.0, 0.0), SPLVector()));
    appendBullet(createBullet(QLMColorIDs::GREEN, SPLVector(0.0, 1600.001), SPLVector()));
    appendBullet(createBullet(QLMColorIDs::BLUE, SPLVector(0.0, 500.0), SPLVector()));
    removeFarBullets();
    ASSERT_EQ(bullets().size(), 2u);
    EXPECT_EQ(bullets()[0]->colorID(), QLMColorIDs::RED);
    bullets()[0]->kill();
    removeDeadBullets();
    ASSERT_EQ(bullets().size(), 1u);
    EXPECT_EQ(bullets()[0]->colorID(), QLMColorIDs::BLUE);
}

TEST_F(QLMGameGunTest, RefusesColoursOutsideTheFourShellColours)
{
    EXPECT_EQ(thrownBy([] { createShell(5); }), "Error: Unknown color ID.");
    EXPECT_EQ(thrownBy([] { createBullet(0, SPLVector(), SPLVector()); }), "Error: Unknown color ID.");
    EXPECT_EQ(thrownBy([] { colourAimMarker(5); }), "Error: Unknoen color ID.");
    EXPECT_TRUE(bullets().empty());
    EXPECT_EQ(thrownBy([] { initializeGun(); }), "Assertion failure: !gunIsInitialized()");
    EXPECT_EQ(thrownBy([] { initializeLaser(); }), "Assertion failure: !laserIsInitialized()");
}

} // namespace
