#include "ProbeHelper.h"
#include "platform/Processes.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
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

namespace {
int g_deadlineMs = ProbeHelper::kDeadlineMs;
}

void ProbeHelper::setDeadlineForTesting(int ms) { g_deadlineMs = ms; }

void ProbeHelper::stop()
{
    if (m_socket >= 0)
        ::close(m_socket); // end of its input: it ends
    m_socket = -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    Processes::endGroup(m_pid); // reaped if it has ended, ended if not
    m_pid = -1;
}

void ProbeHelper::abort()
{
    // Our own child, not reaped yet (stop() reaps under the same lock): its pid is no one else's.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pid > 0)
        ::kill(m_pid, SIGKILL);
}

namespace {
QByteArray field(const QString &text) { return text.toUtf8().toPercentEncoding(); }
QString text(const QByteArray &field) { return QString::fromUtf8(QByteArray::fromPercentEncoding(field)); }
constexpr int kFields = 4;
} // namespace

QByteArray ProbeHelper::answerFor(const MediaProbe::Facts &f)
{
    const QByteArrayList fields{field(f.codec), field(f.width), field(f.height), field(f.playTime)};
    return fields.join(' ') + '\t' + f.avi.toText() + '\n';
}

bool ProbeHelper::parseAnswer(const QByteArray &answer, MediaProbe::Facts *f)
{
    const qsizetype tab = answer.indexOf('\t');
    if (tab < 0)
        return false;
    const QByteArray line = answer.left(tab);
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != kFields)
        return false;
    MediaProbe::Facts r{text(parts[0]), text(parts[1]), text(parts[2]), text(parts[3]), {}};
    const std::optional<Avi::Summary> avi = Avi::Summary::fromText(answer.mid(tab + 1));
    if (!avi)
        return false;
    r.avi = *avi;
    *f = r;
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
        struct pollfd wait{m_socket, POLLIN, 0};
        const int ready = ::poll(&wait, 1, g_deadlineMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) { // stuck on the file (a stalled disk, a stopped helper): given up
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
