// The clipboard row parser: any text is either no entry or one whose path is
// its field 3; a row copied out is pasted back with its own path.
#include "FuzzCheck.h"
#include "list/ClipboardModule.h"
#include "list/FileListModel.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = ClipboardModule::pathOfEntry(text);
    if (!path.isEmpty()) {
        FUZZ_CHECK(text.startsWith(QStringLiteral("TPW:")));
        FUZZ_CHECK(text.mid(4).split(u'|').value(3) == path);
    }

    FileListModel model;
    for (const char *h : {"Filename", "Filesize", "Date Modified", "Filepath", "Video Codec", "Video Size", "Duration"})
        model.addHeader(QString::fromLatin1(h));
    QStringList cells = text.split(u'\x01');
    FileListModel::Row row;
    for (int i = 0; i < FileListModel::CellCount; ++i)
        row.setText(static_cast<FileListModel::Column>(i), cells.value(i).remove(u'|')); // no "|" in a cell: the entry has no escape for it
    model.appendRow(row);
    const QString entry = ClipboardModule::rowEntry(model, 1);
    FUZZ_CHECK(ClipboardModule::pathOfEntry(entry) == row[FileListModel::Filepath]);
    return 0;
}
