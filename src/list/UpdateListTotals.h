#pragma once
#include "FileList.h"

// The refresh cascade: totals from the cells, then the status check.
void UpdateListTotals(FileList &list);

// The compatibility check sits above the list, so the list does not call it by
// name: start-up installs it here (CheckCompatibility), once for the program.
using StatusCheck = void (*)(FileList &list);
void setStatusCheck(StatusCheck check);

namespace ListTotals {
FileList::Totals compute(const FileListModel &model);
}
