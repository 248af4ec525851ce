#include "platform/cmd/BatchInterpreter.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {
std::string s(const QString &q) { return QFile::encodeName(q).toStdString(); }
QByteArray q(const QString &path) { return '"' + QFile::encodeName(path) + '"'; }
} // namespace

TEST(BatchInterpreter, ConcatenatesAndAppendsInPlace)
{
    TestEnvironment env;
    const QString a = env.write(QStringLiteral("a b.avi"), "AAA"), b = env.write(QStringLiteral("b+.avi"), "BB"),
                  c = env.write(QStringLiteral("c.avi"), "C");
    const QString t = env.path(QStringLiteral("out.avi.tpw.avi"));
    env.write(QStringLiteral("JoinTemp/.keep"), "");
    QFile::remove(env.path(QStringLiteral("JoinTemp/.keep")));
    const QString script = env.write(QStringLiteral("TempFile.bat"),
                                     "@echo off\r\necho Generated\r\nCopy /b " + q(a) + ' ' + q(t) + "\r\n"
                                         "Copy /b " + q(t) + '+' + q(b) + ' ' + q(t) + "\r\n"
                                         "COPY /B " + q(t) + '+' + q(c) + ' ' + q(t) + "\r\n"
                                         "rmdir " + q(env.path(QStringLiteral("JoinTemp"))) + "\r\n"
                                         "echo Joined Succesfully!\r\nexit\r\n");
    EXPECT_EQ(BatchInterpreter(s(script)).run(), 0);
    EXPECT_EQ(readAll(t), QByteArray("AAABBC"));
    EXPECT_FALSE(QFile::exists(env.path(QStringLiteral("JoinTemp"))));
}

TEST(BatchInterpreter, MissingSourceLeavesTargetAndGoesOn)
{
    TestEnvironment env;
    const QString t = env.write(QStringLiteral("t.avi"), "T");
    const QString after = env.path(QStringLiteral("after"));
    const QString script = env.write(QStringLiteral("s.bat"),
                                     "Copy /b " + q(t) + '+' + q(env.path(QStringLiteral("gone.avi"))) + ' ' + q(t) + "\r\n"
                                         "Copy /b " + q(env.path(QStringLiteral("gone.avi"))) + ' ' + q(t) + "\r\n"
                                         "Copy /b " + q(t) + ' ' + q(after) + "\r\n");
    BatchInterpreter(s(script)).run();
    EXPECT_EQ(readAll(t), QByteArray("T"));
    EXPECT_EQ(readAll(after), QByteArray("T"));
}

TEST(BatchInterpreter, StopsWhenTheScriptIsDeleted)
{
    TestEnvironment env;
    const QString script = env.path(QStringLiteral("s.bat"));
    const QString marker = env.path(QStringLiteral("later"));
    // The second line deletes the script itself; the third must never run.
    env.write(QStringLiteral("s.bat"), "echo first\r\ndel " + q(script) + "\r\nCopy /b " + q(script) + ' ' + q(marker)
                                           + "\r\n");
    env.write(QStringLiteral("later-src"), "x");
    BatchInterpreter(s(script)).run();
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(BatchInterpreter, RunsProgramsAndWaitsForThem)
{
    TestEnvironment env;
    const QString out = env.path(QStringLiteral("touched"));
    const QString script = env.write(QStringLiteral("s.bat"), "\"/usr/bin/touch\" " + q(out) + "\r\ndel " + q(out)
                                                                  + "\r\nexit\r\n\"/usr/bin/touch\" " + q(out) + "\r\n");
    BatchInterpreter(s(script)).run();
    EXPECT_FALSE(QFile::exists(out)); // touched, deleted, and exit stopped before the last line
}

TEST(BatchInterpreter, CopyHandlesLargeFilesInTheKernel)
{
    TestEnvironment env;
    const QString a = env.path(QStringLiteral("big"));
    QFile f(a);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray block(1 << 20, 'z');
    block[0] = 'a';
    for (int i = 0; i < 8; ++i)
        f.write(block);
    f.close();
    const QString t = env.path(QStringLiteral("t"));
    ASSERT_TRUE(BatchInterpreter::copyFiles({s(a)}, s(t)));
    ASSERT_TRUE(BatchInterpreter::copyFiles({s(t), s(a)}, s(t)));
    EXPECT_EQ(QFileInfo(t).size(), 16LL << 20);
    EXPECT_EQ(readAll(t).mid(8 << 20, 1), QByteArray("a"));
}

TEST(BatchInterpreter, ShippedExecutableRunsAScript)
{
    TestEnvironment env;
    const QString out = env.path(QStringLiteral("o"));
    const QString script = env.write(QStringLiteral("x.bat"), "Copy /b " + q(QStringLiteral(TW_PROGRAM_DIR "/ReadMe.htm"))
                                                                  + ' ' + q(out) + "\r\nexit\r\n");
    EXPECT_EQ(QProcess::execute(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), {script}), 0);
    EXPECT_EQ(readAll(out), readAll(QStringLiteral(TW_PROGRAM_DIR "/ReadMe.htm")));
}
