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

QStringList JoinChecks::streamQuestions(const FileList &list, JoinEngine engine)
{
    QStringList questions;
    const QVector<CarryCheck::Difference> carry = CarryCheck::check(list.model(), engine);
    if (!carry.isEmpty())
        questions << CarryCheck::question(carry);
    const ChunkCheck::Finding chunks = ChunkCheck::check(list.model());
    if (chunks.row)
        questions << ChunkCheck::question(list.model(), chunks);
    return questions;
}
