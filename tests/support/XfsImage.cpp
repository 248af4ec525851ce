#include "XfsImage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll()).trimmed() + p.errorString();
    return QString();
}
} // namespace

XfsImage::XfsImage(const QString &folder, qint64 bytes)
    : m_image(folder + QStringLiteral("/xfs.img")), m_mount(folder + QStringLiteral("/xfs"))
{
    const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.xfs"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (::geteuid() != 0)
        m_why = QStringLiteral("mounting an XFS image needs root");
    else if (mkfs.isEmpty())
        m_why = QStringLiteral("mkfs.xfs (xfsprogs) is not installed");
    else if (QFile f(m_image); !f.open(QIODevice::WriteOnly) || !f.resize(bytes))
        m_why = QStringLiteral("no room for an image of the file system");
    else if (!QDir().mkpath(m_mount))
        m_why = QStringLiteral("no folder to mount it on");
    else if (m_why = run(mkfs, {QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("reflink=1"), m_image}); m_why.isEmpty())
        m_why = run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), m_image, m_mount});
    m_mounted = m_why.isEmpty();
}

XfsImage::~XfsImage()
{
    if (m_mounted)
        (void)run(QStringLiteral("umount"), {m_mount});
    QFile::remove(m_image);
}

double XfsImage::freeBytes() const
{
    struct statvfs s;
    if (const int fd = ::open(QFile::encodeName(m_mount).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::syncfs(fd); // blocks freed or taken are counted once written
        ::close(fd);
    }
    return ::statvfs(QFile::encodeName(m_mount).constData(), &s) == 0 ? static_cast<double>(s.f_bavail) * s.f_frsize : -1;
}
