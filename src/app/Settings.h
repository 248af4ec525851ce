#pragma once
#include "SettingsKeys.h"

#include <QtGlobal>

// Settings.ini in the per-user folder, read at the moment a value is needed.
namespace Settings {
// The key's value, or its default when the file has none.
QString read(const SettingsKeys::Key &key);
// A write that fails is told once by a message (see WriteIniValue).
void write(const SettingsKeys::Key &key, const QString &value);

// Check-box preferences hold the box's value: 0 clear, 1 ticked, 2 greyed.
// A value that is not a whole number keeps current.
int readCheckValue(const SettingsKeys::Key &key, int current);
// The same, with the key's default as what is kept.
int readCheckValue(const SettingsKeys::Key &key);
void writeCheckValue(const SettingsKeys::Key &key, int value);

// The remembered-folder protocol of every file dialog.
QString startFolder(const SettingsKeys::Key &key);
// After a dialog returned chosenPath: writes its folder when it differs from start.
void rememberFolder(const SettingsKeys::Key &key, const QString &start, const QString &chosenPath);
// Between stored box values and Qt's states (whose "checked" is 2).
inline Qt::CheckState checkStateOf(int value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}
inline int valueOf(Qt::CheckState state) { return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0; }
} // namespace Settings
