#include "app/Dialogs.h"
#include "app/Shell.h"
#include "app/SystemServices.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(SystemServices, FileDialogFiltersBecomeQtFilters)
{
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("TPW Files|*.tpw")), QStringLiteral("TPW Files (*.tpw)"));
    EXPECT_EQ(Dialogs::qtFilter(QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*")),
              QStringLiteral("All Supported Files (*.avi *.divx *.xvid);;All Files (*)"));
}

TEST(SystemServices, PropertiesOfAVanishedFileOpenNothing)
{
    TestEnvironment env;
    EXPECT_FALSE(ShowFileProperties(env.path(QStringLiteral("gone.avi"))));
    EXPECT_FALSE(ShowFileProperties(QString()));
}

TEST(SystemServices, ShowInFolderFallsBackToOpeningTheFolder)
{
    TestEnvironment env;
    QString opened;
    const Shell::OpenHandler old = Shell::setOpenHandler([&](const QString &t) { opened = t; return true; });
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    const QString file = env.write(QStringLiteral("dir/out.avi"), "x");
    EXPECT_TRUE(Shell::showInFolder(file));
    EXPECT_EQ(opened, env.path(QStringLiteral("dir/")));
    Shell::setOpenHandler(old);
}
