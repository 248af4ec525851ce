#include "FileSystem.h"

#include <QFile>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <cerrno>
#include <unistd.h>

namespace {
bool statOf(const QString &path, struct stat *st)
{
    if (path.isEmpty())
        return false;
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

QString parentOf(const QString &path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(FileSystem::kSeparator))
        p.chop(1);
    const int cut = p.lastIndexOf(FileSystem::kSeparator);
    if (cut < 0)
        return QString();
    return cut == 0 ? QStringLiteral("/") : p.left(cut);
}
} // namespace

bool FileSystem::pathExists(const QString &path)
{
    struct stat st;
    return statOf(path, &st);
}

bool FileSystem::folderExists(const QString &path)
{
    struct stat st;
    return statOf(path, &st) && S_ISDIR(st.st_mode);
}

bool FileSystem::isNormalFile(const QString &path)
{
    struct stat st;
    if (!statOf(path, &st) || !S_ISREG(st.st_mode))
        return false;
    const QString name = path.mid(path.lastIndexOf(kSeparator) + 1);
    return !name.startsWith(u'.');
}

bool FileSystem::isRegularFile(const QString &path)
{
    struct stat st;
    return statOf(path, &st) && S_ISREG(st.st_mode);
}

qint64 FileSystem::fileSize(const QString &path)
{
    struct stat st;
    if (!statOf(path, &st) || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<qint64>(st.st_size);
}

void FileSystem::makeWritable(const QString &path)
{
    struct stat st;
    if (statOf(path, &st))
        ::chmod(QFile::encodeName(path).constData(), (st.st_mode & 07777) | S_IWUSR);
}

double FileSystem::freeBytes(const QString &path)
{
    QString p = path;
    while (!p.isEmpty() && !pathExists(p))
        p = parentOf(p);
    if (p.isEmpty())
        return 0;
    struct statvfs vfs;
    if (::statvfs(QFile::encodeName(p).constData(), &vfs) != 0)
        return 0;
    return static_cast<double>(vfs.f_bavail) * static_cast<double>(vfs.f_frsize);
}

QString FileSystem::mountPointOf(const QString &path)
{
    QString p = path;
    while (!p.isEmpty() && !pathExists(p))
        p = parentOf(p);
    struct stat st;
    if (!statOf(p, &st))
        return QString();
    const dev_t device = st.st_dev;
    for (;;) {
        const QString up = parentOf(p);
        struct stat ust;
        if (up.isEmpty() || up == p || !statOf(up, &ust) || ust.st_dev != device)
            break;
        p = up;
    }
    if (!p.endsWith(kSeparator))
        p += kSeparator;
    return p;
}

bool FileSystem::sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    return statOf(a, &sa) && statOf(b, &sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

QString FileSystem::folderPart(const QString &path)
{
    const int cut = path.lastIndexOf(kSeparator);
    return cut < 0 ? QString() : path.left(cut + 1);
}

bool FileSystem::readAll(int fd, char *data, qint64 size, qint64 at)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(fd, data + done, static_cast<size_t>(size - done), at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool FileSystem::writeAll(int fd, const char *data, qint64 size, qint64 at)
{
    qint64 done = 0;
    while (done < size) {
        const size_t want = static_cast<size_t>(size - done);
        const ssize_t n = at < 0 ? ::write(fd, data + done, want) : ::pwrite(fd, data + done, want, at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

FileSystem::Occupant FileSystem::occupantOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (path.isEmpty() || ::lstat(name.constData(), &st) != 0)
        return Occupant::None;
    if (S_ISLNK(st.st_mode) && ::stat(name.constData(), &st) != 0)
        return Occupant::Other; // dangling, or a loop
    return S_ISREG(st.st_mode) ? Occupant::File : Occupant::Other;
}
