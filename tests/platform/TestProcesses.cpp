#include "app/SystemServices.h"
#include "platform/CommandLine.h"
#include "platform/Processes.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {
// A copy of sleep named as the encoder copy is named.
QString sleeperNamed(const TestEnvironment &env, const QString &name)
{
    const QString path = env.path(name);
    QFile::copy(QStringLiteral("/bin/sleep"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

bool running(qint64 pid)
{
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.isEmpty() && !stat.contains(") Z");
}
} // namespace

TEST(Processes, TerminatesEveryMatchButNothingElse)
{
    TestEnvironment env;
    // A name no other program of this user has: the test must never end a process it did not start.
    const QString unique = QStringLiteral("twtest%1.exe").arg(QCoreApplication::applicationPid());
    const QString encoder = sleeperNamed(env, unique);
    const QString other = sleeperNamed(env, QStringLiteral("unrelated"));
    QProcess a, b, c;
    a.start(encoder, {QStringLiteral("30")});
    b.start(encoder, {QStringLiteral("30")});
    c.start(other, {QStringLiteral("30")});
    ASSERT_TRUE(a.waitForStarted() && b.waitForStarted() && c.waitForStarted());
    EXPECT_EQ(Processes::imageNameOf(static_cast<pid_t>(a.processId())), unique);

    TerminateProcessesByName(QString()); // touches nothing
    EXPECT_TRUE(running(a.processId()));

    TerminateProcessesByName(unique.toUpper());
    EXPECT_TRUE(a.waitForFinished(5000));
    EXPECT_TRUE(b.waitForFinished(5000));
    EXPECT_EQ(a.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(running(c.processId()));
    EXPECT_TRUE(running(QCoreApplication::applicationPid())); // never itself
    c.kill();
    c.waitForFinished();
}

TEST(Processes, ScriptsRunInASessionOfTheirOwnAndLeaveNoZombie)
{
    TestEnvironment env;
    const QString marker = env.path(QStringLiteral("ran"));
    const QString script = env.write(QStringLiteral("with blank/s.bat"),
                                     QByteArray("@echo off\r\nCopy /b \"") + QFile::encodeName(QStringLiteral(TW_PROGRAM_DIR "/DefaultSettings.ini"))
                                         + "\" \"" + QFile::encodeName(marker) + "\"\r\n\"/bin/sleep\" 1\r\nexit\r\n");
    const pid_t child = Processes::startScript(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), script,
                                               env.path(QStringLiteral("s.log")), -1, env.root());
    ASSERT_GT(child, 0);
    EXPECT_EQ(::getsid(child), child); // its own session: nothing of ours to hang up on it
    EXPECT_EQ(Processes::poll(child).kind, Processes::ChildStatus::Running);
    Processes::ChildStatus end;
    for (int i = 0; i < 100 && !(end = Processes::poll(child)).ended(); ++i)
        QThread::msleep(50);
    EXPECT_EQ(end.kind, Processes::ChildStatus::Exited);
    EXPECT_EQ(end.code, 0);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1); // reaped: no zombie left
    // Ending a run that is over touches nothing (its pid may be someone else's by now).
    EXPECT_EQ(Processes::endGroup(child).kind, Processes::ChildStatus::Unknown);
}

TEST(Processes, AChildEndedByASignalSaysWhich)
{
    TestEnvironment env;
    const QString script = env.write(QStringLiteral("s.bat"), "\"/bin/sleep\" 30\r\n");
    const pid_t child = Processes::startScript(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), script, QString(), -1, env.root());
    ASSERT_GT(child, 0);
    const Processes::ChildStatus end = Processes::endGroup(child);
    EXPECT_EQ(end.kind, Processes::ChildStatus::Signalled);
    EXPECT_EQ(end.code, SIGKILL);
}
