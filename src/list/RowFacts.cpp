#include "RowFacts.h"
#include "ProbeListItem.h"
#include "app/TextFormats.h"

void RowFacts::readFrom(Cell cell, const QString &text)
{
    bool ok = false;
    switch (cell) {
    case Filesize:
        kilobytes = TextFormats::leadingNumber(text, QStringLiteral(" KB"), &ok);
        if (!ok)
            kilobytes = -1;
        bytes = ok ? static_cast<qint64>(kilobytes * 1024) : -1;
        break;
    case DateModified: modified = TextFormats::readGeneralDate(text); break;
    case Duration:
        seconds = static_cast<qint64>(TextFormats::leadingNumber(text, QStringLiteral(" seconds"), &ok));
        if (!ok)
            seconds = -1;
        break;
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
