#include "DebugLog.h"
#include "Version.h"

#include <QFile>

namespace {
QString g_logFile;
}

void StartDebugLog(const QString &filePath)
{
    g_logFile = filePath;
    // Append: two starts within one second share a name and must not lose the first log.
    QFile f(filePath);
    f.open(QIODevice::WriteOnly | QIODevice::Append);
}

bool IsDebugLogActive() { return !g_logFile.isEmpty(); }

void WriteDebugLog(const QString &text)
{
    if (g_logFile.isEmpty())
        return;
    QFile f(g_logFile);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                         + QStringLiteral(" INFO ") + Version::kTitle + QStringLiteral(": ") + text
                         + QStringLiteral("\r\n");
    f.write(line.toUtf8());
}

QString DebugLog::fileNameFor(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("ddMMyyyyHHmmss")) + QStringLiteral(".log");
}

void DebugLog::stopForTesting() { g_logFile.clear(); }
