#pragma once
#include "avi/AviFile.h"
#include "avi/AviSummary.h"
#include "compat/SyncPlan.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
class AviOutput;
struct FillState;

// Tapeweld's own AVI writer: joins the parts into one AVI file in one pass,
// every byte of media read once in large reads and written once (or, where the
// file system shares blocks, its runs' whole blocks shared with the parts), as
// the AVI and OpenDML documents describe:
// - the first part's header list, with its totals set for the whole output and
//   every one of its streams kept;
// - every part's chunks in list order, each filed under the first part's stream
//   of the same kind and position among that kind (renumbered where needed);
// - before a part, the empty video frames and the silence of the stream's own
//   format that the join's plan (SyncPlan, made by the program) puts there;
// - a legacy idx1 over the first RIFF, and OpenDML standard indexes (ix##) in
//   every RIFF with super indexes (indx) over them, RIFFs of at most 1 GiB.
// Memory: the parts' chunk lists while they add up to kKeptChunks, past that one
// part's at a time, and one RIFF's index.
class AviJoiner
{
public:
    struct Progress
    {
        std::function<void(qint64 consumed)> copied; // bytes of the parts written so far
        std::function<void()> indexing;              // every chunk is out: the indexes go last
    };

    // seams: what to put before the parts after the first (by row); index: a
    // repair ignores it and walks its one part as an index rebuild does; riffLimit:
    // a RIFF's size, the first's index included (tests make it small).
    AviJoiner(const QStringList &parts, const QString &output, const QVector<SyncPlan::Seam> &seams = {},
              Avi::Index index = Avi::Index::Trusted, qint64 riffLimit = kRiffLimit);
    // The output must not exist: it is made new, never written through a link.
    Result run(const Progress &progress = {});
    // The chunks the last run put in its output (media, empty frames and silence).
    qint64 chunksWritten() const { return m_chunksWritten; }
    // Where a run of copied chunks lies in the output. Auto: at the same place
    // within a block as in its part, so that the file system shares its whole
    // blocks, where it can (XFS with reflink, btrfs); one chunk after another
    // elsewhere. Aligned lays it out so (as its blocks were shared) everywhere.
    enum class Layout { Auto, Compact, Aligned };
    void setLayout(Layout layout) { m_layout = layout; }
    qint64 blockSize() const { return m_block; } // the last run's alignment; 0: compact
    qint64 sharedBytes() const { return m_sharedBytes; } // of the last run's output, shared with its parts

    static constexpr qint64 kRiffLimit = 1LL << 30; // a RIFF's size, the first's index included
    static constexpr qint64 kMaxOutputBytes = 1LL << 40;
    static constexpr qint64 kKeptChunks = 1 << 20; // 24 MB of chunk lists: each part is then read once
    static constexpr qint64 kLongestRun = 64LL << 20; // the most one copy moves (the progress moves between copies)
    static constexpr qint64 kLeastShared = 64 << 10; // a shorter run is copied where it falls: its gap would cost more than it shares
    // What each read of a copy brings in: a megabyte, as large as a cold or slow
    // disk wants, and small enough that both buffers stay in the processor's cache
    // (2 MB made joins of many parts 8 % slower).
    static constexpr qint64 kCopyWindow = 1 << 20;

private:
    Avi::File read(int part, Avi::Detail detail) const;
    static Result unreadable(int part, const Avi::File &file);
    // Every part read (its chunks kept while they are few): the size of the output, fills included.
    Result survey(QVector<std::optional<Avi::File>> *parts, qint64 *estimate, QVector<Avi::Summary> *summaries) const;
    static void timeMixedSoundByBytes(AviOutput &writer, const QVector<Avi::Summary> &parts);
    const SyncPlan::Seam *seamBefore(int row) const;
    static Result keepUp(AviOutput &writer, FillState &fill, bool whole);
    Result copyPart(AviOutput &writer, int p, const Avi::File &part, qint64 &consumed, const Progress &progress, FillState &fill) const;
    static bool emptySound(const AviOutput &writer, const Avi::Chunk &c, int to);
    static qsizetype runEnd(const AviOutput &writer, const Avi::File &part, const QVector<int> &map, qsizetype i, qsizetype stop);
    Result copyRun(AviOutput &writer, int in, const Avi::File &part, const QVector<int> &map, qsizetype i, qsizetype j, bool shareable) const;
    Result joinInto(int out, const Progress &progress);

    QStringList m_parts;
    QString m_output;
    QVector<SyncPlan::Seam> m_seams;
    Avi::Index m_index;
    qint64 m_riffLimit;
    Avi::Limits m_limits;
    qint64 m_chunksWritten = 0;
    Layout m_layout = Layout::Auto;
    qint64 m_block = 0, m_sharedBytes = 0;
    mutable bool m_indexDisagrees = false; // a chunk's header was not what its part's index says
};
