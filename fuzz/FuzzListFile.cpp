// The list-file reader: any bytes parse without harm, no cell keeps a line
// break or a "|", the row cap holds, and what is read saves and reads back the same.
#include "FuzzCheck.h"
#include "list/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const ListFile::Parsed first = ListFile::parse(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    FUZZ_CHECK(first.rows.size() <= FileListModel::kMaxRows);
    if (!first.valid) {
        FUZZ_CHECK(first.rows.isEmpty());
        return 0;
    }
    for (const FileListModel::Row &row : first.rows)
        for (const QString &cell : row)
            FUZZ_CHECK(!cell.contains(u'\r') && !cell.contains(u'\n') && !cell.contains(u'|'));
    const ListFile::Parsed again = ListFile::parse(ListFile::format(QStringLiteral("AVI"), first.rows));
    FUZZ_CHECK(again.valid);
    FUZZ_CHECK(again.rows == first.rows);
    return 0;
}
