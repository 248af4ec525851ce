#pragma once
#include "Carriage.h"

#include <QString>
class FileListModel;

// A part whose file does not end where its RIFF chunks end (a stray byte, junk
// appended, a file cut short) puts the next part where the encoder's index scan
// never finds it, when the parts are copied byte for byte. A writer that reads
// each part by its own chunks carries a tail; a file cut short loses only its own
// cut chunk, and one whose index alone was cut off loses nothing. Reads what the
// rows' facts hold (refreshRowFacts).
namespace ChunkCheck {

struct Finding
{
    int row = 0;          // 0: every row ends where its chunks end
    qint64 difference = 0; // bytes after the chunks (> 0) or missing from them (< 0)
    bool notAvi = false;
};

Finding check(const FileListModel &model, const Carriage &carriage);
QString question(const FileListModel &model, const Finding &f, const Carriage &carriage);

} // namespace ChunkCheck
