#include "IniFile.h"
#include "SafeFile.h"
#include "TextCodec.h"
#include "TextLines.h"

#include <QFile>
#include <sys/stat.h>

namespace {

// Larger files are not settings files; reading them would only stall the window.
constexpr qint64 kMaxIniBytes = 16 * 1024 * 1024;

const QByteArray kBom = "\xEF\xBB\xBF";

// A byte-order mark stays where it is in the file but never hides the first line.
QByteArray withoutBom(const QByteArray &line) { return line.startsWith(kBom) ? line.mid(3) : line; }

bool sectionOf(const QByteArray &line, QString *name)
{
    const QByteArray t = withoutBom(line).trimmed();
    if (!t.startsWith('['))
        return false;
    const int close = t.indexOf(']');
    *name = TextCodec::decode(close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

bool keyOf(const QByteArray &line, QString *key, QString *value)
{
    const QByteArray t = withoutBom(line).trimmed();
    if (t.isEmpty() || t.startsWith(';'))
        return false;
    const int eq = t.indexOf('=');
    if (eq < 0)
        return false;
    *key = TextCodec::decode(t.left(eq)).trimmed();
    if (value)
        *value = TextCodec::decode(t.mid(eq + 1)).trimmed();
    return true;
}

bool same(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

QString IniFile::read(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &file, int maxChars, bool *overlong)
{
    QByteArray data;
    if (!SafeFile::readRegular(file, kMaxIniBytes, &data).ok())
        return defaultValue.left(maxChars);
    if (overlong) {
        qsizetype run = 0;
        *overlong = false;
        for (const char c : std::as_const(data)) {
            run = c == '\r' || c == '\n' ? 0 : run + 1;
            if (run > kMaxLineBytes) {
                *overlong = true;
                break;
            }
        }
    }
    return lookup(data, section, key, defaultValue, maxChars);
}

QString IniFile::lookup(const QByteArray &data, const QString &section, const QString &key, const QString &defaultValue,
                        int maxChars)
{
    const QList<QByteArray> lines = TextLines::split(data);
    bool inSection = false;
    for (const QByteArray &line : lines) {
        QString name, k, v;
        if (line.size() > kMaxLineBytes)
            continue;
        if (sectionOf(line, &name)) {
            if (inSection)
                break; // only the first matching section is read
            inSection = same(name, section);
        } else if (inSection && keyOf(line, &k, &v) && same(k, key)) {
            if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
                v = v.mid(1, v.size() - 2);
            return v.left(maxChars);
        }
    }
    return defaultValue.left(maxChars);
}

Result IniFile::write(const QString &section, const QString &key, const QString &value, const QString &file)
{
    if (value.contains(u'\r') || value.contains(u'\n') || key.contains(u'\r') || key.contains(u'\n'))
        return Result::failure(QStringLiteral("a setting cannot hold a line break"));
    QByteArray data;
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) == 0)
        if (const Result read = SafeFile::readRegular(file, kMaxIniBytes, &data); !read.ok())
            return read;
    return SafeFile::replace(file, withValue(data, section, key, value));
}

QByteArray IniFile::withValue(const QByteArray &data, const QString &section, const QString &key, const QString &value)
{
    QList<QByteArray> lines = TextLines::split(data);
    const QByteArray newLine = key.toUtf8() + '=' + value.toUtf8();

    int sectionLine = -1;  // the first matching section
    int lastInSection = -1; // last non-blank line of that section
    int keyLine = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name, k;
        if (sectionOf(lines[i], &name)) {
            if (inSection)
                break;
            inSection = same(name, section);
            if (inSection) {
                sectionLine = i;
                lastInSection = i;
            }
        } else if (inSection) {
            if (!lines[i].trimmed().isEmpty())
                lastInSection = i;
            if (keyOf(lines[i], &k, nullptr) && same(k, key)) {
                keyLine = i;
                break;
            }
        }
    }
    if (keyLine >= 0)
        lines[keyLine] = newLine;
    else if (sectionLine >= 0)
        lines.insert(lastInSection + 1, newLine);
    else
        lines << '[' + section.toUtf8() + ']' << newLine;

    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}
