#pragma once
#include "avi/AviSummary.h"
#include "compat/SyncPlan.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Whether a join or a repair really produced its whole result, and if not,
// one line that says why in a user's words. Exact where it can be (the
// intermediate file is the byte sum of the parts), and reading only headers
// and indexes where it looks at media: the output must hold exactly the parts'
// video frames, every sound track of the first part with the parts' sound, and
// no stream may be lost.
namespace JoinOutcome {

struct Verdict
{
    bool ok = true;
    QString reason; // empty when ok
    QString log;    // what was checked, for the debug log
    QStringList notes; // for an output that is whole: what could not be verified
    // Failed: the result was not written to its end (a write failed, the disk
    // filled, its writer died), so nothing of it is worth keeping.
    bool cutShort = false;

    static Verdict failed(const QString &reason, const QString &log) { return {false, reason, log, {}, true}; }
};

struct Part
{
    QString path;
    qint64 size = -1;  // when the join started; -1: could not be read then
    Avi::Summary avi;  // its streams and chunks when the join started
};
// Sizes and summaries read now.
QVector<Part> partsOf(const QStringList &paths);

// What a writer put in on purpose to keep sound and picture in step.
struct Inserted
{
    qint64 dropFrames = 0;
    QVector<double> silenceSeconds; // per sound track of the output
    static Inserted by(const QVector<SyncPlan::Seam> &seams);
};

// Who wrote a result, and what its log says.
struct Writer
{
    QString who;       // "encoder", "writer"
    QString why;       // why it failed by its log; empty: it says nothing
    QString ended;     // how its program ended when that was no success ("the encoder stopped with exit code 1")
    Inserted inserted; // what its plan put in
    bool syncFrames = false; // it puts in empty frames of its own to keep the sound in step
    // What the user was asked about and accepted: the result keeps only this many
    // sound tracks of the first part (-1: every one), and no text stream.
    int keptSoundTracks = -1;
    bool textDropped = false;
    // Accepted too: it marks every frame of the parts' codec as a key frame.
    bool keyFramesAccepted = false;
    QString keeper{}; // how another engine that keeps key frames is named ("writer"); empty: none
};

// Operation 1: the intermediate file holds every byte of every part, in order.
Verdict checkIntermediate(const QVector<Part> &parts, const QString &temp, const QString &errorLog);
// The join's output against its parts and the plan its writer followed.
Verdict checkOutput(const QVector<Part> &parts, const QString &output, const Writer &writer);
// A repair: the output holds every whole chunk of the input, stream by stream.
Verdict checkRepair(const QString &input, const QString &output, const Writer &writer);
// What the judge expects of a result and finds in it, without files (for tests).
Verdict judgeSummaries(const Avi::Summary &result, const QVector<Avi::Summary> &parts, const Writer &writer);

// The first failure the interpreter wrote to its error log, in words; empty if none.
QString failureIn(const QString &errorLog);
// What follows kind on the first line of a log that starts with it ("exit 1",
// "signal 9", "failed REASON"); empty when no line does.
QString logLine(const QString &log, const QString &kind);

// How much a sound track may play longer or shorter than its parts: a writer may
// drop or keep an unfinished or empty chunk at each seam (the encoder drops the
// empty chunks some muxers write at the start), so one chunk a part, and the
// drift a seam may have before it is worth a word (SyncPlan::kTolerance).
inline constexpr int kSlackChunksPerPart = 1;

} // namespace JoinOutcome
