#include "JoinScripts.h"
#include "ScriptRun.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/SystemServices.h"
#include "app/Version.h"
#include "list/FileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <cstdio>

namespace {
QString q(const QString &path) { return u'"' + path + u'"'; }

QByteArray lines(const QStringList &l)
{
    QByteArray out;
    for (const QString &line : l)
        out += line.toUtf8() + "\r\n";
    return out;
}

} // namespace

// A new file renamed over the old: an interpreter still reading the old script
// sees another file and stops instead of reading on at its old offset.
bool JoinScripts::writeScript(const QString &path, const QByteArray &content)
{
    const QString fresh = path + QStringLiteral(".new");
    QFile::remove(fresh);
    QFile f(fresh);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || f.write(content) != content.size() || !f.flush()) {
        f.close();
        QFile::remove(fresh);
        return false;
    }
    f.close();
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(fresh);
        return false;
    }
    return true;
}

namespace {

QStringList header()
{
    return {QStringLiteral("@echo off"), QStringLiteral("echo Generated with Tapeweld"),
            QStringLiteral("echo Visit us at: ") + Version::kWebAddress};
}
} // namespace

QString JoinScripts::workFolder() { return AppPaths::applicationSettingsPath() + QStringLiteral("/JoinTemp"); }
QString JoinScripts::firstScript() { return AppPaths::applicationSettingsPath() + QStringLiteral("/TempFile.bat"); }
QString JoinScripts::secondScript() { return AppPaths::applicationSettingsPath() + QStringLiteral("/AVI.bat"); }
QString JoinScripts::encoderCopy() { return AppPaths::applicationSettingsPath() + QStringLiteral("/AVI.exe"); }
QString JoinScripts::threadLibCopy() { return AppPaths::applicationSettingsPath() + QStringLiteral("/pthreadGC2.dll"); }

QString JoinScripts::shippedEncoder() { return AppPaths::programFolder() + QStringLiteral("/AVI.dll"); }
QString JoinScripts::interpreter() { return AppPaths::programFolder() + QStringLiteral("/tapeweld-cmd"); }


QStringList JoinScripts::copyLines(const QStringList &inputs, const QString &temp)
{
    QStringList out;
    for (int k = 0; k < inputs.size(); ++k)
        out << (k == 0 ? QStringLiteral("Copy /b ") + q(inputs[0]) + u' ' + q(temp)
                       : QStringLiteral("Copy /b ") + q(temp) + u'+' + q(inputs[k]) + u' ' + q(temp));
    return out;
}

QByteArray JoinScripts::firstScriptText(const QStringList &inputs, const QString &temp, const QString &settingsPath)
{
    return lines(header() + copyLines(inputs, temp)
                 + QStringList{QStringLiteral("rmdir ") + q(settingsPath + QStringLiteral("/JoinTemp")),
                               QStringLiteral("echo Joined Succesfully!"), QStringLiteral("exit")});
}

QString JoinScripts::encoderLine(const QString &settingsPath, const QString &input, const QString &output)
{
    return q(settingsPath + QStringLiteral("/AVI.exe")) + u' ' + kEncoderOptions + u' ' + q(input) + QStringLiteral(" -o ")
           + q(output);
}

QByteArray JoinScripts::secondScriptText(const QString &settingsPath, const QString &temp, const QString &output)
{
    return lines(header() + QStringList{QStringLiteral("echo Fixing AVI File..."), encoderLine(settingsPath, temp, output),
                                        QStringLiteral("echo AVI File has been fixed!"), QStringLiteral("del ") + q(temp),
                                        QStringLiteral("rmdir ") + q(settingsPath + QStringLiteral("/JoinTemp")),
                                        QStringLiteral("exit")});
}

bool JoinScripts::copyExecutable(const QString &from, const QString &to)
{
    if (!QFile::exists(from))
        return false;
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return false;
    QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void JoinScripts::removeWorkFiles()
{
    QDir().rmdir(workFolder());
    for (const QString &script : {firstScript(), secondScript()}) {
        QFile::remove(script);
        QFile::remove(ScriptRun::errorLogOf(script));
    }
    QFile::remove(encoderCopy());
    QFile::remove(threadLibCopy());
}

bool JoinScripts::removeWithin(const QStringList &files, int waitMs, const std::function<void()> &beforeEachTry)
{
    auto anyLeft = [&] { return std::any_of(files.begin(), files.end(), [](const QString &f) { return PathExists(f); }); };
    QElapsedTimer waited;
    waited.start();
    while (anyLeft() && waited.elapsed() < waitMs) {
        if (beforeEachTry)
            beforeEachTry();
        for (const QString &f : files)
            QFile::remove(f);
        QCoreApplication::processEvents();
        if (anyLeft())
            QThread::msleep(20);
    }
    return !anyLeft();
}

void WriteJoinScripts(const FileList &list, const QString &outputPath)
{
    const QString temp = outputPath + JoinScripts::kTempSuffix;
    const QString s = AppPaths::applicationSettingsPath();
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("TempFile=") + temp);
    QStringList inputs;
    for (const FileListModel::Row &row : list.model().rows())
        inputs << row[FileListModel::Filepath];
    if (IsDebugLogActive())
        for (const QString &line : JoinScripts::copyLines(inputs, temp))
            WriteDebugLog(QStringLiteral("1BAT=") + line);
    JoinScripts::writeScript(JoinScripts::firstScript(), JoinScripts::firstScriptText(inputs, temp, s));
    JoinScripts::copyExecutable(JoinScripts::shippedEncoder(), JoinScripts::encoderCopy());
    // The thread library has no counterpart here; its copy fails silently like any failed copy.
    JoinScripts::copyExecutable(AppPaths::programFolder() + QStringLiteral("/pthreadGC2.dll"), JoinScripts::threadLibCopy());
    JoinScripts::writeScript(JoinScripts::secondScript(), JoinScripts::secondScriptText(s, temp, outputPath));
}
