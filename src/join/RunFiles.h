#pragma once
#include <QString>

// The files a join or a repair runs with. S is the per-user settings folder
// (ApplicationSettingsPath), P the program folder; both without a trailing
// separator. Every instance of one user shares S, so only the holder of the
// run lock touches these.
namespace RunFiles {
QString workFolder();     // S/JoinTemp: made before a script starts, removed by its last line
QString firstScript();    // S/TempFile.bat: the join's copy script
QString secondScript();   // S/AVI.bat: the encoder script of a join or a repair
QString encoderCopy();    // S/AVI.exe: the encoder the scripts run
QString threadLibCopy();  // S/pthreadGC2.dll: nothing is shipped under that name here
QString shippedEncoder(); // P/AVI.dll
QString shippedThreadLib(); // P/pthreadGC2.dll
QString interpreter();    // P/tapeweld-cmd, which runs the scripts
QString writer();         // P/tapeweld-join, Tapeweld's own AVI writer
QString writerLog();      // S/Join.log: why the writer failed
// The same names in a given settings folder, as the scripts spell them.
QString workFolderIn(const QString &settingsPath);
QString encoderCopyIn(const QString &settingsPath);
// Where a script's interpreter writes its failures: "TempFile.bat" -> "TempFile.log".
QString errorLogOf(const QString &script);
} // namespace RunFiles
