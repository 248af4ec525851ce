#pragma once
#include "list/FileListModel.h"

#include <QPair>
#include <QStringList>
#include <QVector>
class FileList;

namespace ListTools {
// Sorts the rows once by one column, by value: sizes by bytes, dates by time,
// durations by seconds, frame sizes by width then height, and names, paths and
// codecs in natural order (runs of digits as numbers, letters without regard to
// case, in the user's locale). Stable: rows that compare equal keep their
// order; a value not known sorts before every known one. No refresh cascade.
void sortRows(FileListModel &model, int column, bool descending);

// Distinct texts of a column in order of first appearance (exact, case-sensitive).
QStringList distinctValues(const FileListModel &model, int column);

// Whether the remove wizard drops a row: Remove Rows drops equal texts, Keep Rows the others.
inline bool removes(const QString &cell, const QString &value, bool keepMatching)
{
    return keepMatching ? cell != value : cell == value;
}

// The ten rows of the list information table and its clipboard text.
using InfoRows = QVector<QPair<QString, QString>>;
InfoRows listInfo(const QString &listPath, const QString &status, const QString &listType, int rows,
                  const QString &durationText, const QString &sizeText);
QString listInfoText(const InfoRows &rows); // non-empty items as "Item=Value" CR LF lines
QString averageDuration(const QString &durationText, int rows);
QString averageSize(const QString &sizeText, int rows);

} // namespace ListTools
