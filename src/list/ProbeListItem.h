#pragma once
#include "FileListModel.h"
#include "avi/AviSummary.h"

#include <QString>
#include <QVector>
#include <functional>
class FileList;

// Refills a row's cells from the file named by its Filepath cell; index 0
// means the last row. Never fails: unreadable facts give the fallback cells.
void ProbeListItem(FileList &list, int index);

QString WideTextFromPointer(const wchar_t *text);

namespace MediaProbe {
int libraryOpens(); // files this process has opened with the library
// What a file's facts are good for: its size, modification and change times and
// inode; empty when the file cannot be examined.
QByteArray stampOf(const QString &path);

struct Facts
{
    QString codec, width, height, playTime; // inform texts as MediaInfo gives them
    Avi::Summary avi;                       // the file's AVI headers and index, read by Tapeweld itself
};
// One MediaInfo handle, four template queries, and the AVI summary. Give it
// regular files only: a folder or a pipe would make the library scan or block.
Facts query(const QString &path);
// The cells Tapeweld reads from an AVI file itself: the first video stream's
// codec tag and frame size, the play time of its longest stream.
Facts ownReading(const Avi::File &file);
// Rows read by Tapeweld itself wherever it reads the file as AVI, the library
// asked only of other files: the command line, which would otherwise spend most
// of a join of many short parts starting helpers and running the library.
void setReadAviItself(bool itself);
bool readsAviItself();

// Every cell of a row for the file at path, as ProbeListItem fills them; safe
// on any thread (each call has its own library handle).
struct Probed
{
    FileListModel::Row row;
    bool hasDate = false; // false: the date could not be read and the cell keeps its text
};
Probed probe(const QString &path);
// The same, with the library's part asked of query (another process, say).
Probed probe(const QString &path, const std::function<Facts(const QString &)> &query);

// Cell texts from raw facts, exposed for the tests.
QString sizeText(qint64 bytes);      // bytes < 0: unreadable
double shownKilobytes(qint64 bytes); // the number sizeText shows
QString frameSizeText(const QString &width, const QString &height);
QString durationText(const QString &playTimeMs);
} // namespace MediaProbe
