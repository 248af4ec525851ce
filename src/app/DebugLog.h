#pragma once
#include <QDateTime>
#include <QString>

// Diagnostic log, active only when the program was started with "/debug".
void StartDebugLog(const QString &filePath);
bool IsDebugLogActive();
void WriteDebugLog(const QString &text);

namespace DebugLog {
QString fileNameFor(const QDateTime &localTime); // "ddmmyyyyhhmmss.log"
void stopForTesting();
} // namespace DebugLog
