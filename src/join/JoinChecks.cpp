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

namespace {
QVector<CarryCheck::Difference> differencesOf(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams)
{
    QStringList names;
    for (const FileListModel::Row &row : list.model().rows())
        names << row[FileListModel::Filename];
    return CarryCheck::differences(summariesOf(list), names, carriage, seams);
}
} // namespace

QStringList JoinChecks::causes(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams)
{
    QStringList out;
    for (const CarryCheck::Difference &d : differencesOf(list, carriage, seams))
        out << d.text;
    return out;
}

QStringList JoinChecks::streamQuestions(const FileList &list, const Carriage &carriage, const QVector<SyncPlan::Seam> &seams)
{
    QStringList questions;
    const QVector<CarryCheck::Difference> carry = differencesOf(list, carriage, seams);
    if (!carry.isEmpty())
        questions << CarryCheck::question(carry);
    const ChunkCheck::Finding chunks = ChunkCheck::check(list.model(), carriage);
    if (chunks.row)
        questions << ChunkCheck::question(list.model(), chunks, carriage);
    return questions;
}
