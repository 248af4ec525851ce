#pragma once
#include "AviFile.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

namespace Avi {

// What the checks and the outcome need of a file's streams, without its chunks:
// each stream's kind and format, and what it holds. Small enough to keep in a
// row and to send over a probe helper's line.
struct StreamSummary
{
    Kind kind = Kind::Other;
    quint32 handler = 0, compression = 0;
    quint16 formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
    quint32 samplesPerSec = 0, avgBytesPerSec = 0, scale = 0, rate = 0, sampleSize = 0;
    qint64 chunks = 0, bytes = 0;
    qint64 cutChunks = 0, cutBytes = 0; // a chunk cut short by the end of the file (a walk only)
    qint64 empty = 0;                   // chunks of no bytes, among chunks
    qint64 keys = 0, unknownKeys = 0;   // video: frames with bytes marked key, and those whose flag nobody says
    bool operator==(const StreamSummary &) const = default;

    double seconds() const; // how long it plays by what it holds; -1 when not known
    double frameRate() const; // rate / scale; 0 when not known
};

struct Summary
{
    bool read = false; // false: never read (a row from a list file) or the reader gave up
    bool notAvi = false;
    QString problem;   // why it is no AVI file that can be read; empty when it is one
    QString damage;    // where its headers and its chunks disagree (File::damage); empty when they agree
    qint64 size = 0, chainEnd = 0;
    QVector<StreamSummary> streams;
    bool operator==(const Summary &) const = default;

    bool isAvi() const { return read && problem.isEmpty(); }
    qint64 chainDifference() const { return size - chainEnd; }
    int firstOf(Kind kind) const;
    int countOf(Kind kind) const;
    QVector<int> streamsOf(Kind kind) const; // the indexes of its streams of a kind, in order
    // Whole chunks of the first video stream; -1 when they are not known.
    qint64 frames() const;

    static Summary of(const File &file);
    // One line of text, blank-separated; nothing for a broken line.
    QByteArray toText() const;
    static std::optional<Summary> fromText(const QByteArray &text);
};

// Reads only the headers and the index (or walks the movi lists).
Summary summarize(const QString &path);

} // namespace Avi
