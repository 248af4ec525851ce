#include "gui/Bounce.h"

#include <QtGlobal>
#include <gtest/gtest.h>

TEST(Bounce, StaysOnTheTrack)
{
    Bounce b;
    int maxLeft = 0;
    bool turned = false;
    for (int i = 0; i < 200; ++i) {
        b.step(4455, 375);
        ASSERT_GE(b.left, 0);
        ASSERT_LE(b.left, 4455 - 375);
        maxLeft = qMax(maxLeft, b.left);
        turned |= b.direction == Bounce::Direction::Left;
    }
    EXPECT_EQ(maxLeft, 4455 - 375);
    EXPECT_TRUE(turned);
    Bounce atStart;
    atStart.direction = Bounce::Direction::Left;
    atStart.step(4455, 375);
    EXPECT_EQ(atStart.left, 0);
    EXPECT_EQ(atStart.direction, Bounce::Direction::Right);
}
