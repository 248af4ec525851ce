#include "Settings.h"
#include "AppPaths.h"
#include "ReadWriteIniFile.h"
#include "TextFormats.h"
#include "platform/FileSystem.h"

QString Settings::read(const SettingsKeys::Key &key)
{
    return ReadIniValue(key.section, key.name, AppPaths::settingsFile(), key.defaultValue);
}

void Settings::write(const SettingsKeys::Key &key, const QString &value)
{
    (void)WriteIniValue(key.section, key.name, value, AppPaths::settingsFile()); // a failure was told
}

int Settings::readCheckValue(const SettingsKeys::Key &key, int current)
{
    bool ok = false;
    const qint64 value = TextFormats::wholeNumber(read(key), &ok);
    return ok ? static_cast<int>(value) : current;
}

int Settings::readCheckValue(const SettingsKeys::Key &key)
{
    bool ok = false;
    return readCheckValue(key, static_cast<int>(TextFormats::wholeNumber(key.defaultValue, &ok)));
}

void Settings::writeCheckValue(const SettingsKeys::Key &key, int value) { write(key, QString::number(value)); }

QString Settings::startFolder(const SettingsKeys::Key &key) { return read(key); }

void Settings::rememberFolder(const SettingsKeys::Key &key, const QString &start, const QString &chosenPath)
{
    if (chosenPath.isEmpty())
        return;
    const QString folder = FileSystem::folderPart(chosenPath);
    // A folder whose name holds a line break is not remembered: the line would be cut.
    if (folder != start && !folder.contains(u'\r') && !folder.contains(u'\n'))
        write(key, folder);
}
