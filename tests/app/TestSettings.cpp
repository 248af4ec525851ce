#include "app/Settings.h"
#include "app/SystemServices.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(Settings, CheckValuesAndRememberedFolders)
{
    TestEnvironment env;
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"),
              "[Splashscreen]\r\nDoNotShowAtStartup=yes\r\n[Commondialog]\r\nAddFiles=/videos/\r\n");
    EXPECT_EQ(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, 0), 0);
    Settings::writeCheckValue(SettingsKeys::kDoNotShowSplash, 1);
    EXPECT_EQ(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, 0), 1);

    const QByteArray before = readAll(env.settingsFile());
    Settings::rememberFolder(SettingsKeys::kAddFiles, QStringLiteral("/videos/"), QStringLiteral("/videos/a.avi"));
    EXPECT_EQ(readAll(env.settingsFile()), before); // same folder: nothing written
    Settings::rememberFolder(SettingsKeys::kAddFiles, QStringLiteral("/videos/"), QString()); // cancelled
    EXPECT_EQ(readAll(env.settingsFile()), before);
    Settings::rememberFolder(SettingsKeys::kAddFiles, QStringLiteral("/videos/"), QStringLiteral("/Videos/b.avi"));
    EXPECT_EQ(Settings::startFolder(SettingsKeys::kAddFiles), QStringLiteral("/Videos/"));
    // A folder whose name holds a line break would write a key of its own: not remembered.
    const QByteArray kept = readAll(env.settingsFile());
    Settings::rememberFolder(SettingsKeys::kAddFiles, QStringLiteral("/Videos/"), QStringLiteral("/v/two\nlines/a.avi"));
    EXPECT_EQ(readAll(env.settingsFile()), kept);
}

