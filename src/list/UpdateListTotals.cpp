#include "UpdateListTotals.h"
#include "app/TextFormats.h"

FileList::Totals ListTotals::compute(const FileListModel &model)
{
    FileList::Totals totals;
    totals.count = QString::number(model.count());
    if (model.count() == 0)
        return totals;
    qint64 seconds = 0;
    double kilobytes = 0;
    const QString secondsSuffix = QStringLiteral(" seconds"), kbSuffix = QStringLiteral(" KB");
    for (const FileListModel::Row &row : model.rows()) {
        bool ok = false;
        const double s = TextFormats::leadingNumber(row[FileListModel::Duration], secondsSuffix, &ok);
        if (ok)
            seconds += static_cast<qint64>(s);
        const double kb = TextFormats::leadingNumber(row[FileListModel::Filesize], kbSuffix, &ok);
        if (ok)
            kilobytes += kb;
    }
    totals.kilobytes = kilobytes;
    totals.duration = TextFormats::timeOfDay(seconds);
    const QString size = TextFormats::groupedOrEmpty(kilobytes);
    totals.size = (size.isEmpty() ? QStringLiteral("0") : size) + kbSuffix;
    return totals;
}

namespace {
StatusCheck g_statusCheck = nullptr;
}

void SetStatusCheck(StatusCheck check) { g_statusCheck = check; }

void UpdateListTotals(FileList &list)
{
    list.setTotals(ListTotals::compute(list.model()));
    if (g_statusCheck)
        g_statusCheck(list);
}
