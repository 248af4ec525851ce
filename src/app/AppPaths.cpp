#include "AppPaths.h"

#include <QCoreApplication>

namespace {
QString g_settingsPath;
QString g_programFolder;
} // namespace

QString AppPaths::applicationSettingsPath() { return g_settingsPath; }
void AppPaths::setApplicationSettingsPath(const QString &path) { g_settingsPath = path; }
QString AppPaths::settingsFile() { return g_settingsPath + QStringLiteral("/Settings.ini"); }

QString AppPaths::programFolder()
{
    if (g_programFolder.isEmpty() && QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return g_programFolder;
}
void AppPaths::setProgramFolder(const QString &path) { g_programFolder = path; }
