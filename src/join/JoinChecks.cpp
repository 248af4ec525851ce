#include "JoinChecks.h"
#include "compat/CarryCheck.h"
#include "compat/ChunkCheck.h"
#include "list/FileList.h"

QString JoinChecks::redQuestion()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("The files in your list appear to be incompatible with each other.") + crlf
           + QStringLiteral("You can click the 'Red' icon in the bottom right corner for more information.") + crlf + crlf
           + QStringLiteral("Would you like to try to join the files in your list anyway?");
}

namespace {
QVector<Avi::Summary> summariesOf(const FileList &list)
{
    QVector<Avi::Summary> rows;
    for (const FileListModel::Row &row : list.model().rows())
        rows << row.facts.avi;
    return rows;
}
} // namespace

QVector<SyncPlan::Seam> JoinChecks::planOf(const FileList &list, const Carriage &carriage)
{
    return SyncPlan::plan(summariesOf(list), carriage.fillsSeams);
}

QStringList JoinChecks::streamQuestions(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams)
{
    QStringList questions;
    QStringList names;
    for (const FileListModel::Row &row : list.model().rows())
        names << row[FileListModel::Filename];
    const QVector<CarryCheck::Difference> carry = CarryCheck::differences(summariesOf(list), names, carriage, seams);
    if (!carry.isEmpty())
        questions << CarryCheck::question(carry);
    const ChunkCheck::Finding chunks = ChunkCheck::check(list.model(), carriage);
    if (chunks.row)
        questions << ChunkCheck::question(list.model(), chunks, carriage);
    return questions;
}
