#include "SystemServices.h"
#include "Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"

#include <QDir>

QString GetSpecialFolderPath(std::int32_t folderId)
{
    if ((folderId & ~kFolderCreate) != kFolderAppData) {
        Dialogs::message(QStringLiteral("Invalid Folder ID!"), Dialogs::Icon::Critical);
        return QString();
    }
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(folder)) {
        const QString home = qEnvironmentVariable("HOME");
        folder = home.isEmpty() ? QString() : home + QStringLiteral("/.config");
    }
    if (!folder.isEmpty() && (folderId & kFolderCreate))
        QDir().mkpath(folder);
    if (folder.isEmpty() || !FileSystem::folderExists(folder)) {
        Dialogs::message(QStringLiteral("ApplicationData Folder does not exist!"), Dialogs::Icon::Critical);
        return QString();
    }
    return QDir::cleanPath(folder);
}

// There is no Windows folder here; the open-folder command asks the file manager instead.
QString GetWindowsFolder() { return QString(); }

QString FileNameOf(const QString &path) { return path.mid(path.lastIndexOf(FileSystem::kSeparator) + 1); }

bool PathExists(const QString &path) { return FileSystem::pathExists(path); }

bool FolderExists(const QString &path) { return FileSystem::folderExists(path); }

void CreateFolderChain(const QString &folderPath)
{
    QString path = folderPath;
    if (path.endsWith(FileSystem::kSeparator))
        path.chop(1);
    const QStringList parts = path.split(FileSystem::kSeparator);
    QString prefix;
    for (int i = 0; i < parts.size(); ++i) {
        prefix = i == 0 ? parts[0] : prefix + FileSystem::kSeparator + parts[i];
        if (!prefix.isEmpty() && !FolderExists(prefix))
            QDir().mkdir(prefix); // a failure is ignored; the walk goes on
    }
}


double GetFreeDiskSpace(const QString &path)
{
    QString p = path.trimmed();
    if (!p.endsWith(FileSystem::kSeparator))
        p += FileSystem::kSeparator;
    return FileSystem::freeBytes(p);
}

