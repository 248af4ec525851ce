#include "Processes.h"
#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <sys/stat.h>

pid_t Processes::startScript(const QString &interpreter, const QString &script, const QString &errorLog, int lockFd,
                             const QString &workingFolder)
{
    return startProgram({interpreter, script}, errorLog, lockFd, workingFolder);
}

pid_t Processes::startProgram(const QStringList &argv, const QString &errorLog, int lockFd, const QString &workingFolder, int *output)
{
    if (argv.isEmpty())
        return -1;
    QList<QByteArray> words;
    for (const QString &a : argv)
        words << QFile::encodeName(a);
    std::vector<char *> args;
    for (QByteArray &w : words)
        args.push_back(w.data());
    args.push_back(nullptr);
    const QByteArray log = QFile::encodeName(errorLog);
    const QByteArray cwd = QFile::encodeName(workingFolder);
    int pipe[2] = {-1, -1};
    if (output && ::pipe2(pipe, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output)
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.isEmpty() ? "/dev/null" : log.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    if (lockFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, lockFd, 3); // dup2 clears close-on-exec
    if (!cwd.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (output) {
        ::close(pipe[1]);
        if (rc == 0) {
            ::fcntl(pipe[0], F_SETFL, ::fcntl(pipe[0], F_GETFL) | O_NONBLOCK);
            *output = pipe[0];
        } else {
            ::close(pipe[0]);
        }
    }
    return rc == 0 ? pid : -1;
}

namespace {
Processes::ChildStatus statusOf(int status)
{
    if (WIFEXITED(status))
        return {Processes::ChildStatus::Exited, WEXITSTATUS(status)};
    if (WIFSIGNALED(status))
        return {Processes::ChildStatus::Signalled, WTERMSIG(status)};
    return {Processes::ChildStatus::Unknown, 0};
}
} // namespace

Processes::ChildStatus Processes::poll(pid_t child)
{
    if (child <= 0)
        return {ChildStatus::Unknown, 0};
    int status = 0;
    pid_t r;
    while ((r = ::waitpid(child, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0)
        return {};
    return r == child ? statusOf(status) : ChildStatus{ChildStatus::Unknown, 0};
}

Processes::ChildStatus Processes::endGroup(pid_t child)
{
    const ChildStatus now = poll(child);
    if (now.ended())
        return now;
    ::kill(-child, SIGKILL); // the child leads its own session and group (setsid)
    ::kill(child, SIGKILL);
    int status = 0;
    pid_t r;
    while ((r = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    return r == child ? statusOf(status) : ChildStatus{ChildStatus::Unknown, 0};
}

void Processes::waitForExit(pid_t child, int ms)
{
    // A pid file descriptor becomes readable when its process ends: the follower wakes then, not a sleep later.
    const int fd = child > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, child, 0)) : -1;
    if (fd < 0) {
        ::usleep(static_cast<useconds_t>(ms) * 1000);
        return;
    }
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, ms);
    ::close(fd);
}

qint64 Processes::groupInputOutput(pid_t child)
{
    if (child <= 0)
        return -1;
    qint64 total = -1;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        if (!pid.front().isDigit())
            continue;
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid pgrp ...: the name may hold blanks, so count from its closing parenthesis.
        const QByteArray line = stat.read(512);
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 3 || fields[2].toLongLong() != child)
            continue;
        QFile io(QStringLiteral("/proc/") + pid + QStringLiteral("/io"));
        if (!io.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &row : io.readAll().split('\n'))
            if (row.startsWith("rchar:") || row.startsWith("wchar:"))
                total = qMax<qint64>(total, 0) + row.mid(6).trimmed().toLongLong();
    }
    return total;
}
