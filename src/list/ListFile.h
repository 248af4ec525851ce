#pragma once
#include "FileListModel.h"
#include "platform/Result.h"

#include <QString>
#include <QVector>

// The ".tpw" list format: "TPW List v1.0", "<AVI>", then one line per row
// with the seven cells joined by "|". UTF-8 with CR LF; Windows-1252 lines read.
namespace ListFile {
inline const QString kHeader = QStringLiteral("TPW List v1.0");

QByteArray format(const QString &listType, const QVector<FileListModel::Row> &rows);

struct Parsed
{
    bool valid = false;
    QVector<FileListModel::Row> rows;
    bool truncated = false; // more rows than a list can hold
    QList<int> tooLong;     // lines (1-based) longer than any row can be, left out
};
// A row of seven cells, a path among them, is far shorter: a longer line is no row.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;
Parsed parse(const QByteArray &data);

// Reads at most this much, from regular files only: a list file of the full
// 32,767 rows stays far below it, and a pipe or device answers at once.
inline constexpr qint64 kMaxBytes = 256LL * 1024 * 1024;
Parsed read(const QString &path);
// The old file is replaced only once the new content is completely on disk.
Result write(const QString &path, const QByteArray &content);
} // namespace ListFile
