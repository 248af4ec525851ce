#include "AddFilesModule.h"
#include "FileList.h"
#include "ProbeAhead.h"
#include "ProbeListItem.h"
#include "UpdateListTotals.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "app/SystemServices.h"
#include "app/SupportedFiles.h"
#include "app/TextFormats.h"
#include "platform/PathRules.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>

namespace {
bool g_addCancelled = false;
}

void SetAddCancelled() { g_addCancelled = true; }
bool AddCancelled() { return g_addCancelled; }

QString AddFiles::namesForMessage(const QStringList &paths)
{
    QString names;
    for (QString p : paths)
        names += QStringLiteral("\r\n") + p.replace(u'\r', u' ').replace(u'\n', u' ').replace(QChar(0), QChar(0x2400));
    return names;
}

QStringList AddFiles::supportedFilesIn(const QString &folder)
{
    QDir dir(folder);
    dir.setNameFilters(SupportedFiles::kPattern.split(u';'));
    dir.setFilter(QDir::Files); // no folders, no hidden files; patterns match ignoring case
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    TextFormats::sortNaturally(names); // clip 2 before clip 10, as a camera numbers them
    QStringList paths;
    const QString prefix = folder.endsWith(FileSystem::kSeparator) ? folder : folder + FileSystem::kSeparator;
    for (const QString &name : std::as_const(names))
        paths << prefix + name;
    return paths;
}

void AddPathsToList(FileList &list, const QStringList &paths, const QString &statusText, AddProgress *progress)
{
    g_addCancelled = false;
    const int n = static_cast<int>(paths.size());
    if (n == 0)
        return;
    if (progress)
        progress->begin(statusText, n);
    std::vector<bool> carriable(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        carriable[static_cast<size_t>(i)] = PathRules::canCarryInList(paths[i]);
    // The files are probed ahead on worker threads; each row is still appended
    // in order, and the window gets its events often enough to repaint and to
    // see a click on "(Cancel)" (not after every file: that cost more than the probe).
    ProbeAhead ahead(paths, carriable, ProbeAhead::defaultWorkers());
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    QStringList refused;
    bool full = false;
    for (int k = 1; k <= n; ++k) {
        const QString &path = paths[k - 1];
        if (list.count() >= FileListModel::kMaxRows) {
            full = true;
            if (progress)
                progress->finish();
            break;
        }
        bool ready = true;
        while (!ahead.waitFor(k - 1, AddFiles::kEventIntervalMs)) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
            if (g_addCancelled) { // a file whose read does not come back is not waited for
                ready = false;
                break;
            }
        }
        MediaProbe::Probed probed;
        if (ready) {
            probed = ahead.take(k - 1);
        } else {
            // The file in progress stays, with what its name says; its facts stay unknown.
            probed.row.setText(FileListModel::Filename, FileNameOf(path));
            probed.row.setText(FileListModel::Filepath, path);
        }
        if (carriable[static_cast<size_t>(k - 1)])
            list.model().appendRow(probed.row);
        else
            refused << path;
        if (progress)
            progress->setValue(k);
        if (sinceEvents.elapsed() >= AddFiles::kEventIntervalMs || k == n) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        if (k == n && progress)
            progress->finish();
        if (g_addCancelled)
            break;
    }
    if (!refused.isEmpty())
        Dialogs::message(QStringLiteral("These files were not added, because their names hold a character that list files "
                                        "and join scripts cannot carry (|, \", a line break, NUL, or bytes that are not "
                                        "valid UTF-8 text):")
                             + AddFiles::namesForMessage(refused),
                         Dialogs::Icon::Exclamation);
    if (full)
        Dialogs::message(QStringLiteral("The list is full: it holds at most 32,767 files.\r\n"
                                        "The remaining files were not added."),
                         Dialogs::Icon::Exclamation);
}

void ChooseAndAddFiles(FileList &list, AddProgress *progress)
{
    const QString start = Settings::startFolder(SettingsKeys::kAddFiles);
    const QStringList chosen = Dialogs::openFiles(
        {QStringLiteral("Add File(s)"), start, SupportedFiles::kFilter},
        true);
    if (chosen.isEmpty())
        return;
    Settings::rememberFolder(SettingsKeys::kAddFiles, start, chosen.first());
    AddPathsToList(list, chosen, chosen.size() == 1 ? QStringLiteral("Adding File...") : QStringLiteral("Adding Files..."),
                   progress);
    UpdateListTotals(list);
}

void ChooseAndAddDirectory(FileList &list, AddProgress *progress)
{
    const QString folder = Dialogs::folder(QStringLiteral("Browse for a directory...\rSupported Filetypes: ") + SupportedFiles::kPattern);
    if (!folder.isEmpty()) {
        const QStringList files = AddFiles::supportedFilesIn(folder);
        if (!files.isEmpty())
            AddPathsToList(list, files, QStringLiteral("Adding Files..."), progress);
    }
    UpdateListTotals(list);
}

void ListView_OLEDragDrop(FileList &list, const QStringList &droppedPaths, AddProgress *progress)
{
    AddPathsToList(list, droppedPaths, QStringLiteral("Adding Files..."), progress);
    UpdateListTotals(list);
}
