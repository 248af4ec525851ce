#include "TextLines.h"

QList<QByteArray> TextLines::split(const QByteArray &data)
{
    // One pass: a run of CRs is looked at once, whatever follows it.
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c == '\n') {
            lines.append(data.mid(start, i - start));
            start = i + 1;
        } else if (c == '\r') {
            qsizetype end = i; // the last CR of the run
            while (end + 1 < n && data[end + 1] == '\r')
                ++end;
            lines.append(data.mid(start, i - start));
            if (end + 1 < n && data[end + 1] == '\n') {
                i = end + 1; // CR CR LF: one line end
            } else {
                for (qsizetype k = i + 1; k <= end; ++k) // each lone CR ends a line of its own
                    lines.append(QByteArray());
                i = end;
            }
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(data.mid(start));
    return lines;
}
