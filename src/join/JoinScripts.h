#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
class FileList;

// The two batch scripts of a join and the encoder put in place for them.
namespace JoinScripts {
inline const QString kTempSuffix = QStringLiteral(".tpw.avi"); // T = O + suffix (8 characters)
inline const QString kEncoderOptions = QStringLiteral("-forceidx -oac copy -ovc copy");

QString workFolder();     // S + "/JoinTemp"
QString firstScript();    // S + "/TempFile.bat"
QString secondScript();   // S + "/AVI.bat"
QString encoderCopy();    // S + "/AVI.exe"
QString threadLibCopy();  // S + "/pthreadGC2.dll"
QString shippedEncoder(); // P + "/AVI.dll"
QString interpreter();    // P + "/tapeweld-cmd", which runs the scripts
// Writes a script as a new file (a new inode) in place of an older one.
bool writeScript(const QString &path, const QByteArray &content);

// "Copy /b" lines, the first creating T, the others appending to it.
QStringList copyLines(const QStringList &inputs, const QString &temp);
QByteArray firstScriptText(const QStringList &inputs, const QString &temp, const QString &settingsPath);
// The encoder line: quoted encoder copy, options, quoted input, -o, quoted output.
QString encoderLine(const QString &settingsPath, const QString &input, const QString &output);
QByteArray secondScriptText(const QString &settingsPath, const QString &temp, const QString &output);
// Copies a shipped file over an older copy and keeps it runnable. False on failure.
bool copyExecutable(const QString &from, const QString &to);
// The clean-up of Cancel and Close: the work folder, the scripts and their
// error logs, the encoder copy and the library copy. Only for the holder of
// the run lock, once its own processes have ended.
void removeWorkFiles();
// Deletes the files, retrying while a process still holds them and letting
// window events run, for at most waitMs; beforeEachTry runs before each round.
// True when they are all gone.
bool removeWithin(const QStringList &files, int waitMs, const std::function<void()> &beforeEachTry);
} // namespace JoinScripts

void WriteJoinScripts(const FileList &list, const QString &outputPath);
