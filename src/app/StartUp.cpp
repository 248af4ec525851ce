#include "StartUp.h"
#include "AppPaths.h"
#include "DebugLog.h"
#include "Dialogs.h"
#include "Settings.h"
#include "SystemServices.h"
#include "TextFormats.h"

#include <QFile>

bool StartUp::isDebugSwitch(const QStringList &arguments)
{
    return arguments.size() == 1 && arguments.first() == QStringLiteral("/debug");
}

StartUp::Preferences StartUp::run(const QStringList &arguments)
{
    const QString settingsPath = GetSpecialFolderPath(kFolderAppData | kFolderCreate) + AppPaths::kSuffix;
    CreateFolderChain(settingsPath);
    AppPaths::setApplicationSettingsPath(settingsPath);

    if (isDebugSwitch(arguments)) {
        const QDateTime now = QDateTime::currentDateTime();
        StartDebugLog(settingsPath + u'/' + DebugLog::fileNameFor(now));
        WriteDebugLog(QStringLiteral("LogFile created on: ") + TextFormats::generalDate(now));
        Dialogs::message(QStringLiteral("Tapeweld is now running in debug-mode."), Dialogs::Icon::Information);
    }

    if (!PathExists(AppPaths::settingsFile())) {
        const QString source = AppPaths::programFolder() + QStringLiteral("/DefaultSettings.ini");
        if (QFile::copy(source, AppPaths::settingsFile()) && IsDebugLogActive())
            WriteDebugLog(QStringLiteral("'DefaultSettings.ini' has been copied to 'AppData\\Settings.ini'."));
    }

    Preferences prefs;
    prefs.tipsShowAtStartup = Settings::readCheckValue(SettingsKeys::kTipsShowAtStartup);
    prefs.doNotShowSplash = Settings::readCheckValue(SettingsKeys::kDoNotShowSplash);
    return prefs;
}
