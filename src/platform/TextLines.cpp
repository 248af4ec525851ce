#include "TextLines.h"

QList<QByteArray> TextLines::split(const QByteArray &data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(data.mid(start, i - start));
        if (c == '\r') {
            qsizetype j = i;
            while (j + 1 < n && data[j + 1] == '\r')
                ++j;
            if (j + 1 < n && data[j + 1] == '\n')
                i = j + 1;
        }
        start = i + 1;
    }
    if (start < n)
        lines.append(data.mid(start));
    return lines;
}
