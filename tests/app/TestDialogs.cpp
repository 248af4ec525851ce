#include "app/Dialogs.h"

#include <gtest/gtest.h>

TEST(Dialogs, FileDialogFiltersBecomeQtFilters)
{
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("TPW Files|*.tpw")), QStringLiteral("TPW Files (*.tpw)"));
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*")),
              QStringLiteral("All Supported Files (*.avi *.divx *.xvid);;All Files (*)"));
    EXPECT_EQ(Dialogs::defaultSuffix(QStringLiteral("AVI File|*.avi")), QStringLiteral("avi"));
    EXPECT_EQ(Dialogs::defaultSuffix(QStringLiteral("All Supported Files (*.avi;*.divx)|*.avi;*.divx|All Files|*.*")), QStringLiteral("avi"));
    EXPECT_EQ(Dialogs::defaultSuffix(QStringLiteral("All Files|*.*")), QString());
    EXPECT_EQ(Dialogs::defaultSuffix(QStringLiteral("All Files|*")), QString());
}
