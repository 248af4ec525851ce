#include "ReadWriteIniFile.h"
#include "../platform/FileSystem.h"
#include "../platform/IniFile.h"

QString ReadIniValue(const QString &section, const QString &key, const QString &file)
{
    return IniFile::read(section, key, QString(), file, 254);
}

bool WriteIniValue(const QString &section, const QString &key, const QString &value, const QString &file)
{
    FileSystem::makeWritable(file);
    return IniFile::write(section, key, value, file);
}
