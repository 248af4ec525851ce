#include "ExtentSharing.h"
#include "UniqueFd.h"

#include <QFile>
#include <QTemporaryFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

bool ExtentSharing::share(int source, qint64 from, int target, qint64 to, qint64 length)
{
    file_clone_range range{};
    range.src_fd = source;
    range.src_offset = static_cast<__u64>(from);
    range.src_length = static_cast<__u64>(length);
    range.dest_offset = static_cast<__u64>(to);
    return ::ioctl(target, FICLONERANGE, &range) == 0;
}

qint64 ExtentSharing::blockSize(int source, int target)
{
    struct stat in, out;
    struct statfs fs;
    if (::fstat(source, &in) != 0 || ::fstat(target, &out) != 0 || ::fstatfs(target, &fs) != 0 || out.st_size != 0)
        return 0;
    const qint64 block = fs.f_bsize;
    if (block <= 0 || in.st_size < block)
        return 0;
    const bool shared = share(source, 0, target, 0, block);
    if (::ftruncate(target, 0) != 0)
        return 0;
    return shared ? block : 0;
}

qint64 ExtentSharing::blockSizeIn(const QString &source, const QString &folder)
{
    const UniqueFd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    QTemporaryFile scratch(folder + QStringLiteral("/.tapeweld-XXXXXX"));
    if (!in || !scratch.open())
        return 0;
    return blockSize(in.get(), static_cast<int>(scratch.handle()));
}
