#include "SampleLists.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"

void fillWithCodecs(FileList &list, const QStringList &codecs)
{
    NewList(list, false);
    QVector<FileListModel::Row> rows;
    int i = 0;
    for (const QString &c : codecs)
        rows.append({QStringLiteral("f%1.avi").arg(i++, 5, 10, QChar(u'0')), QStringLiteral("1 KB"), QStringLiteral("d"),
                     QStringLiteral("/v/f%1.avi").arg(i), c, QStringLiteral("640x480"), QStringLiteral("1 seconds")});
    list.model().replaceAll(rows);
    UpdateListTotals(list);
}

QStringList codecsOf(const FileList &list)
{
    QStringList out;
    for (const auto &row : list.model().rows())
        out << row[FileListModel::VideoCodec];
    return out;
}
