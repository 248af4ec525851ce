#pragma once
#include <QCollator>
#include <QDateTime>
#include <QString>

// Number and date texts as the user's locale writes them.
namespace TextFormats {
// Short date, a blank and the long time; the date alone at exactly midnight.
QString generalDate(const QDateTime &localTime);
// The time such a text stands for (two-digit years in 1970-2069); invalid when it is none.
QDateTime readGeneralDate(const QString &text);
// Whole number with thousands separators; "" for 0 (the "#,###,###" pattern).
QString groupedOrEmpty(double value);
// "12,345 KB" for a count of kilobytes (rounded half up), "0 KB" for none; and for a count of bytes.
QString kilobytesText(double kilobytes);
inline QString kilobytesOfBytes(double bytes) { return kilobytesText(bytes / 1024); }
// Reads "12,345 KB" or "1234 seconds" back: suffix removed, locale separators
// accepted, fraction dropped. ok is false when the rest is not a number.
double leadingNumber(QString text, const QString &suffix, bool *ok);
// Seconds after midnight as "hh:mm:ss", wrapping at 24 hours.
QString timeOfDay(qint64 seconds);
// A number text as a whole number the way CInt reads it ("1.0" is 1, "3.7"
// is 4, halves to even); ok is false when it is no number or out of 32 bits.
qint64 wholeNumber(const QString &text, bool *ok);
// Names in natural order: runs of digits compared as numbers ("clip 2" before
// "clip 10"), letters without regard to case, in the user's locale.
QCollator naturalCollator();
void sortNaturally(QStringList &names);
// Round half to even, as the classic Round and CInt do.
qint64 roundHalfEven(double value);
} // namespace TextFormats
