#pragma once
#include <QString>
#include <QtGlobal>

// The chunk structure of an AVI file, read from chunk headers only (never the
// media data): where its top-level RIFF chain ends, and how many video frames
// its movi lists hold.
namespace AviRiff {

struct Chain
{
    bool avi = false;       // starts with a RIFF "AVI " chunk
    int riffChunks = 0;     // "AVI " and every "AVIX" that follows (OpenDML)
    qint64 fileSize = 0;
    qint64 end = 0;         // where the last chunk ends, padded to even
    // Bytes after the chain (> 0) or missing from its last chunk (< 0).
    qint64 difference() const { return fileSize - end; }
};
Chain walk(const QString &path);

// Video chunks ("##dc", "##db") of the first video stream in every movi list,
// whole ones only; -1 when the file is no AVI.
qint64 videoFrames(const QString &path);

} // namespace AviRiff
