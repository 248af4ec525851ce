#pragma once
#include "FileListModel.h"

#include <QString>
class FileList;

// Row and list texts exchanged through the clipboard. The clipboard itself is
// reached by the window; these build and read the texts.
namespace ClipboardModule {
// "TPW:" then the row's cells joined by "|", no line end.
QString rowEntry(const FileListModel &model, int index);
// Every row as quoted, comma-separated cells, each line ended by CR LF.
QString listText(const FileListModel &model);
// The path of an entry, or empty when the text is not an entry (no exact
// "TPW:" tag, or no field 3).
QString pathOfEntry(const QString &text);
// Appends a freshly probed row for the entry and refreshes; returns its index,
// or 0 after "Invalid Clipboard Entry.".
int PasteEntry(FileList &list, const QString &clipboardText);
} // namespace ClipboardModule
