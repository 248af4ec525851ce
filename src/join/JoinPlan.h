#pragma once
#include "JoinOutcome.h"
#include "app/JoinEngine.h"

#include <QString>
#include <QVector>

// A join as its checks settled it: the output, the parts in list order with
// what they held when the join began, and who writes the output.
struct JoinPlan
{
    QString output;
    QVector<JoinOutcome::Part> parts;
    double totalBytes = 0; // what the progress is measured against: the list's total size
    JoinEngine engine = JoinEngine::Encoder;

    QStringList inputs() const
    {
        QStringList paths;
        for (const JoinOutcome::Part &p : parts)
            paths << p.path;
        return paths;
    }
};
