#pragma once
#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <functional>

// Tapeweld's own AVI writer: joins the parts into one AVI file in one pass,
// every byte of media read once and written once (runs of chunks that need no
// change moved by the kernel), as the AVI and OpenDML documents describe:
// - the first part's header list, with its totals set for the whole output and
//   every one of its streams kept;
// - every part's chunks in list order, each filed under the first part's stream
//   of the same kind and position among that kind (renumbered where needed);
// - empty video frames where a part's sound ran longer than its picture, and
//   silence of the stream's own format where it ran shorter (SyncPlan);
// - a legacy idx1 over the first RIFF, and OpenDML standard indexes (ix##) in
//   every RIFF with super indexes (indx) over them, RIFFs of at most 1 GiB.
// Memory: one part's chunk list and one RIFF's index at a time.
class AviJoiner
{
public:
    struct Progress
    {
        std::function<void(qint64 consumed)> copied; // bytes of the parts written so far
        std::function<void()> indexing;              // every chunk is out: the indexes go last
    };

    // A repair joins one part walked as the encoder's index rebuild walks it.
    enum class Source { Indexes, Walk };

    // riffLimit: a RIFF's size, the first's index included (tests make it small).
    AviJoiner(const QStringList &parts, const QString &output, Source source = Source::Indexes, qint64 riffLimit = kRiffLimit);
    // The output must not exist: it is made new, never written through a link.
    Result run(const Progress &progress = {});

    static constexpr qint64 kRiffLimit = 1LL << 30; // a RIFF's size, the first's index included
    static constexpr qint64 kMaxOutputBytes = 1LL << 40;

private:
    QStringList m_parts;
    QString m_output;
    Source m_source;
    qint64 m_riffLimit;
};
