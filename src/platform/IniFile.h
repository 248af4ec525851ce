#pragma once
#include "Result.h"

#include <QString>

// Private-profile (INI) access with the semantics Windows programs rely on:
// case-insensitive section and key names, trimmed values, first match wins,
// writes that keep every other line.
namespace IniFile {

// Returns at most maxChars characters of the value, or defaultValue when the
// file, section or key is missing or the file cannot be read. A value that
// holds a line break is refused by write: it would add lines of its own.
// overlong: set when the file holds a line longer than kMaxLineBytes.
QString read(const QString &section, const QString &key, const QString &defaultValue,
             const QString &file, int maxChars, bool *overlong = nullptr);

// Replaces the value in place, appends a missing key to its section and a
// missing section to the file; CR LF line ends. The old file stays as it was
// until the new one is completely on disk.
Result write(const QString &section, const QString &key, const QString &value, const QString &file);

// The same on text in memory: the value a file holding data gives, and the
// text it holds after a write.
QString lookup(const QByteArray &data, const QString &section, const QString &key, const QString &defaultValue, int maxChars);
// No setting needs a longer line; a longer one is passed over when a value is read.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;
QByteArray withValue(const QByteArray &data, const QString &section, const QString &key, const QString &value);

} // namespace IniFile
