#include "TextFormats.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {
QString longTimeFormat(const QLocale &locale)
{
    // The locale's long time without the time-zone name.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}
} // namespace

QString TextFormats::generalDate(const QDateTime &localTime)
{
    const QLocale locale;
    const QString date = locale.toString(localTime.date(), QLocale::ShortFormat);
    if (localTime.time() == QTime(0, 0))
        return date;
    return date + u' ' + locale.toString(localTime.time(), longTimeFormat(locale));
}

QDateTime TextFormats::readGeneralDate(const QString &text)
{
    const QLocale locale;
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    QDateTime t = locale.toDateTime(text.trimmed(), dateFormat + u' ' + longTimeFormat(locale));
    if (!t.isValid()) {
        const QDate date = locale.toDate(text.trimmed(), dateFormat);
        if (date.isValid())
            t = QDateTime(date, QTime(0, 0));
    }
    if (t.isValid() && !dateFormat.contains(QStringLiteral("yyyy")) && t.date().year() < 1970)
        t = t.addYears(100);
    return t;
}

QString TextFormats::groupedOrEmpty(double value)
{
    const double rounded = std::floor(value + 0.5);
    if (rounded == 0)
        return QString();
    return QLocale().toString(rounded, 'f', 0);
}

QString TextFormats::kilobytesText(double kilobytes)
{
    const QString digits = groupedOrEmpty(kilobytes);
    return (digits.isEmpty() ? QStringLiteral("0") : digits) + QStringLiteral(" KB");
}

double TextFormats::leadingNumber(QString text, const QString &suffix, bool *ok)
{
    text.remove(suffix);
    const QLocale locale;
    bool parsed = false;
    double value = locale.toDouble(text.trimmed(), &parsed);
    if (!parsed)
        value = QLocale::c().toDouble(text.trimmed(), &parsed);
    if (ok)
        *ok = parsed;
    return parsed ? std::floor(value) : 0;
}

QString TextFormats::timeOfDay(qint64 seconds)
{
    qint64 s = seconds % 86400;
    if (s < 0)
        s += 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QChar(u'0'))
        .arg((s / 60) % 60, 2, 10, QChar(u'0'))
        .arg(s % 60, 2, 10, QChar(u'0'));
}

QCollator TextFormats::naturalCollator()
{
    // The user's locale; the C locale's collator compares code points and knows
    // no numbers, so there the language-neutral order stands in.
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

void TextFormats::sortNaturally(QStringList &names)
{
    const QCollator collator = naturalCollator();
    std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

qint64 TextFormats::roundHalfEven(double value) { return static_cast<qint64>(std::nearbyint(value)); }

qint64 TextFormats::wholeNumber(const QString &text, bool *ok)
{
    bool parsed = false;
    const double v = text.trimmed().toDouble(&parsed);
    const double r = std::nearbyint(v);
    *ok = parsed && std::isfinite(v) && r >= -2147483648.0 && r <= 2147483647.0;
    return *ok ? static_cast<qint64>(r) : 0;
}
