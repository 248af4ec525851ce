#pragma once
#include <QStringList>
class FileList;

// What the shared add loop shows while it runs; the main window implements
// it with its status bar, progress bar and "(Cancel)" overlay.
class AddProgress
{
public:
    virtual ~AddProgress() = default;
    virtual void begin(const QString &statusText, int maximum) = 0; // value 1 shown
    virtual void setValue(int value) = 0;
    virtual void finish() = 0; // text emptied, overlay and bar hidden
};

// Set by a click on "(Cancel)"; cleared when an add begins.
void SetAddCancelled();
bool AddCancelled();

// Appends one probed row per path, in order, letting window events run after
// each file. Paths a list file or join script cannot carry are refused with
// one message; the list's row limit stops the batch with a message.
void AddPathsToList(FileList &list, const QStringList &paths, const QString &statusText, AddProgress *progress);

void ChooseAndAddFiles(FileList &list, AddProgress *progress);
void ChooseAndAddDirectory(FileList &list, AddProgress *progress);
void ListView_OLEDragDrop(FileList &list, const QStringList &droppedPaths, AddProgress *progress);

namespace AddFiles {
// How long an add runs between two turns of the window's events (about 60 a second).
inline constexpr int kEventIntervalMs = 16;
// Files (not folders, not hidden) directly in folder matching the pattern,
// case-insensitively, in natural name order ("clip 2" before "clip 10"); full paths.
QStringList supportedFilesIn(const QString &folder);
// One name a line, line breaks and NUL made visible, for a message box.
QString namesForMessage(const QStringList &paths);
} // namespace AddFiles
