#pragma once
#include <QString>
class FileList;

// Refills a row's cells from the file named by its Filepath cell; index 0
// means the last row. Never fails: unreadable facts give the fallback cells.
void ProbeListItem(FileList &list, int index);

QString WideTextFromPointer(const wchar_t *text);

namespace MediaProbe {
struct Facts
{
    QString codec, width, height, playTime; // inform texts as MediaInfo gives them
};
// One MediaInfo handle, four template queries. Give it regular files only:
// a folder or a pipe would make the library scan or block.
Facts query(const QString &path);

// Cell texts from raw facts, exposed for the tests.
QString sizeText(qint64 bytes);      // bytes < 0: unreadable
QString frameSizeText(const QString &width, const QString &height);
QString durationText(const QString &playTimeMs);
} // namespace MediaProbe
