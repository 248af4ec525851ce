#include "ChunkCheck.h"
#include "list/FileListModel.h"

#include <QLocale>
#include <algorithm>

namespace {
// A chunk of media the end of the file cut through; none when only what follows the media (its index) is gone.
bool mediaCut(const Avi::Summary &avi)
{
    return std::any_of(avi.streams.begin(), avi.streams.end(), [](const Avi::StreamSummary &s) { return s.cutChunks > 0; });
}
} // namespace

ChunkCheck::Finding ChunkCheck::check(const FileListModel &model, const Carriage &carriage)
{
    for (int i = 1; i <= model.count(); ++i) {
        const Avi::Summary &avi = model.row(i).facts.avi;
        if (!avi.read || (avi.size == 0 && avi.notAvi))
            continue; // gone or unreadable: the join names it
        if (avi.notAvi)
            return {i, 0, true};
        const qint64 d = avi.chainDifference();
        if (d > 0 && !carriage.readsPartsApart)
            return {i, d, false};
        if (d < 0 && mediaCut(avi))
            return {i, d, false};
    }
    return {};
}

QString ChunkCheck::question(const FileListModel &model, const Finding &f, const Carriage &carriage)
{
    // Read part by part, the parts after it are never harmed.
    const bool harmsNoOther = f.row == model.count() || carriage.readsPartsApart;
    const QString row = QStringLiteral("Row %1 (%2)").arg(f.row).arg(model.cell(f.row, FileListModel::Filename));
    const qint64 n = f.difference < 0 ? -f.difference : f.difference;
    const QString bytes = QLocale().toString(n) + (n == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    QString text;
    if (f.notAvi)
        text = row + QStringLiteral(" is not an AVI file: it holds no AVI chunks.\r\n")
               + QStringLiteral("The join will most likely fail.");
    else if (f.difference > 0)
        text = row + QStringLiteral(" holds %1 more than its AVI chunks.\r\n").arg(bytes)
               + (f.row == model.count() ? QStringLiteral("It is the last part, so this does the other parts no harm.")
                       : QStringLiteral("The parts after it will be missing from the output."));
    else
        text = row + QStringLiteral(" is %1 shorter than its AVI chunks say: the file was cut short.\r\n").arg(bytes)
               + (f.row == model.count() ? QStringLiteral("It is the last part: it loses its own end, the other parts are not affected.")
                  : harmsNoOther         ? QStringLiteral("It loses its own end; the other parts are not affected.")
                       : QStringLiteral("The parts after it will be missing from the output, and it loses its own end."));
    return text + QStringLiteral("\r\n\r\nWould you like to join the files in your list anyway?");
}
