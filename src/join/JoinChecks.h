#pragma once
#include "compat/Carriage.h"
#include "compat/SyncPlan.h"

#include <QString>
#include <QStringList>
class FileList;

// The questions a join asks before its output dialog, shared by the window's
// join command and the command line's --check, with the same words.
namespace JoinChecks {
// Asked when the status light is Red.
QString redQuestion();
// The seams' plan of the rows' facts for a writer that carries this.
QVector<SyncPlan::Seam> planOf(const FileList &list, const Carriage &carriage);
// What the rows' facts say a join cannot carry (the seams: planOf), and parts
// that do not end where their chunks end: each a question, in the order they
// are asked. The facts must be up to date (refreshRowFacts).
QStringList streamQuestions(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams);
// Each difference those questions name, a line each ("Row 2 (b.avi) differs from row 1 (a.avi) in its ...").
QStringList causes(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams);
} // namespace JoinChecks
