#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(JoinScripts, FirstScriptForTwoRows)
{
    const QByteArray text = JoinScripts::firstScriptText({QStringLiteral("/v/a.avi"), QStringLiteral("/My Videos/b c.avi")},
                                                         QStringLiteral("/out/all.avi.tpw.avi"), QStringLiteral("/home/u/.config/Larkvane/Tapeweld"));
    EXPECT_EQ(text, QByteArray("@echo off\r\n"
                               "echo Generated with Tapeweld\r\n"
                               "echo Visit us at: https://tapeweld.larkvane.example\r\n"
                               "Copy /b \"/v/a.avi\" \"/out/all.avi.tpw.avi\"\r\n"
                               "Copy /b \"/out/all.avi.tpw.avi\"+\"/My Videos/b c.avi\" \"/out/all.avi.tpw.avi\"\r\n"
                               "rmdir \"/home/u/.config/Larkvane/Tapeweld/JoinTemp\"\r\n"
                               "echo Joined Succesfully!\r\n"
                               "exit\r\n"));
    EXPECT_EQ(text.count("\r\n"), 8);
}

TEST(JoinScripts, SecondScriptAndEncoderLine)
{
    const QString s = QStringLiteral("/home/my user/.config/Larkvane/Tapeweld");
    EXPECT_EQ(JoinScripts::encoderLine(s, QStringLiteral("/d/x.avi.tpw.avi"), QStringLiteral("/d/x.avi")),
              QStringLiteral("\"/home/my user/.config/Larkvane/Tapeweld/AVI.exe\" -forceidx -oac copy -ovc copy "
                             "\"/d/x.avi.tpw.avi\" -o \"/d/x.avi\""));
    EXPECT_EQ(JoinScripts::secondScriptText(s, QStringLiteral("/d/x.avi.tpw.avi"), QStringLiteral("/d/x.avi")),
              QByteArray("@echo off\r\n"
                         "echo Generated with Tapeweld\r\n"
                         "echo Visit us at: https://tapeweld.larkvane.example\r\n"
                         "echo Fixing AVI File...\r\n"
                         "\"/home/my user/.config/Larkvane/Tapeweld/AVI.exe\" -forceidx -oac copy -ovc copy \"/d/x.avi.tpw.avi\" -o \"/d/x.avi\"\r\n"
                         "echo AVI File has been fixed!\r\n"
                         "del \"/d/x.avi.tpw.avi\"\r\n"
                         "rmdir \"/home/my user/.config/Larkvane/Tapeweld/JoinTemp\"\r\n"
                         "exit\r\n"));
}

TEST(JoinScripts, WritesScriptsEncoderAndLogEntries)
{
    TestEnvironment env;
    StartDebugLog(env.path(QStringLiteral("join.log")));
    RunSession run(env.settingsPath());
    ASSERT_TRUE(run.acquire());
    ASSERT_TRUE(WriteJoinScripts(run, {QStringLiteral("/v/1.avi"), QStringLiteral("/v/2.avi"), QStringLiteral("/v/3.avi")},
                                 QStringLiteral("/out/o.avi"))
                    .ok());
    EXPECT_TRUE(readAll(RunFiles::firstScript()).contains("Copy /b \"/out/o.avi.tpw.avi\"+\"/v/3.avi\" \"/out/o.avi.tpw.avi\"\r\n"));
    EXPECT_TRUE(readAll(RunFiles::secondScript()).contains("del \"/out/o.avi.tpw.avi\"\r\n"));
    const QFileInfo encoder(RunFiles::encoderCopy());
    EXPECT_TRUE(encoder.isExecutable());
    EXPECT_EQ(encoder.size(), QFileInfo(QStringLiteral(TW_PROGRAM_DIR "/AVI.dll")).size());
    EXPECT_FALSE(QFile::exists(RunFiles::threadLibCopy()));

    const QList<QByteArray> log = readAll(env.path(QStringLiteral("join.log"))).split('\n');
    QStringList entries;
    for (const QByteArray &line : log)
        if (line.contains("Tapeweld: "))
            entries << QString::fromUtf8(line.mid(line.indexOf("Tapeweld: ") + 10)).trimmed();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("TempFile=/out/o.avi.tpw.avi"),
                                    QStringLiteral("1BAT=Copy /b \"/v/1.avi\" \"/out/o.avi.tpw.avi\""),
                                    QStringLiteral("1BAT=Copy /b \"/out/o.avi.tpw.avi\"+\"/v/2.avi\" \"/out/o.avi.tpw.avi\""),
                                    QStringLiteral("1BAT=Copy /b \"/out/o.avi.tpw.avi\"+\"/v/3.avi\" \"/out/o.avi.tpw.avi\"")}));
}
