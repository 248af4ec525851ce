#include "ListTools.h"
#include "app/SystemServices.h"
#include "app/TextFormats.h"

#include <QCollator>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace {
template <typename T>
int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

int compareRows(const FileListModel::Row &a, const FileListModel::Row &b, int column, const QCollator &collator)
{
    const RowFacts &x = a.facts, &y = b.facts;
    switch (column) {
    case FileListModel::Filesize: return compareValues(x.bytes, y.bytes); // a list file's bytes come from its KB text
    case FileListModel::DateModified:
        if (x.modified.isValid() != y.modified.isValid())
            return x.modified.isValid() ? 1 : -1;
        return x.modified.isValid() ? compareValues(x.modified, y.modified) : 0;
    case FileListModel::Duration: return compareValues(x.seconds, y.seconds);
    case FileListModel::VideoSize:
        return x.width != y.width ? compareValues(x.width, y.width) : compareValues(x.height, y.height);
    default: return collator.compare(a[column], b[column]);
    }
}
} // namespace

void ListTools::sortRows(FileListModel &model, int column, bool descending)
{
    if (column < 0 || column >= FileListModel::CellCount)
        return;
    const QCollator collator = TextFormats::naturalCollator();
    QVector<FileListModel::Row> rows = model.rows();
    if (column == FileListModel::DateModified) // a list file's dates are read from their texts once, here
        for (FileListModel::Row &row : rows)
            if (!row.facts.modified.isValid())
                row.facts.modified = TextFormats::readGeneralDate(row[FileListModel::DateModified]);
    std::stable_sort(rows.begin(), rows.end(), [&](const FileListModel::Row &a, const FileListModel::Row &b) {
        const int c = compareRows(a, b, column, collator);
        return descending ? c > 0 : c < 0;
    });
    model.replaceAll(std::move(rows));
}

QStringList ListTools::distinctValues(const FileListModel &model, int column)
{
    QStringList values;
    QSet<QString> seen;
    for (const FileListModel::Row &row : model.rows())
        if (!seen.contains(row[column])) {
            seen.insert(row[column]);
            values << row[column];
        }
    return values;
}

QString ListTools::averageDuration(const QString &durationText, int rows)
{
    if (rows <= 0)
        return QStringLiteral("00:00:00");
    const QTime time = QTime::fromString(durationText, QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        return QStringLiteral("00:00:00");
    return TextFormats::timeOfDay(TextFormats::roundHalfEven(static_cast<double>(QTime(0, 0).secsTo(time)) / rows));
}

QString ListTools::averageSize(const QString &sizeText, int rows)
{
    if (rows <= 0)
        return QStringLiteral("0 KB");
    const double kb = TextFormats::leadingNumber(sizeText, QStringLiteral(" KB"), nullptr);
    return TextFormats::kilobytesText(kb / rows);
}

ListTools::InfoRows ListTools::listInfo(const QString &listPath, const QString &status, const QString &listType, int rows,
                                        const QString &durationText, const QString &sizeText)
{
    return {{QStringLiteral("Filename"), listPath.isEmpty() ? QStringLiteral("(unsaved)") : FileNameOf(listPath)},
            {QStringLiteral("Status"), status.toUpper()},
            {QString(), QString()},
            {QStringLiteral("List Type"), listType},
            {QStringLiteral("Total items in list"), QString::number(rows)},
            {QStringLiteral("Duration"), durationText},
            {QStringLiteral("Filesize"), sizeText},
            {QString(), QString()},
            {QStringLiteral("Average Duration (Per File)"), averageDuration(durationText, rows)},
            {QStringLiteral("Average Size (Per File)"), averageSize(sizeText, rows)}};
}

QString ListTools::listInfoText(const InfoRows &rows)
{
    QString text;
    for (const auto &[item, value] : rows)
        if (!item.isEmpty())
            text += item + u'=' + value + QStringLiteral("\r\n");
    return text;
}
