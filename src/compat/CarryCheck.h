#pragma once
#include "Carriage.h"
#include "SyncPlan.h"
#include "avi/AviSummary.h"

#include <QString>
#include <QStringList>
#include <QVector>
class FileListModel;

// What a join cannot carry from one part to the next, beyond the video codec
// and frame size the status light compares: the number, kind and order of the
// streams, the video codec tag and frame rate, the sound format, sample rate,
// channels and (for PCM) sample size and block, what the chosen engine keeps,
// and sound that drifts from its picture from seam to seam. Every row is
// compared with row 1, and every difference is named with what the output
// will suffer.
namespace CarryCheck {

struct Difference
{
    int row = 0;         // the row it is about
    QString text;        // "Row 3 (c.avi) differs from row 1 (a.avi) in its frame rate: 30 ... against 25 ..."
    QString consequence; // a sentence: what the output will suffer (empty: text says it)
};

// seams: the join's plan of the rows (SyncPlan::plan with the carriage's fill).
QVector<Difference> differences(const QVector<Avi::Summary> &rows, const QStringList &names, const Carriage &carriage,
                                const QVector<SyncPlan::Seam> &seams);
// The first row (1-based) with frames that are no key frames, in a codec whose
// key frames the engine cannot tell; 0: none.
int rowLosingKeyFrames(const QVector<Avi::Summary> &rows, const Carriage &carriage);
// Compares the facts the rows hold (refreshRowFacts brings them up to date).
QVector<Difference> check(const FileListModel &model, const Carriage &carriage);
// The question asked before the output dialog: every difference on a line of
// its own (at most five, then "and N more"), then whether to join anyway.
QString question(const QVector<Difference> &differences);
// "Row 3 (c.avi) differs from row 1 (a.avi) in its frame size: 320x240 against 640x480."
QString line(int row, const QString &name, const QString &firstName, const QString &parameter, const QString &rowValue,
             const QString &firstValue);

inline constexpr int kMostLines = 5;

} // namespace CarryCheck
