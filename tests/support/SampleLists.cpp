#include "SampleLists.h"

#include <QFile>
#include <QTemporaryDir>
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"

void fillWithCodecs(FileList &list, const QStringList &codecs)
{
    NewList(list, false);
    // The files are there (a row whose file is gone makes the list Red), empty: only the texts count here.
    static const QTemporaryDir folder;
    QVector<FileListModel::Row> rows;
    int i = 0;
    for (const QString &c : codecs) {
        const QString path = folder.filePath(QStringLiteral("f%1.avi").arg(++i));
        if (!QFile::exists(path))
            QFile(path).open(QIODevice::WriteOnly);
        rows.append({QStringLiteral("f%1.avi").arg(i - 1, 5, 10, QChar(u'0')), QStringLiteral("1 KB"), QStringLiteral("d"), path, c,
                     QStringLiteral("640x480"), QStringLiteral("1 seconds")});
    }
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
