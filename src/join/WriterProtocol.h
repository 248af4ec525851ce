#pragma once
#include "compat/SyncPlan.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How the program and its writer (tapeweld-join) talk:
//   tapeweld-join [--seam ROW:FRAMES:SECONDS,...]... OUTPUT PART...   join, filling the seams as planned
//   tapeweld-join --repair OUTPUT INPUT                                index INPUT anew, walking its chunks
// Standard output: "copy N" (bytes of the parts written), "index", "done".
// Standard error: "failed REASON" when it fails (exit status 1).
namespace WriterProtocol {

struct Request
{
    bool repair = false;
    QString output;
    QStringList parts;
    QVector<SyncPlan::Seam> seams; // what to put before each part after the first (only fills are sent)
    QString error;                 // the arguments are no request: why
};
QStringList joinArguments(const QString &output, const QStringList &parts, const QVector<SyncPlan::Seam> &seams);
QStringList repairArguments(const QString &output, const QString &input);
Request parse(const QStringList &arguments);

QByteArray copyLine(qint64 consumed);
inline QByteArray indexLine() { return "index\n"; }
inline QByteArray doneLine() { return "done\n"; }
QByteArray failureLine(const QString &reason);

struct News
{
    double copied = -1;    // by its last "copy N"; -1: no word
    bool indexing = false; // it said "index": every chunk is out
};
News read(const QList<QByteArray> &lines);
// The reason of its "failed" line in its log; empty when it wrote none.
QString failureIn(const QString &log);

} // namespace WriterProtocol
