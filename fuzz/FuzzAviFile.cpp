// The AVI reader, as trusted and as a walk: any bytes read without harm, in
// time and memory linear in their size; every chunk it keeps lies whole inside
// the file, in file order, and is counted once; the summary survives its line.
#include "FuzzCheck.h"
#include "avi/AviSummary.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto source = Avi::inMemory(bytes);
    for (const Avi::Index index : {Avi::Index::Trusted, Avi::Index::Ignored}) {
        const Avi::File f = Avi::read(*source, Avi::Detail::Chunks, index);
        FUZZ_CHECK(f.size == static_cast<qint64>(size));
        qint64 counted = 0, last = -1;
        for (const Avi::Chunk &c : f.chunks) {
            FUZZ_CHECK(c.offset > last);
            FUZZ_CHECK(c.offset >= 0 && c.offset + 8 + static_cast<qint64>(c.size) <= f.size);
            FUZZ_CHECK(c.stream() >= 0 && c.stream() < f.streams.size());
            last = c.offset;
        }
        for (const Avi::Count &n : f.counts)
            counted += n.chunks;
        FUZZ_CHECK(!f.isAvi() || counted == f.chunks.size());
        FUZZ_CHECK(f.chunks.size() <= static_cast<qsizetype>(size / 8));
        const Avi::Summary s = Avi::Summary::of(f);
        const std::optional<Avi::Summary> back = Avi::Summary::fromText(s.toText());
        FUZZ_CHECK(back && *back == s);
    }
    return 0;
}
