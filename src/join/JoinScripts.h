#pragma once
#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
class RunSession;

// The two batch scripts of a join, byte for byte, and the helpers every script
// shares. Names: O is the output path; T the intermediate file, O followed by
// ".tpw.avi"; S the per-user settings folder (see RunFiles).
namespace JoinScripts {
inline const QString kTempSuffix = QStringLiteral(".tpw.avi"); // 8 characters: O is T without them
inline const QString kEncoderOptions = QStringLiteral("-forceidx -oac copy -ovc copy");

inline QString tempFileFor(const QString &output) { return output + kTempSuffix; }
QString quoted(const QString &path);
// The three lines every script begins with.
QStringList header();
// The line that removes S's work folder: each script's last act.
QString rmdirLine(const QString &settingsPath);
// Lines as a script file holds them: UTF-8, each ended by CR LF.
QByteArray text(const QStringList &lines);

// "Copy /b" lines, the first creating T, the others appending to it.
QStringList copyLines(const QStringList &inputs, const QString &temp);
QByteArray firstScriptText(const QStringList &inputs, const QString &temp, const QString &settingsPath);
// The encoder line: quoted encoder copy in S, options, quoted input, -o, quoted output.
QString encoderLine(const QString &settingsPath, const QString &input, const QString &output);
QByteArray secondScriptText(const QString &settingsPath, const QString &temp, const QString &output);
} // namespace JoinScripts

// Writes both scripts of a join from the rows' paths and puts the encoder in
// place for the run (which holds the lock); the debug log gets T and each copy line.
Result WriteJoinScripts(RunSession &run, const QStringList &inputs, const QString &outputPath);
