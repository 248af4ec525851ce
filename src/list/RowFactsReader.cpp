#include "RowFactsReader.h"
#include "FileList.h"
#include "ProbeAhead.h"
#include "platform/FileSystem.h"

#include <algorithm>

QVector<qint64> refreshRowFacts(FileList &list, const BusyRunner &whileBusy)
{
    const int n = list.count();
    QStringList paths;
    QVector<QByteArray> stamps;
    for (const FileListModel::Row &row : list.model().rows()) {
        paths << row[FileListModel::Filepath];
        stamps << row.facts.stamp;
    }
    QVector<qint64> sizes(n, -1);
    std::vector<bool> wanted(static_cast<size_t>(n), false);
    QVector<MediaProbe::Probed> fresh(n);
    // Only copies go to the other thread: nothing can change the list meanwhile
    // (the runner takes no input), but the model belongs to the window's thread.
    const auto work = [&] {
        for (int i = 0; i < n; ++i) {
            const QByteArray now = MediaProbe::stampOf(paths[i]);
            wanted[static_cast<size_t>(i)] = now.isEmpty() || now != stamps[i];
            sizes[i] = FileSystem::isRegularFile(paths[i]) ? FileSystem::fileSize(paths[i]) : -1;
        }
        if (std::find(wanted.begin(), wanted.end(), true) == wanted.end())
            return;
        ProbeAhead ahead(paths, wanted, ProbeAhead::defaultWorkers(), n);
        for (int i = 0; i < n; ++i) {
            while (!ahead.waitFor(i, 1000)) {
            }
            fresh[i] = ahead.take(i);
        }
    };
    if (whileBusy)
        whileBusy(work);
    else
        work();
    for (int i = 0; i < n; ++i)
        if (wanted[static_cast<size_t>(i)]) {
            RowFacts facts = list.model().row(i + 1).facts;
            facts.stamp = fresh[i].row.facts.stamp;
            facts.avi = fresh[i].row.facts.avi;
            list.model().setFacts(i + 1, facts);
        }
    return sizes;
}
