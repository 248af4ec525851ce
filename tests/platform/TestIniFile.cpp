#include "app/ReadWriteIniFile.h"
#include "support/TestEnvironment.h"

#include <QFile>
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
