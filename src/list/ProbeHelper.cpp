#include "ProbeHelper.h"
#include "platform/Processes.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

ProbeHelper::ProbeHelper(const QString &program)
{
    // A socket, not a pipe: a write to a helper that has died must fail, not
    // raise SIGPIPE in the program (MSG_NOSIGNAL).
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    const QByteArray path = QFile::encodeName(program);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pair[1], 0);
    posix_spawn_file_actions_adddup2(&actions, pair[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, path.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pair[1]);
    if (rc != 0) {
        ::close(pair[0]);
        return;
    }
    m_pid = pid;
    m_socket = pair[0];
}

ProbeHelper::~ProbeHelper() { stop(); }

void ProbeHelper::stop()
{
    if (m_socket >= 0)
        ::close(m_socket); // end of its input: it ends
    m_socket = -1;
    Processes::endGroup(m_pid); // reaped if it has ended, ended if not
    m_pid = -1;
}

QByteArray ProbeHelper::answerFor(const MediaProbe::Facts &f)
{
    return f.codec.toUtf8().toPercentEncoding() + ' ' + f.width.toUtf8().toPercentEncoding() + ' '
           + f.height.toUtf8().toPercentEncoding() + ' ' + f.playTime.toUtf8().toPercentEncoding() + '\n';
}

bool ProbeHelper::parseAnswer(const QByteArray &line, MediaProbe::Facts *f)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 4)
        return false;
    f->codec = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[0]));
    f->width = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[1]));
    f->height = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[2]));
    f->playTime = QString::fromUtf8(QByteArray::fromPercentEncoding(parts[3]));
    return true;
}

bool ProbeHelper::query(const QString &path, MediaProbe::Facts *facts)
{
    if (m_pid <= 0)
        return false;
    const QByteArray request = path.toUtf8() + '\n';
    for (qsizetype done = 0; done < request.size();) {
        const ssize_t n = ::send(m_socket, request.constData() + done, static_cast<size_t>(request.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            stop();
            return false;
        }
        done += n;
    }
    for (;;) {
        const qsizetype nl = m_pending.indexOf('\n');
        if (nl >= 0) {
            const QByteArray line = m_pending.left(nl);
            m_pending.remove(0, nl + 1);
            if (parseAnswer(line, facts))
                return true;
            stop();
            return false;
        }
        char buffer[4096];
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            stop();
            return false;
        }
        m_pending.append(buffer, n);
    }
}
