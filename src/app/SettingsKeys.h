#pragma once
#include <QString>

// Every key of Settings.ini, in the forms the program writes.
namespace SettingsKeys {
struct Key
{
    QString section;
    QString name;
};
inline const Key kDoNotShowSplash{QStringLiteral("Splashscreen"), QStringLiteral("DoNotShowAtStartup")};
inline const Key kTipsShowAtStartup{QStringLiteral("Tips"), QStringLiteral("ShowAtStartup")};
inline const Key kTipsCount{QStringLiteral("Tips"), QStringLiteral("Count")};
inline Key tip(int number) { return {QStringLiteral("Tips"), QStringLiteral("Tip") + QString::number(number)}; }
inline const Key kAddFiles{QStringLiteral("Commondialog"), QStringLiteral("AddFiles")};
inline const Key kJoinFiles{QStringLiteral("Commondialog"), QStringLiteral("JoinFiles")};
inline const Key kSaveList{QStringLiteral("Commondialog"), QStringLiteral("SaveList")};
inline const Key kOpenList{QStringLiteral("Commondialog"), QStringLiteral("OpenList")};
} // namespace SettingsKeys
