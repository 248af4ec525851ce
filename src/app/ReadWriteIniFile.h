#pragma once
#include <QString>

// Values come back cut at 254 characters, as from a 255-character buffer.
QString ReadIniValue(const QString &section, const QString &key, const QString &file);
// Makes the file writable first; true when the write succeeded.
bool WriteIniValue(const QString &section, const QString &key, const QString &value, const QString &file);
