#include "Shell.h"
#include "SystemServices.h"
#include "platform/FileSystem.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QUrl>

namespace {
Shell::OpenHandler g_open;
Shell::FileManagerCall g_fileManager;

bool callFileManagerOverDBus(const QString &method, const QString &filePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), method);
    call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}
bool callFileManager(const QString &method, const QString &filePath)
{
    return g_fileManager ? g_fileManager(method, filePath) : callFileManagerOverDBus(method, filePath);
}
} // namespace

Shell::FileManagerCall Shell::setFileManagerCall(FileManagerCall call)
{
    FileManagerCall old = std::move(g_fileManager);
    g_fileManager = std::move(call);
    return old;
}

Shell::OpenHandler Shell::setOpenHandler(OpenHandler handler)
{
    OpenHandler old = std::move(g_open);
    g_open = std::move(handler);
    return old;
}

bool Shell::open(const QString &fileOrUrl) { return g_open ? g_open(fileOrUrl) : false; }

bool Shell::showProperties(const QString &filePath)
{
    if (filePath.isEmpty() || !FileSystem::pathExists(filePath))
        return false;
    return callFileManager(QStringLiteral("ShowItemProperties"), filePath);
}

bool Shell::showInFolder(const QString &filePath)
{
    if (callFileManager(QStringLiteral("ShowItems"), filePath))
        return true;
    return open(FileSystem::folderPart(filePath));
}

bool ShowFileProperties(const QString &filePath) { return Shell::showProperties(filePath); }
