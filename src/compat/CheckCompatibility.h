#pragma once
#include "Carriage.h"
#include "list/ListStatus.h"

#include <QString>
class FileList;
class FileListModel;

// Green when the list holds two rows or more and, for Video Codec and Video
// Size, all rows' texts together are nothing but copies of the first row's.
void CheckCompatibility(FileList &list);
void ShowStatus(FileList &list, ListStatus status);

namespace Compatibility {
// Red too when a row's file is gone: a join of it could only fail.
ListStatus statusOf(const FileListModel &model);
// The first row (1-based) whose file no longer exists; 0: none. And what is said of it.
int goneRow(const FileListModel &model);
QString goneLine(const FileListModel &model, int row);
// The explanation shown for a click on the indicator; empty for no status.
struct Explanation
{
    QString text;
    bool critical = false;
};
Explanation explain(ListStatus status, int rows);
// The line shown after the explanation: the first row that differs from row 1
// and in what (the light's columns when Red; what a join cannot carry when
// Green). Empty when there is none.
QString firstDifferenceLine(const FileListModel &model, ListStatus status, const Carriage &carriage);
// The light's box: its explanation and that line; on Green, what a join would
// still ask about comes under a heading of its own, never as part of "nothing wrong".
QString boxText(const FileListModel &model, ListStatus status, const Carriage &carriage);
inline QString alsoAskedHeading() { return QStringLiteral("A join would also ask about:"); }
} // namespace Compatibility
