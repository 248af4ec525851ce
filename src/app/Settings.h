#pragma once
#include "SettingsKeys.h"

// Settings.ini in the per-user folder, read at the moment a value is needed.
namespace Settings {
QString read(const SettingsKeys::Key &key);
bool write(const SettingsKeys::Key &key, const QString &value);

// Check-box preferences: a value that is not a whole number keeps current.
int readCheckValue(const SettingsKeys::Key &key, int current);
void writeCheckValue(const SettingsKeys::Key &key, int value);

// The remembered-folder protocol of every file dialog.
QString startFolder(const SettingsKeys::Key &key);
// After a dialog returned chosenPath: writes its folder when it differs from start.
void rememberFolder(const SettingsKeys::Key &key, const QString &start, const QString &chosenPath);
} // namespace Settings
