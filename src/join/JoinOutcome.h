#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// Whether a join or a repair really produced its whole result, and if not,
// one line that says why in a user's words. Exact where it can be (the
// intermediate file is the byte sum of the parts), and reading only chunk
// headers where it looks at media (frames held against frames expected).
namespace JoinOutcome {

struct Verdict
{
    bool ok = true;
    QString reason; // empty when ok
    QString log;    // what was checked, for the debug log
};

struct Part
{
    QString path;
    qint64 size = -1;   // when the join started; -1: could not be read then
    qint64 frames = -1; // the library's count of its frames; -1: it gives none
};
QVector<Part> partsOf(const QStringList &paths); // sizes read now, no frame counts

// Operation 1: the intermediate file holds every byte of every part, in order.
Verdict checkIntermediate(const QVector<Part> &parts, const QString &temp, const QString &errorLog);
// Operation 2: the output is a whole AVI holding every frame of the parts.
Verdict checkOutput(const QVector<Part> &parts, const QString &output, const QString &errorLog);
// A repair: the output is a whole AVI holding every whole frame of the input.
Verdict checkRepair(const QString &input, const QString &output, const QString &errorLog);

// Frames a part should give: the library's count, else its whole video chunks; -1 if unknown.
qint64 expectedFrames(const Part &part);
qint64 expectedFrames(const QString &path); // the library asked now
// The first failure the interpreter wrote to its error log, in words; empty if none.
QString failureIn(const QString &errorLog);

} // namespace JoinOutcome
