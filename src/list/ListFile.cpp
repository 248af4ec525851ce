#include "ListFile.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/TextLines.h"

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
    const QList<QByteArray> lines = TextLines::split(data);
    for (qsizetype lineNo = 1; lineNo <= lines.size(); ++lineNo) {
        const QByteArray &line = lines[lineNo - 1];
        if (lineNo == 1) {
            if (TextCodec::decode(line.startsWith("\xEF\xBB\xBF") ? line.mid(3) : line) != kHeader)
                return parsed;
            parsed.valid = true;
            continue;
        }
        if (lineNo == 2 || line.isEmpty())
            continue;
        if (line.size() > kMaxLineBytes) {
            parsed.tooLong << static_cast<int>(lineNo);
            continue;
        }
        const QStringList fields = TextCodec::decode(line).split(u'|');
        FileListModel::Row row;
        for (int j = 0; j < FileListModel::CellCount && j < fields.size(); ++j)
            row.setText(static_cast<FileListModel::Column>(j), fields[j]);
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
    QByteArray data;
    return SafeFile::readRegular(path, kMaxBytes, &data).ok() ? parse(data) : Parsed();
}

Result ListFile::write(const QString &path, const QByteArray &content)
{
    return SafeFile::replace(path, content);
}
