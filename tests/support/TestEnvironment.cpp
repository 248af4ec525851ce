#include "TestEnvironment.h"
#include <QThread>
#include <QDeadlineTimer>
#include <QCoreApplication>
#include "app/AppPaths.h"
#include "app/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

TestEnvironment::TestEnvironment()
{
    m_hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    QDir().mkpath(configHome());
    QDir().mkpath(settingsPath());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    AppPaths::setApplicationSettingsPath(settingsPath());
    AppPaths::setProgramFolder(QStringLiteral(TW_PROGRAM_DIR));
}

TestEnvironment::~TestEnvironment()
{
    DebugLog::stopForTesting();
    if (m_hadConfig)
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TestEnvironment::write(const QString &relative, const QByteArray &content) const
{
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(content);
    return p;
}

QStringList TestEnvironment::notRegularFiles(const QString &suffix) const
{
    const QString fifo = path(QStringLiteral("pipe") + suffix);
    const QString folder = path(QStringLiteral("folder") + suffix);
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        return {};
    QDir().mkpath(folder);
    return {fifo, QStringLiteral("/dev/zero"), folder};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool noProcessMentions(const QString &text, int ms)
{
    const QByteArray wanted = QFile::encodeName(text);
    const QDeadlineTimer deadline(ms);
    for (;;) {
        bool found = false;
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (!entry.front().isDigit() || entry.toLongLong() == QCoreApplication::applicationPid())
                continue;
            QFile f(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(wanted)) {
                found = true;
                break;
            }
        }
        if (!found)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}
