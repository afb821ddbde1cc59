#include "game/qlmcounter.h"

#include <gtest/gtest.h>

namespace
{

TEST(QLMScoreCounterTest, CountsFromZeroAndMayGoNegative)
{
    QLMScoreCounter& counter = QLMScoreCounter::instance();
    counter.reset();
    EXPECT_EQ(counter.value(), 0);
    counter.add(-250);
    EXPECT_EQ(counter.value(), -250) << "no clamping at zero";
    counter.add(1000);
    counter.add(25);
    EXPECT_EQ(QLMScoreCounter::instance().value(), 775) << "one counter for everyone";
    counter.reset();
    EXPECT_EQ(counter.value(), 0);
}

} // namespace
