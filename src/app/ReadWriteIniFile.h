#pragma once
#include <QString>

// Values come back cut at 254 characters, as from a 255-character buffer.
QString ReadIniValue(const QString &section, const QString &key, const QString &file, const QString &defaultValue = QString());
// Makes the file writable first; true when the write succeeded. A failure is
// told by a message, once per file and reason in a run.
[[nodiscard]] bool WriteIniValue(const QString &section, const QString &key, const QString &value, const QString &file);
