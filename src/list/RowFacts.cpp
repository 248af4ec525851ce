#include "RowFacts.h"
#include "ProbeListItem.h"
#include "app/TextFormats.h"

namespace {
// A number a text may hold but no file or play time can have is no value.
constexpr double kLargest = 4.0e15;
} // namespace

void RowFacts::readFrom(Cell cell, const QString &text)
{
    bool ok = false;
    switch (cell) {
    case Filesize:
        kilobytes = TextFormats::leadingNumber(text, QStringLiteral(" KB"), &ok);
        if (!ok || kilobytes < 0 || kilobytes > kLargest / 1024)
            kilobytes = -1;
        bytes = kilobytes >= 0 ? static_cast<qint64>(kilobytes * 1024) : -1;
        break;
    case DateModified: modified = QDateTime(); break; // read from its text when a sort needs it: reading dates is slow
    case Duration:
    {
        const double s = TextFormats::leadingNumber(text, QStringLiteral(" seconds"), &ok);
        seconds = ok && s >= 0 && s <= kLargest ? static_cast<qint64>(s) : -1;
        break;
    }
    case VideoSize: {
        const qsizetype x = text.indexOf(u'x');
        bool wOk = false, hOk = false;
        const int w = text.left(x).toInt(&wOk), h = text.mid(x + 1).toInt(&hOk);
        width = x > 0 && wOk && hOk ? w : -1;
        height = x > 0 && wOk && hOk ? h : -1;
        break;
    }
    }
}

bool RowFacts::streamsCurrent(const QString &path) const { return !stamp.isEmpty() && stamp == MediaProbe::stampOf(path); }
