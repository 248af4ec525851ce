#include "JoinScripts.h"
#include "RunFiles.h"
#include "RunSession.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/Version.h"

QString JoinScripts::quoted(const QString &path) { return u'"' + path + u'"'; }

QStringList JoinScripts::header()
{
    return {QStringLiteral("@echo off"), QStringLiteral("echo Generated with Tapeweld"),
            QStringLiteral("echo Visit us at: ") + Version::kWebAddress};
}

QString JoinScripts::rmdirLine(const QString &settingsPath) { return QStringLiteral("rmdir ") + quoted(RunFiles::workFolderIn(settingsPath)); }

QByteArray JoinScripts::text(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

QStringList JoinScripts::copyLines(const QStringList &inputs, const QString &temp)
{
    QStringList out;
    for (int k = 0; k < inputs.size(); ++k)
        out << (k == 0 ? QString(QStringLiteral("Copy /b ") + quoted(inputs[0]) + u' ' + quoted(temp))
                       : QString(QStringLiteral("Copy /b ") + quoted(temp) + u'+' + quoted(inputs[k]) + u' ' + quoted(temp)));
    return out;
}

QByteArray JoinScripts::firstScriptText(const QStringList &inputs, const QString &temp, const QString &settingsPath)
{
    return text(header() + copyLines(inputs, temp)
                + QStringList{rmdirLine(settingsPath), QStringLiteral("echo Joined Succesfully!"), QStringLiteral("exit")});
}

QString JoinScripts::encoderLine(const QString &settingsPath, const QString &input, const QString &output)
{
    return quoted(RunFiles::encoderCopyIn(settingsPath)) + u' ' + kEncoderOptions + u' ' + quoted(input) + QStringLiteral(" -o ")
           + quoted(output);
}

QByteArray JoinScripts::secondScriptText(const QString &settingsPath, const QString &temp, const QString &output)
{
    return text(header() + QStringList{QStringLiteral("echo Fixing AVI File..."), encoderLine(settingsPath, temp, output),
                                       QStringLiteral("echo AVI File has been fixed!"), QStringLiteral("del ") + quoted(temp),
                                       rmdirLine(settingsPath), QStringLiteral("exit")});
}

Result WriteJoinScripts(RunSession &run, const QStringList &inputs, const QString &outputPath)
{
    const QString temp = JoinScripts::tempFileFor(outputPath);
    const QString s = AppPaths::applicationSettingsPath();
    if (IsDebugLogActive()) {
        WriteDebugLog(QStringLiteral("TempFile=") + temp);
        for (const QString &line : JoinScripts::copyLines(inputs, temp))
            WriteDebugLog(QStringLiteral("1BAT=") + line);
    }
    return run.prepare({{RunFiles::firstScript(), JoinScripts::firstScriptText(inputs, temp, s)},
                        {RunFiles::secondScript(), JoinScripts::secondScriptText(s, temp, outputPath)}});
}
