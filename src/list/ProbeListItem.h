#pragma once
#include "FileListModel.h"

#include <QString>
#include <QVector>
#include <functional>
class FileList;

// Refills a row's cells from the file named by its Filepath cell; index 0
// means the last row. Never fails: unreadable facts give the fallback cells.
void ProbeListItem(FileList &list, int index);

QString WideTextFromPointer(const wchar_t *text);

namespace MediaProbe {
// What a stream-copy join depends on: frame count and rate, play time, and
// the audio streams.
struct Audio
{
    QString format, samplingRate, channels, bitRateMode, bitRate;
    bool operator==(const Audio &) const = default;
};
struct Streams
{
    bool readable = false;
    int videoStreams = 0;
    qint64 frameCount = -1; // -1: the library gives none
    QString frameRate;
    qint64 durationMs = -1;
    QVector<Audio> audio;
    bool operator==(const Streams &) const = default;
};
// A file's streams, kept while it keeps its size, time and inode: a probe
// leaves them here, so the join's checks after an add read no file again.
Streams streams(const QString &path);
Streams readStreams(const QString &path); // the same, always read afresh
int libraryOpens();                       // files this process has opened with the library
bool isKept(const QString &path);          // streams(path) would read no file

struct Facts
{
    QString codec, width, height, playTime; // inform texts as MediaInfo gives them
    Streams streams;                        // read in the same open
};
// One MediaInfo handle, four template queries. Give it regular files only:
// a folder or a pipe would make the library scan or block.
Facts query(const QString &path);

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
QString frameSizeText(const QString &width, const QString &height);
QString durationText(const QString &playTimeMs);
} // namespace MediaProbe
