#include "game/qlmscorestars.h"

#include "egl/eglsprite.h"
#include "tests/game/screentesting.h"

#include <memory>
#include <numbers>
#include <set>
#include <utility>

namespace
{

using StarTest = ScreenTest;

TEST_F(StarTest, ANewStarStartsFromNothingWithItsDrawsInRange)
{
    for (int i = 0; i < 40; ++i)
    {
        const std::unique_ptr<QLMStar> star(createStar());
        EXPECT_EQ(star->progress(), 0.0);
        EXPECT_GE(star->speed(), 0.01);
        EXPECT_LT(star->speed(), 0.05);
        EXPECT_GE(star->angle(), 0.0);
        EXPECT_LT(star->angle(), 2.0 * std::numbers::pi);
        EXPECT_GE(star->spin(), -0.01);
        EXPECT_LT(star->spin(), 0.01);
        EXPECT_GE(star->size(), 200.0);
        EXPECT_LT(star->size(), 500.0);
        EXPECT_LT(star->sprite()->column(), 4);
        EXPECT_LT(star->sprite()->row(), 4);
    }
}

TEST_F(StarTest, AStarLivesPiOverItsSpeedTicksThenReappearsWithAnotherLookAndAnglesStayInATurn)
{
    const std::unique_ptr<QLMStar> star(createStar());
    std::set<std::pair<int, int>> frames;
    int lives = 0;
    double speed = star->speed();
    for (int tick = 0; tick < 20000; ++tick)
    {
        const double before = star->progress();
        tickStar(*star);
        if (before + speed > 3.141592654)
        {
            EXPECT_EQ(star->progress(), 0.0) << "tick " << tick;
            ++lives;
            speed = star->speed();
        }
        else
        {
            EXPECT_DOUBLE_EQ(star->progress(), before + speed) << "tick " << tick;
        }
        EXPECT_GE(star->angle(), 0.0);
        EXPECT_LE(star->angle(), 2.0 * 3.141592654);
        frames.insert({star->sprite()->column(), star->sprite()->row()});
    }
    // Lives of 63 to 314 ticks.
    EXPECT_GE(lives, 20000 / 315);
    EXPECT_LE(lives, 20000 / 62);
    EXPECT_GT(frames.size(), 8u) << "each life picks one of the 16 frames anew";
}

} // namespace
