#include "RunFiles.h"
#include "app/AppPaths.h"

namespace {
QString settings() { return AppPaths::applicationSettingsPath(); }
QString program() { return AppPaths::programFolder(); }
} // namespace

QString RunFiles::workFolderIn(const QString &settingsPath) { return settingsPath + QStringLiteral("/JoinTemp"); }
QString RunFiles::encoderCopyIn(const QString &settingsPath) { return settingsPath + QStringLiteral("/AVI.exe"); }

QString RunFiles::workFolder() { return workFolderIn(settings()); }
QString RunFiles::firstScript() { return settings() + QStringLiteral("/TempFile.bat"); }
QString RunFiles::secondScript() { return settings() + QStringLiteral("/AVI.bat"); }
QString RunFiles::encoderCopy() { return encoderCopyIn(settings()); }
QString RunFiles::threadLibCopy() { return settings() + QStringLiteral("/pthreadGC2.dll"); }
QString RunFiles::shippedEncoder() { return program() + QStringLiteral("/AVI.dll"); }
QString RunFiles::shippedThreadLib() { return program() + QStringLiteral("/pthreadGC2.dll"); }
QString RunFiles::interpreter() { return program() + QStringLiteral("/tapeweld-cmd"); }
QString RunFiles::writer() { return program() + QStringLiteral("/tapeweld-join"); }
QString RunFiles::writerLog() { return settings() + QStringLiteral("/Join.log"); }

QString RunFiles::errorLogOf(const QString &script)
{
    QString log = script;
    if (log.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive))
        log.chop(4);
    return log + QStringLiteral(".log");
}
