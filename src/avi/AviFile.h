#pragma once
#include "Riff.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

// An AVI file as its headers and indexes describe it, read from chunk headers
// and indexes only, never from the media data (but for the first bytes of a
// video chunk where no index tells whether it is a key frame). Every read is bounded: walks go
// by an explicit stack with a depth cap, each child clipped to its parent, so a
// crafted file costs time and memory in proportion to its size, never more.
namespace Avi {

// Where the bytes come from: a file, or memory for the fuzz harness.
class Source
{
public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Exactly n bytes at offset into buffer; false when they are not there.
    virtual bool read(qint64 offset, char *buffer, qint64 n) const = 0;
};
constexpr qint64 kReadWindow = 64 << 10;     // the bytes a read from a file brings in
constexpr qint64 kStreamingWindow = 2 << 20; // the least a walk or a check of every chunk reads at once
// null: no regular file that opens; window: the bytes each read from the file brings in.
std::unique_ptr<Source> openFile(const QString &path, qint64 window = kReadWindow);
std::unique_ptr<Source> inMemory(const QByteArray &bytes);

enum class Kind { Video, Audio, Text, Other };

struct Stream
{
    Kind kind = Kind::Other;
    quint32 type = 0, handler = 0;
    QByteArray header, format, name, extra; // strh, strf, strn, strd as stored
    // The stream list's other chunks ("vprp", where a picture's aspect lives, and
    // any the reader does not know), as stored: at most kMostOthers of 4 KB each.
    struct Other
    {
        quint32 id = 0;
        QByteArray data;
    };
    QVector<Other> others;
    static constexpr int kMostOthers = 8;
    quint32 scale = 0, rate = 0, start = 0, length = 0, sampleSize = 0;
    // Video (BITMAPINFOHEADER).
    quint32 compression = 0;
    qint32 width = 0, height = 0;
    // Sound (WAVEFORMATEX).
    quint16 formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
    quint32 samplesPerSec = 0, avgBytesPerSec = 0;
    bool hasSuperIndex = false;
};

struct Chunk
{
    qint64 offset = 0; // of its 8-byte header
    quint32 id = 0;
    quint32 size = 0;
    bool key = true;
    bool keyKnown = true; // false: neither an index nor the frame says, so it is marked key as every rebuild does
    int stream() const { return Riff::streamOf(id); }
};

struct Count
{
    qint64 chunks = 0, bytes = 0;
    qint64 cutChunks = 0, cutBytes = 0; // a walk's chunk cut short by the end of the file: what of it is there
    qint64 empty = 0;                   // chunks of no bytes (counted in chunks too)
    qint64 keys = 0, unknownKeys = 0;   // video: chunks with bytes marked key, and those whose flag nobody says
};

enum class IndexSource { None, Legacy, OpenDml, Walk };

struct File
{
    QString problem; // why it is no AVI file that can be read; empty when it is one
    bool notAvi = false; // the file does not even begin as an AVI file
    // Where what it says of itself and what its chunks show disagree ("its movi list
    // says 0 bytes but holds 50 frames"); empty when they agree. It is read as its chunks show.
    QString damage;
    bool overstatedIndex = false; // an index that says it holds far more than it has room for (other readers stall on it)
    qint64 size = 0;
    int riffs = 0;       // "AVI " and every "AVIX" that follows
    qint64 chainEnd = 0; // where the last RIFF of the chain ends, padded
    QByteArray mainHeader;
    QByteArray info; // the first RIFF's INFO list (title, software ...) without its header, at most 64 KB
    QVector<Stream> streams;
    QVector<QPair<qint64, qint64>> movi; // the data of each movi list: first byte, end
    IndexSource index = IndexSource::None;
    QVector<Count> counts; // per stream: whole chunks and their bytes
    QVector<Chunk> chunks; // Detail::Chunks: every whole media chunk, in file order

    bool isAvi() const { return problem.isEmpty(); }
    // Bytes after the RIFF chain (> 0) or missing from its last chunk (< 0).
    qint64 chainDifference() const { return size - chainEnd; }
    int firstOf(Kind kind) const; // stream number, -1 when there is none
    // Whole chunks of the first video stream; -1 for what is no AVI file.
    qint64 frames() const;
};

enum class Detail { Headers, Counts, Chunks };
enum class Index { Trusted, Ignored }; // Ignored: walk the movi lists as an index rebuild does

struct Limits
{
    int maxDepth = 8;                // LIST nesting below a movi list
    qint64 maxChunks = 16'000'000;   // kept with Detail::Chunks (24 bytes each)
    bool checkEveryChunk = false;    // an index is believed only if every chunk it names is there (not a sample)
    qint64 readWindow = kReadWindow; // bytes each read from a file brings in
};

File read(const Source &source, Detail detail = Detail::Chunks, Index index = Index::Trusted, const Limits &limits = {});
File read(const QString &path, Detail detail = Detail::Chunks, Index index = Index::Trusted, const Limits &limits = {});

// How long a stream plays by what it holds, in seconds; -1 when its timing is not known.
double seconds(const Stream &stream, const Count &count);

} // namespace Avi
