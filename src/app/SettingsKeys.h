#pragma once
#include <QString>

// Every key of Settings.ini, in the forms the program writes, with the value
// it stands for while the file has none.
namespace SettingsKeys {
struct Key
{
    QString section;
    QString name;
    QString defaultValue;
};

// Check boxes: 0 clear, 1 ticked; the defaults are the boxes' design values.
inline const Key kDoNotShowSplash{QStringLiteral("Splashscreen"), QStringLiteral("DoNotShowAtStartup"), QStringLiteral("0")};
inline const Key kTipsShowAtStartup{QStringLiteral("Tips"), QStringLiteral("ShowAtStartup"), QStringLiteral("0")};
// The tips: how many, and each by number.
inline const Key kTipsCount{QStringLiteral("Tips"), QStringLiteral("Count"), QStringLiteral("0")};
inline Key tip(int number) { return {QStringLiteral("Tips"), QStringLiteral("Tip") + QString::number(number), QString()}; }
// The folder each file dialog opens in; empty: the dialog's own choice.
inline const Key kAddFiles{QStringLiteral("Commondialog"), QStringLiteral("AddFiles"), QString()};
inline const Key kJoinFiles{QStringLiteral("Commondialog"), QStringLiteral("JoinFiles"), QString()};
inline const Key kSaveList{QStringLiteral("Commondialog"), QStringLiteral("SaveList"), QString()};
inline const Key kOpenList{QStringLiteral("Commondialog"), QStringLiteral("OpenList"), QString()};
// The main window's frame and columns, in pixels; empty: never changed by the user.
inline const Key kWindowLeft{QStringLiteral("Window"), QStringLiteral("Left"), QString()};
inline const Key kWindowTop{QStringLiteral("Window"), QStringLiteral("Top"), QString()};
inline const Key kWindowWidth{QStringLiteral("Window"), QStringLiteral("Width"), QString()};
inline const Key kWindowHeight{QStringLiteral("Window"), QStringLiteral("Height"), QString()};
inline const Key kWindowMaximized{QStringLiteral("Window"), QStringLiteral("Maximized"), QStringLiteral("0")};
// Who writes a join's output: an engine's setting name (join/Engines).
inline const Key kJoinEngine{QStringLiteral("Join"), QStringLiteral("Engine"), QStringLiteral("Encoder")};
inline const Key kWindowColumns{QStringLiteral("Window"), QStringLiteral("Columns"), QString()};
} // namespace SettingsKeys
