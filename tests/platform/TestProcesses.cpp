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
