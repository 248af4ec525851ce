#include "RunLock.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString RunLock::fileIn(const QString &folder) { return folder + QStringLiteral("/Tapeweld.lock"); }

RunLock::RunLock(const QString &folder) : m_file(fileIn(folder)) {}

RunLock::~RunLock() { release(); }

bool RunLock::tryAcquire()
{
    if (m_fd >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(m_file).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void RunLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd); // our own hold ends; children that inherited it keep it until they end
    m_fd = -1;
}
