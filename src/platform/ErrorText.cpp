#include "ErrorText.h"

#include <cerrno>
#include <cstring>

QString ErrorText::of(int error)
{
    switch (error) {
    case 0: return QStringLiteral("the reason is not known");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("the disk is full");
    case EFBIG: return QStringLiteral("the file grew beyond the size this disk or a limit allows");
    case EROFS: return QStringLiteral("the disk is read-only");
    case EACCES:
    case EPERM: return QStringLiteral("permission denied");
    case ENOENT: return QStringLiteral("the file is gone");
    case ENOTDIR: return QStringLiteral("a part of the path is not a folder");
    case EISDIR: return QStringLiteral("a folder has that name");
    case ELOOP: return QStringLiteral("a symbolic link stands where the file would be written");
    case EIO: return QStringLiteral("the disk reported an error");
    case ENAMETOOLONG: return QStringLiteral("the name is too long");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString ErrorText::sentence(const QString &text)
{
    QString s = text;
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s.endsWith(u'.') ? s : s + u'.';
}
