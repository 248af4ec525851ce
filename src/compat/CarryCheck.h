#pragma once
#include "list/ProbeListItem.h"

#include <QString>
#include <QVector>
class FileListModel;

// What a stream-copy join cannot carry from one part to the next, beyond the
// video codec and frame size the status light compares: frame rate, number of
// audio tracks, sound format, sample rate and channels. The first row that
// differs from row 1 is named, with both values and what the output will suffer.
namespace CarryCheck {

struct Difference
{
    int row = 0;         // 0: every row agrees with row 1
    QString parameter;   // "frame rate", "sound sample rate", ...
    QString firstValue;  // row 1's, in a user's words
    QString rowValue;
    QString consequence; // a sentence
};

Difference firstDifference(const QVector<MediaProbe::Streams> &rows);
// Compares the facts the rows hold (RefreshRowFacts brings them up to date).
Difference check(const FileListModel &model);
// The question asked before the output dialog.
QString question(const FileListModel &model, const Difference &d);
// "Row 3 (c.avi) differs from row 1 (a.avi) in its frame rate: 30 frames per second against 25 frames per second."
QString line(const FileListModel &model, const Difference &d);

} // namespace CarryCheck
