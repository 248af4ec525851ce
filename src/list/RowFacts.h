#pragma once
#include "avi/AviSummary.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the program knows of a row's file as values, beside the texts its cells
// show and a list file saves. A probe fills them from the file; a row read from
// a list file fills them from its texts (a text that is no number leaves its
// value unknown, as it stays out of the totals).
struct RowFacts
{
    qint64 bytes = -1;          // the file's size; -1: not known
    double kilobytes = -1;      // what the Filesize cell counts for in the totals; -1: not a number
    QDateTime modified;         // invalid: not known (a list file's date is read from its text when sorted)
    qint64 seconds = -1;        // the Duration cell's whole seconds; -1: not a number
    int width = -1, height = -1; // the frame size; -1: not known
    // What a join's checks need, read in the same open as the cells. Good only
    // while the file keeps its size, times and inode: stamp (empty: not read here).
    QByteArray stamp;
    Avi::Summary avi;

    enum Cell { Filesize, DateModified, VideoSize, Duration };
    // The value a cell's text stands for.
    void readFrom(Cell cell, const QString &text);
    // The streams are those of the file as it is now.
    bool streamsCurrent(const QString &path) const;
};
