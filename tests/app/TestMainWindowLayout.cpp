#include "app/MainWindowLayout.h"

#include <gtest/gtest.h>

TEST(MainWindowLayout, FollowsTheWindowSize)
{
    const MainWindowLayout::Design d{600, QRect(120, 660, 5000, 2000), QRect(6000, 660, 600, 3300), QRect(120, 3000, 6000, 900)};
    const auto r = MainWindowLayout::arrange(d, 9000, 7000);
    EXPECT_EQ(r.controlPanel.left(), 9000 - 600 - 100);
    EXPECT_EQ(r.controlPanel.top(), 660);
    EXPECT_EQ(r.infoPanel.top(), 7000 - 900 - 380);
    EXPECT_EQ(r.infoPanel.width(), 9000 - 170);
    EXPECT_EQ(r.listView.width(), 9000 - 600 - 270);
    EXPECT_EQ(r.listView.height(), 7000 - 600 - 900 - 450);
    EXPECT_EQ(r.listView.topLeft(), QPoint(120, 660));
}
