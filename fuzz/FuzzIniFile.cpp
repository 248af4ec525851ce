// The INI reader and writer: on any existing text, a value written under a
// section and key reads back as written (trimmed, outer quotes removed), and
// every other key of the file keeps the value it had.
#include "FuzzCheck.h"
#include "platform/IniFile.h"

#include <QStringList>

namespace {
QString expected(const QString &value)
{
    QString v = value.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
        v = v.mid(1, v.size() - 2);
    return v;
}
bool usableName(const QString &name, bool key)
{
    if (name.isEmpty() || name != name.trimmed() || name.contains(u'\r') || name.contains(u'\n') || name.contains(QChar(0)))
        return false;
    if (key)
        return !name.contains(u'=') && !name.startsWith(u';') && !name.startsWith(u'[') && !name.startsWith(QChar(0xFEFF));
    return !name.contains(u']');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    // Input: section, key and value on the first three lines (by "\x01"), then the old file.
    const QByteArray all(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> parts = all.split('\x01');
    if (parts.size() < 4)
        return 0;
    const QString section = QString::fromUtf8(parts[0]), key = QString::fromUtf8(parts[1]), value = QString::fromUtf8(parts[2]);
    const QByteArray old = all.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3);
    if (!usableName(section, false) || !usableName(key, true) || value.contains(u'\r') || value.contains(u'\n'))
        return 0;
    const QByteArray written = IniFile::withValue(old, section, key, value);
    FUZZ_CHECK(IniFile::lookup(written, section, key, QStringLiteral("<none>"), 1 << 20) == expected(value));
    // Another key of the same section keeps its value.
    const QString other = key + QStringLiteral("x");
    FUZZ_CHECK(IniFile::lookup(written, section, other, QString(), 1 << 20) == IniFile::lookup(old, section, other, QString(), 1 << 20));
    // Writing the same value again changes nothing.
    FUZZ_CHECK(IniFile::withValue(written, section, key, value) == written);
    return 0;
}
