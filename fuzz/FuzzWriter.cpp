// Tapeweld's own writer with a fuzzed part 2 beside a valid part 1, filled as
// the program plans it: any bytes are joined or refused without harm, and an
// output it accepts holds exactly the chunks it says it wrote, by its index
// and by its chunks alike.
#include "FuzzCheck.h"
#include "avi/AviSummary.h"
#include "compat/SyncPlan.h"
#include "join/AviJoiner.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    static const QTemporaryDir folder;
    const QString valid = QStringLiteral(TW_FUZZ_VALID_PART), part = folder.filePath(QStringLiteral("part.avi")),
                  out = folder.filePath(QStringLiteral("out.avi"));
    QFile f(part);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    f.close();
    QFile::remove(out);
    const QVector<SyncPlan::Seam> seams = SyncPlan::plan({Avi::summarize(valid), Avi::summarize(part)}, true);
    AviJoiner joiner({valid, part}, out, seams);
    if (joiner.run().ok()) {
        for (const Avi::Index index : {Avi::Index::Trusted, Avi::Index::Ignored}) {
            const Avi::File joined = Avi::read(out, Avi::Detail::Counts, index);
            FUZZ_CHECK(joined.isAvi() && joined.chainDifference() == 0);
            qint64 chunks = 0;
            for (const Avi::Count &c : joined.counts)
                chunks += c.chunks;
            FUZZ_CHECK(chunks == joiner.chunksWritten());
        }
    }
    QFile::remove(out);
    return 0;
}
