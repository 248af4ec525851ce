#include "app/Dialogs.h"

#include <gtest/gtest.h>

TEST(Dialogs, FileDialogFiltersBecomeQtFilters)
{
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("TPW Files|*.tpw")), QStringLiteral("TPW Files (*.tpw)"));
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*")),
              QStringLiteral("All Supported Files (*.avi *.divx *.xvid);;All Files (*)"));
}
