#include "platform/cmd/BatchInterpreter.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
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
    const QString before = env.path(QStringLiteral("before")), after = env.path(QStringLiteral("after"));
    const QString source = env.write(QStringLiteral("source"), "x");
    // The second line deletes the script itself; the third, a copy that would
    // succeed, must never run.
    env.write(QStringLiteral("s.bat"), "Copy /b " + q(source) + ' ' + q(before) + "\r\ndel " + q(script) + "\r\nCopy /b " + q(source)
                                           + ' ' + q(after) + "\r\n");
    BatchInterpreter(s(script)).run();
    EXPECT_TRUE(QFile::exists(before));
    EXPECT_FALSE(QFile::exists(after));
}

TEST(BatchInterpreter, RunsProgramsAndWaitsForThem)
{
    TestEnvironment env;
    const QString out = env.path(QStringLiteral("written late")), copy = env.path(QStringLiteral("copy")),
                  never = env.path(QStringLiteral("after exit"));
    // The program writes its file only after a while; the next line copies it,
    // which works only if the program was waited for. Nothing runs after exit.
    const QString script = env.write(QStringLiteral("s.bat"), "\"/bin/sh\" -c \"sleep 0.3; echo done > '" + QFile::encodeName(out)
                                                                  + "'\"\r\nCopy /b " + q(out) + ' ' + q(copy)
                                                                  + "\r\nexit\r\n\"/usr/bin/touch\" " + q(never) + "\r\n");
    BatchInterpreter(s(script)).run();
    EXPECT_EQ(readAll(copy), QByteArray("done\n"));
    EXPECT_FALSE(QFile::exists(never));
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
    BatchInterpreter direct("");
    ASSERT_TRUE(direct.copyFiles({s(a)}, s(t)));
    ASSERT_TRUE(direct.copyFiles({s(t), s(a)}, s(t)));
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

TEST(BatchInterpreter, NeverWritesThroughALinkNorAppendsAFileToItself)
{
    TestEnvironment env;
    const QString victim = env.write(QStringLiteral("victim.avi"), "VICTIM");
    const QString a = env.write(QStringLiteral("a.avi"), "AAA");
    const QString link = env.path(QStringLiteral("out.avi.tpw.avi"));
    ASSERT_TRUE(QFile::link(victim, link));
    BatchInterpreter direct("");
    EXPECT_FALSE(direct.copyFiles({s(a)}, s(link)));
    EXPECT_FALSE(direct.copyFiles({s(link), s(a)}, s(link)));
    EXPECT_EQ(readAll(victim), QByteArray("VICTIM"));

    // T is also a later source: appended to itself (in place) or truncated before it is read.
    const QString t = env.write(QStringLiteral("t.avi"), "TT");
    EXPECT_FALSE(direct.copyFiles({s(t), s(a), s(t)}, s(t)));
    EXPECT_FALSE(direct.copyFiles({s(a), s(t)}, s(t)));
    EXPECT_EQ(readAll(t), QByteArray("TT"));
    EXPECT_EQ(readAll(a), QByteArray("AAA"));
}

TEST(BatchInterpreter, AReplacedScriptEndsTheRunAndItsProgram)
{
    TestEnvironment env;
    const QString script = env.path(QStringLiteral("TempFile.bat"));
    const QString marker = env.path(QStringLiteral("old script went on"));
    const QString fromNew = env.path(QStringLiteral("new script ran"));
    const QString started = env.path(QStringLiteral("started"));
    env.write(QStringLiteral("TempFile.bat"),
              "\"/usr/bin/touch\" " + q(started) + "\r\n\"/bin/sleep\" 30\r\n\"/usr/bin/touch\" " + q(marker) + "\r\n");
    QProcess interpreter;
    interpreter.start(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), {script});
    ASSERT_TRUE(interpreter.waitForStarted());
    // Replaced only once the old script is under way, however loaded the machine.
    const QDeadlineTimer deadline(20000);
    while (!QFile::exists(started) && !deadline.hasExpired())
        QThread::msleep(10);
    ASSERT_TRUE(QFile::exists(started));
    QThread::msleep(200);
    // A new join writes its script under the same name (a new file, renamed over the old one);
    // its first line is long, so an old reader at the old offset would land mid-line.
    const QString fresh = env.write(QStringLiteral("fresh.bat"),
                                    "\"/usr/bin/touch\" " + q(fromNew) + " " + QByteArray(40, 'x') + "\r\nexit\r\n");
    ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(script).constData()), 0);
    ASSERT_TRUE(interpreter.waitForFinished(3000)); // the sleep was killed, not waited for
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_FALSE(QFile::exists(fromNew));
}

TEST(BatchInterpreter, ReportsWhyACommandFailed)
{
    TestEnvironment env;
    const QString script = env.write(QStringLiteral("s.bat"), "Copy /b " + q(env.path(QStringLiteral("gone.avi"))) + ' '
                                                                  + q(env.path(QStringLiteral("t.avi"))) + "\r\n\"/bin/false\"\r\n");
    QProcess interpreter;
    interpreter.start(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), {script});
    ASSERT_TRUE(interpreter.waitForFinished(5000));
    const QString err = QString::fromUtf8(interpreter.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("error 2 source ") + env.path(QStringLiteral("gone.avi")))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("exit 1 /bin/false"))) << err.toStdString();
}

TEST(BatchInterpreter, AnOrphanedRunStops)
{
    TestEnvironment env;
    const QString marker = env.path(QStringLiteral("went on"));
    const QString script = env.write(QStringLiteral("s.bat"), "\"/bin/sleep\" 3\r\n\"/usr/bin/touch\" " + q(marker) + "\r\n");
    // A program that starts the interpreter and is gone at once, as a killed window would be.
    QProcess parent;
    parent.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" & sleep 0.3"),
                                             QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), script});
    ASSERT_TRUE(parent.waitForFinished(5000));
    // Gone well before its sleep would have ended, and the script went no further.
    EXPECT_TRUE(noProcessMentions(script, 2500));
    EXPECT_FALSE(QFile::exists(marker));
}
