#pragma once
#include "FileList.h"

// The refresh cascade: totals from the cells, then the compatibility check.
void UpdateListTotals(FileList &list);

namespace ListTotals {
FileList::Totals compute(const FileListModel &model);
}
