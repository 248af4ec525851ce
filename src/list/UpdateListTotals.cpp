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
    for (const FileListModel::Row &row : model.rows()) {
        // A cell whose text is no number stays out of its total.
        if (row.facts.seconds >= 0)
            seconds += row.facts.seconds;
        if (row.facts.kilobytes >= 0)
            kilobytes += row.facts.kilobytes;
    }
    totals.kilobytes = kilobytes;
    totals.duration = TextFormats::timeOfDay(seconds);
    totals.size = TextFormats::kilobytesText(kilobytes);
    return totals;
}

namespace {
StatusCheck g_statusCheck = nullptr;
}

void setStatusCheck(StatusCheck check) { g_statusCheck = check; }

void UpdateListTotals(FileList &list)
{
    list.setTotals(ListTotals::compute(list.model()));
    if (g_statusCheck)
        g_statusCheck(list);
}
