#include "SafeFile.h"
#include "UniqueFd.h"
#include "ErrorText.h"
#include "FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
Result fail(int code) { return Result::failure(ErrorText::of(code)); }

// Putting the old size back after a failed write: the write's own error is the
// one to report, whatever this gives.
void bestEffortTruncate(int fd, qint64 size)
{
    if (::ftruncate(fd, size) != 0)
        return;
}

bool writeAll(int fd, const QByteArray &data, qint64 at) { return FileSystem::writeAll(fd, data.constData(), data.size(), at); }

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype cut = path.lastIndexOf('/');
    return cut < 0 ? QByteArray(".") : cut == 0 ? QByteArray("/") : path.left(cut);
}

// Overwrites the file itself: for a writable file in a folder that takes no new file.
Result replaceInPlace(const QByteArray &target, const QByteArray &content)
{
    UniqueFd file(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!file)
        return fail(errno);
    const int fd = file.get();
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(EINVAL);
    QByteArray old(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    if (::pread(fd, old.data(), static_cast<size_t>(old.size()), 0) != old.size())
        return fail(errno);
    // Every block the new content needs, before a byte of the old one changes.
    if (content.size() > old.size()) {
        const int rc = ::posix_fallocate(fd, 0, content.size());
        if (rc != 0) {
            bestEffortTruncate(fd, old.size());
            return fail(rc);
        }
    }
    if (!writeAll(fd, content, 0) || ::ftruncate(fd, content.size()) != 0 || ::fsync(fd) != 0) {
        const int e = errno;
        writeAll(fd, old, 0); // the space was the old file's: this fits
        bestEffortTruncate(fd, old.size());
        ::fsync(fd);
        return fail(e);
    }
    if (file.close() != 0)
        return fail(errno);
    return {};
}
// What a save killed before its rename left beside the file; a minute old, it
// belongs to no save still under way.
void removeStaleTemporaries(const QByteArray &target)
{
    const QString path = QFile::decodeName(target);
    const QFileInfo info(path);
    const QDir folder = info.dir();
    const QStringList names = folder.entryList({info.fileName() + QStringLiteral(".tw-??????")}, QDir::Files | QDir::Hidden | QDir::System);
    const QDateTime old = QDateTime::currentDateTime().addSecs(-60);
    for (const QString &name : names) {
        const QFileInfo temp(folder.filePath(name));
        if (!temp.isSymLink() && temp.lastModified() < old)
            QFile::remove(temp.filePath());
    }
}
} // namespace

Result SafeFile::readRegular(const QString &path, qint64 maxBytes, QByteArray *data)
{
    data->clear();
    const UniqueFd file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file)
        return fail(errno);
    const int fd = file.get();
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes)
        return fail(S_ISDIR(st.st_mode) ? EISDIR : st.st_size > maxBytes ? EFBIG : EINVAL);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            data->clear();
            return fail(errno);
        }
        if (n == 0)
            break;
        if (data->size() + n > maxBytes) { // grew, or lied about its size: the bound still holds
            data->clear();
            return fail(EFBIG);
        }
        data->append(buffer, n);
    }
    return {};
}

Result SafeFile::replace(const QString &path, const QByteArray &content)
{
    QByteArray target = QFile::encodeName(path);
    struct stat st;
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    if (exists) {
        char resolved[PATH_MAX];
        if (::realpath(target.constData(), resolved))
            target = resolved; // keep a link a link: replace what it points at
    }
    QByteArray temp = target + ".tw-XXXXXX";
    UniqueFd file(::mkostemp(temp.data(), O_CLOEXEC));
    const int fd = file.get();
    if (!file) {
        const int e = errno;
        if (exists && (e == EACCES || e == EPERM || e == EROFS) && ::access(target.constData(), W_OK) == 0)
            return replaceInPlace(target, content);
        return fail(e);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~mask));
    if (!writeAll(fd, content, 0) || ::fsync(fd) != 0) {
        const int e = errno;
        file.reset();
        ::unlink(temp.constData());
        return fail(e);
    }
    if (file.close() != 0 || ::rename(temp.constData(), target.constData()) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        return fail(e);
    }
    if (const UniqueFd dir(::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir)
        ::fsync(dir.get());
    removeStaleTemporaries(target);
    return {};
}
