#pragma once
#include "JoinOutcome.h"
#include "compat/SyncPlan.h"

#include <QString>
#include <QVector>
class Engine;

// A join as its checks settled it: the output, the parts in list order with
// what they held when the join began, who writes the output, and the seams'
// plan, made once from those readings: the checks ask about it, the writer
// follows it and the outcome is judged against it.
struct JoinPlan
{
    QString output;
    QVector<JoinOutcome::Part> parts;
    double totalBytes = 0; // what the progress is measured against: the list's total size
    const Engine *engine = nullptr;
    QVector<SyncPlan::Seam> seams;
    // Losses the user was asked about and accepted: only so many of row 1's
    // sound tracks are kept (-1: every one), and no text stream.
    int keptSoundTracks = -1;
    bool textDropped = false;
    // The differences the questions named and the user went on past: what a harmed output is blamed on.
    QStringList acceptedCauses;
    bool keyFramesAccepted = false; // every frame marked key, in a codec whose key frames the engine cannot tell

    QStringList inputs() const
    {
        QStringList paths;
        for (const JoinOutcome::Part &p : parts)
            paths << p.path;
        return paths;
    }
    QVector<Avi::Summary> summaries() const
    {
        QVector<Avi::Summary> rows;
        for (const JoinOutcome::Part &p : parts)
            rows << p.avi;
        return rows;
    }
};
