#include "app/ReadWriteIniFile.h"
#include "platform/IniFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <gtest/gtest.h>

TEST(IniFile, ReadsWithWindowsSemantics)
{
    TestEnvironment env;
    const QString f = env.write(QStringLiteral("a.ini"),
                                "; comment\r\n[Tips]\r\n  count =  3  \r\nEmpty=\r\nQuoted=\"  spaced  \"\r\n"
                                "Count=9\r\n[tips]\r\nOther=x\r\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("TIPS"), QStringLiteral("COUNT"), f), QStringLiteral("3")); // first wins
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Empty"), f), QString());
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Missing"), f), QString());
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Quoted"), f), QStringLiteral("  spaced  "));
    EXPECT_EQ(ReadIniValue(QStringLiteral("Nope"), QStringLiteral("Count"), f), QString());
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Count"), env.path(QStringLiteral("none.ini"))), QString());
}

TEST(IniFile, CutsLongValuesAt254Characters)
{
    TestEnvironment env;
    const QString f = env.path(QStringLiteral("long.ini"));
    const QString value(300, u'v');
    ASSERT_TRUE(WriteIniValue(QStringLiteral("S"), QStringLiteral("K"), value, f));
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("K"), f), value.left(254));
}

TEST(IniFile, WriteKeepsOtherLinesAndNames)
{
    TestEnvironment env;
    const QString f = env.write(QStringLiteral("w.ini"),
                                "; keep me\n[commondialog]\naddfiles=/old/\n\n[Other]\nx=1\n");
    ASSERT_TRUE(WriteIniValue(QStringLiteral("Commondialog"), QStringLiteral("AddFiles"), QStringLiteral("/new/"), f));
    ASSERT_TRUE(WriteIniValue(QStringLiteral("Commondialog"), QStringLiteral("SaveList"), QStringLiteral("/s/"), f));
    ASSERT_TRUE(WriteIniValue(QStringLiteral("Fresh"), QStringLiteral("Key"), QStringLiteral("v"), f));
    EXPECT_EQ(readAll(f), QByteArray("; keep me\r\n[commondialog]\r\nAddFiles=/new/\r\nSaveList=/s/\r\n\r\n"
                                     "[Other]\r\nx=1\r\n[Fresh]\r\nKey=v\r\n"));
}

TEST(IniFile, WritesReadOnlyFileAndMakesItWritable)
{
    TestEnvironment env;
    const QString f = env.write(QStringLiteral("ro.ini"), "[S]\r\nK=1\r\n");
    QFile::setPermissions(f, QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_TRUE(WriteIniValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2"), f));
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("K"), f), QStringLiteral("2"));
    EXPECT_TRUE(QFile::permissions(f) & QFile::WriteOwner);
}

TEST(IniFile, SurvivesBinaryAndBrokenFiles)
{
    TestEnvironment env;
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 37) % 256);
    const QString f = env.write(QStringLiteral("bin.ini"), junk + "\n[S]\nK=ok\n=novalue\n[broken\nnoequals\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("K"), f), QStringLiteral("ok"));
    ASSERT_TRUE(WriteIniValue(QStringLiteral("S"), QStringLiteral("New"), QStringLiteral("1"), f));
    const QByteArray after = readAll(f);
    EXPECT_TRUE(after.contains("noequals\r\n"));
    EXPECT_TRUE(after.contains("=novalue\r\n"));
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("New"), f), QStringLiteral("1"));

    // A file far too large to be settings reads as empty instead of stalling.
    const QString big = env.path(QStringLiteral("big.ini"));
    QFile b(big);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write("[S]\nK=1\n");
    b.resize(40LL * 1024 * 1024);
    b.close();
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("K"), big), QString());
}

TEST(IniFile, AFailedWriteLeavesTheOldFileAndSaysWhy)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    QByteArray old = "[Tips]\r\nShowAtStartup=1\r\n";
    for (int i = 1; i <= 200; ++i)
        old += "Tip" + QByteArray::number(i) + "=Some tip text\r\n";
    const QString f = env.write(QStringLiteral("Settings.ini"), old);
    struct rlimit saved, limit;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = static_cast<rlim_t>(old.size() + 5);
    ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = WriteIniValue(QStringLiteral("Commondialog"), QStringLiteral("AddFiles"), QString(300, u'x'), f);
    EXPECT_FALSE(WriteIniValue(QStringLiteral("Commondialog"), QStringLiteral("AddFiles"), QString(300, u'y'), f));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(f), old);
    ASSERT_EQ(dialogs.messages.size(), 1); // the second failure, for the same reason, is not said again
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Tapeweld could not save its settings to\r\n") + f
                                            + QStringLiteral("\r\n\r\nThe file grew beyond the size this disk or a limit allows.\r\n"
                                                             "The file was left as it was."));
}

TEST(IniFile, PipesDevicesAndFoldersReadAsEmptyAtOnce)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QStringList odd = env.notRegularFiles(QStringLiteral(".ini"));
    ASSERT_EQ(odd.size(), 3);
    const QString fifo = odd[0];
    for (const QString &f : odd) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Count"), f), QString());
        EXPECT_LT(clock.elapsed(), 1000) << f.toStdString();
    }
    EXPECT_FALSE(WriteIniValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"), fifo));
    EXPECT_FALSE(WriteIniValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"), odd[2]));
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST(IniFile, HostileSettingsAreReadInOnePassAndTakeNoLineBreaks)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    // 300 KB of CRs, a line longer than any setting, and a value read past both.
    const QString f = env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"),
                                "[S]\r" + QByteArray(300000, '\r') + "K=" + QByteArray(100000, 'v') + "\r\n[T]\r\nK=found\r\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("T"), QStringLiteral("K"), f), QStringLiteral("found"));
    EXPECT_EQ(ReadIniValue(QStringLiteral("S"), QStringLiteral("K"), f), QString()); // the long line is passed over
    ReadIniValue(QStringLiteral("T"), QStringLiteral("K"), f);
    ASSERT_EQ(dialogs.messages.size(), 1); // said once
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("holds a line longer than any setting can be")));
    // A value with a line break would add a key of its own: refused.
    EXPECT_FALSE(IniFile::write(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\r\nInjected=1"), f).ok());
}

TEST(IniFile, ByteOrderMarkLineEndsAndTheFirstMatchingSection)
{
    TestEnvironment env;
    const QString f = env.write(QStringLiteral("bom.ini"), "\xEF\xBB\xBF[Tips]\rCount=3\r\r\nTip1=one\n[Other]\r\nx=1\r\n[TIPS]\r\nTip2=two\r\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Count"), f), QStringLiteral("3"));
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Tip1"), f), QStringLiteral("one"));
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Tip2"), f), QString()); // second [Tips] is not read
    ASSERT_TRUE(WriteIniValue(QStringLiteral("Tips"), QStringLiteral("ShowAtStartup"), QStringLiteral("1"), f));
    const QByteArray after = readAll(f);
    EXPECT_TRUE(after.startsWith("\xEF\xBB\xBF[Tips]\r\nCount=3\r\nTip1=one\r\nShowAtStartup=1\r\n[Other]")) << after.toStdString();

    // A value may itself begin with that mark; it reads back as written.
    const QString marked = QStringLiteral("\uFEFF\uFEFFx");
    ASSERT_TRUE(WriteIniValue(QStringLiteral("Tips"), QStringLiteral("Odd"), marked, f));
    EXPECT_EQ(ReadIniValue(QStringLiteral("Tips"), QStringLiteral("Odd"), f), marked);
}
