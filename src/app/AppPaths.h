#pragma once
#include <QString>

// Where the program's files live for this run.
namespace AppPaths {
// The per-user folder, without a trailing separator. Set once by start-up.
QString applicationSettingsPath();
void setApplicationSettingsPath(const QString &path);
QString settingsFile(); // ApplicationSettingsPath + "/Settings.ini"
inline const QString kSuffix = QStringLiteral("/Larkvane/Tapeweld");

// The folder of the running program (what it ships lies there).
QString programFolder();
void setProgramFolder(const QString &path); // tests point it at the build's folder
} // namespace AppPaths
