#include "ListFile.h"
#include "../platform/TextCodec.h"

#include <QFile>
#include <QSaveFile>

QByteArray ListFile::format(const QString &listType, const QVector<FileListModel::Row> &rows)
{
    QByteArray out = kHeader.toUtf8() + "\r\n<" + listType.toUtf8() + ">\r\n";
    for (const FileListModel::Row &row : rows) {
        QStringList cells(row.begin(), row.end());
        out += cells.join(u'|').toUtf8() + "\r\n";
    }
    return out;
}

ListFile::Parsed ListFile::parse(const QByteArray &data)
{
    Parsed parsed;
    qsizetype pos = 0, lineNo = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        ++lineNo;
        if (lineNo == 1) {
            if (TextCodec::decode(line) != kHeader)
                return parsed;
            parsed.valid = true;
            continue;
        }
        if (lineNo == 2 || line.isEmpty())
            continue;
        const QStringList fields = TextCodec::decode(line).split(u'|');
        FileListModel::Row row;
        for (int j = 0; j < FileListModel::CellCount && j < fields.size(); ++j)
            row[j] = fields[j];
        if (parsed.rows.size() >= FileListModel::kMaxRows) {
            parsed.truncated = true;
            break;
        }
        parsed.rows.append(row);
    }
    return parsed;
}

ListFile::Parsed ListFile::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxBytes)
        return {};
    return parse(f.readAll());
}

bool ListFile::write(const QString &path, const QByteArray &content, QString *error)
{
    QSaveFile save(path);
    if (!save.open(QIODevice::WriteOnly) || save.write(content) != content.size() || !save.commit()) {
        if (error)
            *error = save.errorString();
        save.cancelWriting();
        return false;
    }
    return true;
}
