#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/StartUp.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
QStringList logFiles(const TestEnvironment &env)
{
    return QDir(env.settingsPath()).entryList({QStringLiteral("*.log")}, QDir::Files);
}
} // namespace

TEST(StartUp, DebugSwitchOnlyWhenExactAndAlone)
{
    EXPECT_TRUE(StartUp::isDebugSwitch({QStringLiteral("/debug")}));
    EXPECT_FALSE(StartUp::isDebugSwitch({QStringLiteral("/DEBUG")}));
    EXPECT_FALSE(StartUp::isDebugSwitch({QStringLiteral("/debug"), QStringLiteral("x")}));
    EXPECT_FALSE(StartUp::isDebugSwitch({}));

    TestEnvironment env;
    ScriptedDialogs dialogs;
    StartUp::run({QStringLiteral("/Debug")});
    EXPECT_TRUE(logFiles(env).isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(StartUp, CopiesTemplateAndLogsInOrder)
{
    TestEnvironment env;
    QDir(env.settingsPath()).removeRecursively(); // start-up creates the whole chain
    ScriptedDialogs dialogs;
    bool settingsExistedAtMessage = true;
    dialogs.onMessage = [&] { settingsExistedAtMessage = QFile::exists(env.settingsFile()); };

    const StartUp::Preferences prefs = StartUp::run({QStringLiteral("/debug")});

    EXPECT_EQ(AppPaths::applicationSettingsPath(), env.settingsPath());
    EXPECT_EQ(readAll(env.settingsFile()), readAll(QStringLiteral(TW_PROGRAM_DIR "/DefaultSettings.ini")));
    ASSERT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("Tapeweld is now running in debug-mode.")});
    EXPECT_FALSE(settingsExistedAtMessage); // the box comes before the copy
    const QStringList logs = logFiles(env);
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}\\.log$")).match(logs.first()).hasMatch());
    const QList<QByteArray> lines = readAll(env.settingsPath() + u'/' + logs.first()).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("LogFile created on: "));
    EXPECT_TRUE(lines[1].contains("'DefaultSettings.ini' has been copied to 'AppData\\Settings.ini'."));
    EXPECT_EQ(prefs.tipsShowAtStartup, 1); // as the shipped template says
    EXPECT_EQ(prefs.doNotShowSplash, 0);
}

TEST(StartUp, ExistingSettingsLeftByteForByte)
{
    TestEnvironment env;
    const QByteArray mine = "[Splashscreen]\r\nDoNotShowAtStartup=1\r\n[Tips]\r\nShowAtStartup=yes\r\n";
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"), mine);
    ScriptedDialogs dialogs;
    const StartUp::Preferences prefs = StartUp::run({});
    EXPECT_EQ(readAll(env.settingsFile()), mine);
    EXPECT_EQ(prefs.doNotShowSplash, 1);
    EXPECT_EQ(prefs.tipsShowAtStartup, 0); // "yes" is not a number: the box keeps its design value
}

TEST(StartUp, TwoStartsInOneSecondKeepBothLogs)
{
    TestEnvironment env;
    const QString log = env.settingsPath() + QStringLiteral("/01012026000000.log");
    StartDebugLog(log);
    WriteDebugLog(QStringLiteral("first run"));
    StartDebugLog(log);
    WriteDebugLog(QStringLiteral("second run"));
    const QByteArray text = readAll(log);
    EXPECT_TRUE(text.contains("first run"));
    EXPECT_TRUE(text.contains("second run"));
    EXPECT_EQ(DebugLog::fileNameFor(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))), QStringLiteral("04032026050607.log"));
}

TEST(StartUp, UnusableConfigFolderStillStarts)
{
    TestEnvironment env;
    // XDG_CONFIG_HOME points below a regular file: nothing can be created there.
    const QString blocker = env.write(QStringLiteral("blocker"), "x");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/cfg")));
    ScriptedDialogs dialogs;
    StartUp::run({});
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("ApplicationData Folder does not exist!")});
    EXPECT_EQ(AppPaths::applicationSettingsPath(), AppPaths::kSuffix);
}
