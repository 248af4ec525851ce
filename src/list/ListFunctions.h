#pragma once
#include <QString>
class FileList;

// List commands. Indices are 1-based; a command returns the row to select
// (0: leave the selection to the view) where it moves rows.
void NewList(FileList &list, bool ask);
// Returns false when the save dialog was cancelled or the file could not be
// written (then a message said so and the previous file is intact).
bool SaveListFile(FileList &list, bool saveAs);
void OpenListFile(FileList &list);
// What OpenListFile does once the file is chosen; false (after a message) for
// a file that is no list.
bool LoadListFile(FileList &list, const QString &file);
// The question asked when the main window closes; true: the window may close.
[[nodiscard]] bool AskToSaveOnClose(FileList &list);

void RemoveListItem(FileList &list, int index);
void ClearList(FileList &list, bool ask);
void RemoveDuplicatedFiles(FileList &list);
void RemoveDeadFiles(FileList &list);
int MoveItemUp(FileList &list, int index);
int MoveItemDown(FileList &list, int index);
