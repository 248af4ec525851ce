#include "app/Dialogs.h"
#include "app/Shell.h"
#include "app/SystemServices.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

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

TEST(SystemServices, FolderIdsAndConfigHome)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    EXPECT_EQ(GetSpecialFolderPath(kFolderAppData | kFolderCreate), env.configHome());
    EXPECT_EQ(GetSpecialFolderPath(0x0005), QString());
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("Invalid Folder ID!")});
    EXPECT_EQ(dialogs.messages.first().icon, Dialogs::Icon::Critical);
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(GetSpecialFolderPath(kFolderAppData), qEnvironmentVariable("HOME") + QStringLiteral("/.config"));
    EXPECT_EQ(GetWindowsFolder(), QString());
}
