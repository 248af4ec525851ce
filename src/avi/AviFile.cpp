#include "AviFile.h"
#include "KeyFrames.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Riff;

namespace {

// Reads through a window of the file, so that a walk over thousands of chunk
// headers costs a large sequential read per window, as a copy does, not a small
// read per chunk (one request each on a cold or slow disk).
class FileSource : public Avi::Source
{
public:
    FileSource(int fd, qint64 size, qint64 window) : m_fd(fd), m_size(size), m_window(window) {}
    ~FileSource() override { ::close(m_fd); }
    qint64 size() const override { return m_size; }
    bool read(qint64 offset, char *buffer, qint64 n) const override
    {
        if (offset < 0 || n < 0 || offset > m_size - n)
            return false;
        if (offset >= m_at && offset + n <= m_at + m_cached.size()) {
            std::memcpy(buffer, m_cached.constData() + (offset - m_at), static_cast<size_t>(n));
            return true;
        }
        // A read that goes on from the last window brings in twice as much, up to
        // the window; one elsewhere (an index, a chunk checked against it) a page or
        // a few: a reader that jumps about copies what it reads, not whole windows.
        const qint64 at = offset & ~qint64(4095);
        const bool onward = !m_cached.isEmpty() && at >= m_at && at <= m_at + m_cached.size();
        m_next = onward ? qMin(2 * m_next, m_window) : qMin(kFirstRead, m_window);
        const qint64 length = qMin(qMax(m_next, (offset + n - at + 4095) & ~qint64(4095)), m_size - at);
        if (length > m_window) // larger than the window: read as asked
            return FileSystem::readAll(m_fd, buffer, n, offset);
        if (m_cached.capacity() < m_window) // made once: growing it would cost new pages each time
            m_cached.reserve(static_cast<qsizetype>(m_window));
        m_cached.resize(static_cast<qsizetype>(length));
        if (!FileSystem::readAll(m_fd, m_cached.data(), length, at)) {
            m_cached.clear();
            return false;
        }
        m_at = at;
        std::memcpy(buffer, m_cached.constData() + (offset - at), static_cast<size_t>(n));
        return true;
    }

private:
    static constexpr qint64 kFirstRead = 8 << 10;
    int m_fd;
    qint64 m_size, m_window;
    mutable qint64 m_at = 0, m_next = 0;
    mutable QByteArray m_cached;
};

class MemorySource : public Avi::Source
{
public:
    explicit MemorySource(const QByteArray &bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    bool read(qint64 offset, char *buffer, qint64 n) const override
    {
        if (offset < 0 || n < 0 || offset > m_bytes.size() - n)
            return false;
        std::memcpy(buffer, m_bytes.constData() + offset, static_cast<size_t>(n));
        return true;
    }

private:
    QByteArray m_bytes;
};

struct Header
{
    qint64 at = 0;    // where the chunk's header is
    quint32 id = 0;
    quint32 size = 0;
    quint32 form = 0; // for RIFF and LIST
    qint64 data() const { return at + 8; }
    qint64 end() const { return at + 8 + padded(size); } // may lie past the file
};

bool headerAt(const Avi::Source &s, qint64 at, qint64 limit, Header *h)
{
    char b[12];
    if (at < 0 || at + 8 > limit || !s.read(at, b, 8))
        return false;
    h->at = at;
    h->id = u32(b);
    h->size = u32(b + 4);
    h->form = 0;
    if ((h->id == kRiff || h->id == kList) && at + 12 <= limit && s.read(at + 8, b + 8, 4))
        h->form = u32(b + 8);
    return true;
}

// The chunks directly inside [begin, end): each clipped to the range; a step
// always moves forward by at least a header, so this is linear in the range.
template <typename Visit>
void children(const Avi::Source &s, qint64 begin, qint64 end, Visit visit)
{
    Header h; // the visitor may widen it (a list whose size was never written)
    for (qint64 at = begin; headerAt(s, at, end, &h); at = h.end())
        if (!visit(h) || h.end() >= end)
            break;
}

// A chunk that may follow another at the top of a RIFF or inside it.
bool knownTopLevel(const Header &h) { return h.id == kList || h.id == kIdx1 || h.id == kJunk || h.id == kRiff; }
bool riffChild(const Header &h) { return h.id == kList || h.id == kIdx1 || h.id == kJunk; }
bool mediaChunk(const Header &h) { return streamOf(h.id) >= 0 || isStandardIndex(h.id); }
bool frameOrSound(const Header &h) { return streamOf(h.id) >= 0; }

QByteArray dataOf(const Avi::Source &s, const Header &h, qint64 limit, qint64 most = 1 << 16)
{
    const qint64 n = qMin<qint64>(qMin<qint64>(h.size, most), limit - h.data());
    QByteArray data(static_cast<qsizetype>(qMax<qint64>(0, n)), Qt::Uninitialized);
    if (n > 0 && !s.read(h.data(), data.data(), n))
        return {};
    return data;
}

void parseStreamHeader(Avi::Stream &st)
{
    const char *h = st.header.constData();
    if (st.header.size() < 8)
        return;
    st.type = u32(h + Strh::kType);
    st.handler = u32(h + Strh::kHandler);
    st.kind = st.type == kVids ? Avi::Kind::Video : st.type == kAuds ? Avi::Kind::Audio : st.type == kTxts ? Avi::Kind::Text : Avi::Kind::Other;
    if (st.header.size() >= Strh::kTimedSize) {
        st.scale = u32(h + Strh::kScale);
        st.rate = u32(h + Strh::kRate);
        st.start = u32(h + Strh::kStart);
        st.length = u32(h + Strh::kLength);
        st.sampleSize = u32(h + Strh::kSampleSize);
    }
}

void parseFormat(Avi::Stream &st)
{
    const char *f = st.format.constData();
    if (st.kind == Avi::Kind::Video && st.format.size() >= Bih::kSize) {
        st.width = static_cast<qint32>(u32(f + Bih::kWidth));
        st.height = static_cast<qint32>(u32(f + Bih::kHeight));
        st.compression = u32(f + Bih::kCompression);
    } else if (st.kind == Avi::Kind::Audio && st.format.size() >= Wfx::kSize) {
        st.formatTag = u16(f + Wfx::kFormatTag);
        st.channels = u16(f + Wfx::kChannels);
        st.samplesPerSec = u32(f + Wfx::kSamplesPerSec);
        st.avgBytesPerSec = u32(f + Wfx::kAvgBytesPerSec);
        st.blockAlign = u16(f + Wfx::kBlockAlign);
        st.bitsPerSample = st.format.size() >= Wfx::kSizeWithBits ? u16(f + Wfx::kBitsPerSample) : 0;
    }
}

struct IndexChunk
{
    qint64 at = 0; // of the ix chunk's header
    quint32 size = 0;
};

// Into file order: an index mostly comes in it already (a legacy index), or in
// a few runs of it (a stream's OpenDML index, then the next's).
void putInFileOrder(QVector<Avi::Chunk> &chunks)
{
    const auto byOffset = [](const Avi::Chunk &a, const Avi::Chunk &b) { return a.offset < b.offset; };
    if (!std::is_sorted(chunks.begin(), chunks.end(), byOffset))
        std::sort(chunks.begin(), chunks.end(), byOffset);
}

// Whether the stored chunk at c.offset really has the id and size the index gives.
bool matches(const Avi::Source &s, const Avi::Chunk &c)
{
    char b[8];
    return s.read(c.offset, b, 8) && u32(b) == c.id && u32(b + 4) == c.size;
}

// A video chunk's key flag where no index entry gives it: its codec's frame
// header says, or (a codec whose frames do not say) it stays unknown.
void readKey(const Avi::Source &s, quint32 compression, Avi::Chunk &c)
{
    switch (Avi::KeyFrames::ruleFor(compression)) {
    case Avi::KeyFrames::Rule::Unknown:
        c.key = true;
        c.keyKnown = false;
        return;
    case Avi::KeyFrames::Rule::AllKey: // nothing to read
        c.key = c.size > 0;
        return;
    case Avi::KeyFrames::Rule::Read: break;
    }
    char b[Avi::KeyFrames::kBytesNeeded];
    const qint64 n = qMin<qint64>(c.size, sizeof b);
    const std::optional<bool> key = s.read(c.offset + 8, b, n) ? Avi::KeyFrames::isKey(compression, b, n, c.size) : std::nullopt;
    c.key = key.value_or(true);
    c.keyKnown = key.has_value();
}

class Reader
{
public:
    Reader(const Avi::Source &s, Avi::Detail detail, Avi::Index index, const Avi::Limits &limits)
        : m_s(s), m_detail(detail), m_index(index), m_limits(limits)
    {
    }

    Avi::File run()
    {
        m_f.size = m_s.size();
        Header riff;
        if (!headerAt(m_s, 0, m_f.size, &riff) || riff.id != kRiff || riff.form != kAvi) {
            m_f.problem = QStringLiteral("it holds no AVI chunks");
            m_f.notAvi = true;
            return m_f;
        }
        // The chain of RIFFs: "AVI ", then each "AVIX" right after the one before.
        for (qint64 at = 0; headerAt(m_s, at, m_f.size, &riff) && riff.id == kRiff
                            && (at == 0 ? riff.form == kAvi : riff.form == kAvix);
             at = riff.end()) {
            ++m_f.riffs;
            if (const qint64 real = realEnd(riff, riff.at + 12, m_f.size, riffChild, riffChild); real > riff.end()) {
                m_damage << QStringLiteral("its RIFF header says %1 bytes but the file holds %2").arg(QLocale().toString(riff.size + 8)).arg(QLocale().toString(real - riff.at));
                riff.size = static_cast<quint32>(qMin<qint64>(real - riff.at - 8, 0xffffffffu));
            }
            m_f.chainEnd = riff.end();
            readRiff(riff, at == 0);
            if (riff.end() + 12 > m_f.size)
                break;
        }
        if (m_f.streams.isEmpty())
            m_f.problem = QStringLiteral("it has no stream headers");
        m_f.counts.resize(m_f.streams.size());
        if (m_detail == Avi::Detail::Headers || !m_f.isAvi())
            return m_f;
        const bool trusted = m_index == Avi::Index::Trusted;
        QVector<Avi::Chunk> openDml, legacy;
        const bool haveOpenDml = openDmlEntries(&openDml);
        bool indexed = trusted && haveOpenDml && accept(openDml, Avi::IndexSource::OpenDml);
        const bool haveLegacy = !indexed && legacyEntries(&legacy);
        indexed = indexed || (trusted && haveLegacy && accept(legacy, Avi::IndexSource::Legacy));
        if (!indexed) {
            // Walked, the file's own index entries still give the key flags of the chunks they agree with.
            m_flags = haveOpenDml ? openDml : QVector<Avi::Chunk>();
            if (haveLegacy)
                m_flags += legacy;
            putInFileOrder(m_flags);
            walkAll();
        }
        if (m_tooMany) {
            m_f.problem = QStringLiteral("it holds more chunks than can be indexed");
            m_f.chunks.clear();
        }
        if (!m_moviSaid.isEmpty())
            m_damage << QStringLiteral("its movi list says %1 bytes but holds %2 frames").arg(m_moviSaid).arg(QLocale().toString(m_f.frames()));
        if (m_missingPads > 0)
            m_damage << QStringLiteral("%1 of its chunks lack the pad byte after them").arg(QLocale().toString(m_missingPads));
        if (m_superPastEnd)
            m_damage << QStringLiteral("its OpenDML index points past the end of the file");
        if (m_openDmlCut)
            m_damage << QStringLiteral("its OpenDML index is cut off by the end of the file");
        m_f.damage = m_damage.join(QStringLiteral(", and "));
        return m_f;
    }

private:
    void readRiff(const Header &riff, bool first)
    {
        const qint64 end = qMin(riff.end(), m_f.size);
        children(m_s, riff.at + 12, end, [&](Header &h) {
            if (h.id == kList && h.form == kHdrl && first && m_f.streams.isEmpty())
                readHeaderList(h, qMin(h.end(), end));
            else if (h.id == kList && h.form == kMovi)
                readMovi(h, end);
            else if (h.id == kIdx1 && first)
                m_idx1 = h;
            else if (h.id == kList && h.form == fourcc("INFO") && first && m_f.info.isEmpty() && h.size >= 4)
                m_f.info = dataOf(m_s, h, end).mid(4);
            return true;
        });
    }

    void readMovi(Header &h, qint64 end)
    {
        // What follows a movi list is an index, a list or padding; media chunks
        // there, or a chunk cut by its stated end, mean its size was never written.
        Header next;
        const bool odd = h.end() < end && (!headerAt(m_s, h.end(), end, &next) || !knownTopLevel(next));
        if (odd || h.size < 4) {
            if (const qint64 real = realEnd(h, h.at + 12, end, mediaChunk, frameOrSound); real > h.end()) {
                m_moviSaid = QLocale().toString(h.size);
                h.size = static_cast<quint32>(qMin<qint64>(real - h.at - 8, 0xffffffffu));
            }
        }
        m_f.movi.append({h.at + 12, qMin(h.end(), end)});
    }

    // Where a RIFF or list whose size may never have been written really ends: at
    // limit when its stated end cuts into one of its chunks (crosses) or is
    // followed by one of them (follows), else where it says. Read only when in doubt.
    template <typename Crosses, typename Follows>
    qint64 realEnd(const Header &h, qint64 begin, qint64 limit, Crosses crosses, Follows follows) const
    {
        const qint64 stated = qMax(h.end(), begin);
        if (stated + 1 >= limit) // a pad byte more or less is no damage
            return stated;
        Header c;
        qint64 at = begin;
        while (at < stated && headerAt(m_s, at, limit, &c) && crosses(c) && c.end() <= stated)
            at = c.end();
        if (at > stated || !headerAt(m_s, at, limit, &c))
            return stated;
        return (at < stated ? crosses(c) : follows(c)) ? limit : stated;
    }

    void readHeaderList(const Header &hdrl, qint64 end)
    {
        children(m_s, hdrl.at + 12, end, [&](const Header &h) {
            if (h.id == kAvih)
                m_f.mainHeader = dataOf(m_s, h, end, 256);
            else if (h.id == kList && h.form == kStrl && m_f.streams.size() < 100)
                readStreamList(h, qMin(h.end(), end));
            return true;
        });
    }

    void readStreamList(const Header &strl, qint64 end)
    {
        Avi::Stream st;
        children(m_s, strl.at + 12, end, [&](const Header &h) {
            if (h.id == kStrh)
                st.header = dataOf(m_s, h, end, 256);
            else if (h.id == kStrf)
                st.format = dataOf(m_s, h, end);
            else if (h.id == kStrn)
                st.name = dataOf(m_s, h, end, 4096);
            else if (h.id == kStrd)
                st.extra = dataOf(m_s, h, end);
            else if (h.id == kIndx)
                readSuperIndex(h, end, static_cast<int>(m_f.streams.size()), &st);
            else if (h.id != kJunk && st.others.size() < Avi::Stream::kMostOthers)
                st.others.append({h.id, dataOf(m_s, h, end, 4096)});
            return true;
        });
        parseStreamHeader(st);
        parseFormat(st);
        m_f.streams.append(st);
    }

    void readSuperIndex(const Header &h, qint64 end, int stream, Avi::Stream *st)
    {
        char b[24];
        if (h.size < 24 || h.data() + 24 > end || !m_s.read(h.data(), b, 24))
            return;
        if (u16(b) != 4 || static_cast<unsigned char>(b[3]) != 0) // four longs an entry, an index of indexes
            return;
        const qint64 room = (qMin(h.data() + h.size, end) - h.data() - 24) / 16;
        const qint64 entries = qMin<qint64>(u32(b + 4), room);
        if (u32(b + 4) > room + 1) {
            // A count no chunk can hold: readers that believe it stall on it.
            m_f.overstatedIndex = true;
            m_damage << QStringLiteral("its OpenDML index says it holds %1 entries but has room for %2")
                            .arg(QLocale().toString(u32(b + 4)), QLocale().toString(room));
        }
        for (qint64 i = 0; i < entries; ++i) {
            char e[16];
            if (!m_s.read(h.data() + 24 + i * 16, e, 16))
                break;
            const quint64 offset = u64(e);
            if (offset < static_cast<quint64>(m_f.size))
                m_superEntries.append({stream, {static_cast<qint64>(offset), u32(e + 8)}});
            else
                m_superPastEnd = true;
        }
        st->hasSuperIndex = entries > 0;
    }

    bool inMovi(qint64 offset, qint64 end) const
    {
        for (const auto &[begin, stop] : m_f.movi)
            if (offset >= begin && end <= stop)
                return true;
        return false;
    }

    bool add(const Avi::Chunk &c)
    {
        const int stream = c.stream();
        if (stream < 0 || stream >= m_f.counts.size())
            return true; // a chunk of no stream the header declares
        m_f.counts[stream].chunks += 1;
        m_f.counts[stream].bytes += c.size;
        m_f.counts[stream].empty += c.size == 0;
        if (c.size > 0 && m_f.streams[stream].kind == Avi::Kind::Video) {
            m_f.counts[stream].keys += c.key;
            m_f.counts[stream].unknownKeys += !c.keyKnown;
        }
        if (m_detail == Avi::Detail::Chunks) {
            if (m_f.chunks.size() >= m_limits.maxChunks) {
                m_tooMany = true;
                return false;
            }
            m_f.chunks.append(c);
        }
        return true;
    }

    void resetChunks()
    {
        m_f.chunks.clear();
        m_f.counts.fill(Avi::Count());
        m_tooMany = false;
    }

    // Entries gathered from an index, checked and put in file order; false when
    // the index does not describe the file (then it is walked instead).
    bool accept(QVector<Avi::Chunk> &entries, Avi::IndexSource source)
    {
        for (const Avi::Chunk &c : std::as_const(entries))
            if (c.offset < 0 || !inMovi(c.offset, c.offset + 8 + c.size))
                return false;
        putInFileOrder(entries);
        for (qsizetype i = 1; i < entries.size(); ++i)
            if (entries[i].offset < entries[i - 1].offset + 8 + entries[i - 1].size)
                return false; // overlapping entries
        if (entries.isEmpty()) {
            // An empty index is only believed of movi lists that hold nothing.
            for (const auto &[begin, end] : m_f.movi)
                if (end > begin + 8)
                    return false;
        } else if (m_limits.checkEveryChunk) {
            for (const Avi::Chunk &c : std::as_const(entries))
                if (!matches(m_s, c))
                    return false;
        } else {
            for (const qsizetype i : {qsizetype(0), entries.size() / 2, entries.size() - 1})
                if (!matches(m_s, entries[i]))
                    return false;
        }
        resetChunks();
        if (m_detail == Avi::Detail::Chunks)
            m_f.chunks.reserve(entries.size());
        // Chunks the index misses at the end of a movi list (a file whose index was
        // written before more was appended) are walked and taken too.
        qsizetype next = 0;
        for (const auto &[begin, end] : m_f.movi) {
            qint64 covered = begin;
            while (next < entries.size() && entries[next].offset < end) {
                if (!add(entries[next]))
                    return true;
                covered = entries[next].offset + 8 + padded(entries[next].size);
                ++next;
            }
            walk(covered, end);
        }
        m_f.index = source;
        return true;
    }

    // The OpenDML index's entries as it states them; false when it is not one.
    bool openDmlEntries(QVector<Avi::Chunk> *out)
    {
        QVector<Avi::Chunk> &entries = *out;
        if (m_superEntries.isEmpty())
            return false;
        for (int i = 0; i < m_f.streams.size(); ++i) {
            const Avi::Stream &st = m_f.streams[i];
            const bool media = st.kind == Avi::Kind::Video || st.kind == Avi::Kind::Audio;
            // A stream whose every index lies past the end has none: the file is read another way.
            if (media && (!st.hasSuperIndex || std::none_of(m_superEntries.begin(), m_superEntries.end(), [i](const auto &e) { return e.first == i; })))
                return false;
        }
        for (const auto &[stream, ix] : std::as_const(m_superEntries)) {
            Header h;
            char b[24];
            if (!headerAt(m_s, ix.at, m_f.size, &h) || !isStandardIndex(h.id) || h.size < 24 || !m_s.read(h.data(), b, 24))
                return false;
            if (u16(b) != 2 || static_cast<unsigned char>(b[3]) != 1) // two longs an entry, an index of chunks
                return false;
            const quint32 id = u32(b + 8);
            const quint64 base = u64(b + 12);
            const qint64 room = (qMin<qint64>(h.data() + h.size, m_f.size) - h.data() - 24) / 8;
            if (u32(b + 4) > room && h.data() + h.size > m_f.size) {
                // Cut off inside it: the index names only some of its stream's chunks.
                m_openDmlCut = true;
                return false;
            }
            const qint64 n = qMax<qint64>(0, qMin<qint64>(u32(b + 4), room));
            const qsizetype at = entries.size();
            if (at + n > m_limits.maxChunks)
                return false;
            QByteArray table(static_cast<qsizetype>(n * 8), Qt::Uninitialized);
            if (n > 0 && !m_s.read(h.data() + 24, table.data(), n * 8))
                return false;
            if (base > static_cast<quint64>(m_f.size))
                return false;
            // Filled in place: tens of thousands of entries an index, appended one by one, cost more than reading them.
            if (entries.capacity() < at + n)
                entries.reserve(qMax<qsizetype>(at + n, 2 * entries.capacity()));
            entries.resize(at + n);
            Avi::Chunk *out = entries.data() + at;
            for (qint64 i = 0; i < n; ++i) {
                const quint32 size = u32(table.constData() + i * 8 + 4);
                out[i].offset = static_cast<qint64>(base) + u32(table.constData() + i * 8) - 8;
                out[i].id = withStream(id, stream);
                out[i].size = size & 0x7fffffffu;
                out[i].key = (size & 0x80000000u) == 0;
            }
        }
        return true;
    }

    // The legacy index's entries as it states them; false when it is not one.
    bool legacyEntries(QVector<Avi::Chunk> *out)
    {
        QVector<Avi::Chunk> &entries = *out;
        if (m_idx1.id != kIdx1 || m_f.movi.isEmpty())
            return false;
        const qint64 end = qMin(m_idx1.data() + m_idx1.size, m_f.size);
        const qint64 n = qMax<qint64>(0, (end - m_idx1.data()) / 16);
        if (n > m_limits.maxChunks)
            return false;
        QByteArray table(static_cast<qsizetype>(n * 16), Qt::Uninitialized);
        if (n > 0 && !m_s.read(m_idx1.data(), table.data(), n * 16))
            return false;
        // Offsets count from the "movi" code of the first movi list, or, in some
        // files, from the start of the file: the first media entry tells which.
        const qint64 moviCode = m_f.movi.first().first - 4;
        qint64 base = -1;
        entries.reserve(n);
        for (qint64 i = 0; i < n; ++i) {
            const char *e = table.constData() + i * 16;
            Avi::Chunk c;
            c.id = u32(e);
            if (c.stream() < 0 || (u32(e + 4) & 0x1)) // not media, or a 'rec ' list
                continue;
            c.size = u32(e + 12);
            c.key = (u32(e + 4) & 0x10) != 0;
            const qint64 offset = u32(e + 8);
            if (base < 0) {
                c.offset = moviCode + offset;
                if (matches(m_s, c))
                    base = moviCode;
                else if (c.offset = offset; matches(m_s, c))
                    base = 0;
                else
                    return false;
            }
            c.offset = base + offset;
            entries.append(c);
        }
        // The legacy index covers the first RIFF only; later movi lists are walked.
        return true;
    }

    void walkAll()
    {
        resetChunks();
        for (const auto &[begin, end] : std::as_const(m_f.movi))
            walk(begin, end);
        m_f.index = Avi::IndexSource::Walk;
    }

    // Every whole media chunk in [begin, end), lists entered, by an explicit
    // stack: each list is clipped to its parent, and past the depth cap a list
    // is read in place, as a demuxer's linear scan reads it. Every step moves
    // forward, so the walk is linear in the bytes it covers.
    void walk(qint64 begin, qint64 end)
    {
        struct Level
        {
            qint64 at, end;
        };
        QVector<Level> stack{{begin, end}};
        while (!stack.isEmpty() && !m_tooMany) {
            Level &top = stack.last();
            Header h;
            if (!headerAt(m_s, top.at, top.end, &h)) {
                stack.removeLast();
                continue;
            }
            top.at = h.end();
            if ((h.size & 1) && h.end() < top.end && !plausibleAt(h.end(), top.end) && plausibleAt(h.end() - 1, top.end)) {
                top.at = h.end() - 1; // a muxer that wrote no pad byte
                ++m_missingPads;
            }
            if (h.id == kList) {
                if (h.at + 12 > top.end)
                    continue;
                if (stack.size() <= m_limits.maxDepth)
                    stack.append({h.at + 12, qMin(h.end(), top.end)});
                else
                    top.at = h.at + 12; // deeper lists are entered in place, clipped to the deepest level kept
                continue;
            }
            if (h.data() + h.size > top.end) {
                // Cut short: not a whole chunk, though an index rebuild may keep what is there.
                const int stream = Riff::streamOf(h.id);
                if (stream >= 0 && stream < m_f.counts.size() && top.end >= m_f.size) {
                    m_f.counts[stream].cutChunks += 1;
                    m_f.counts[stream].cutBytes += qMax<qint64>(0, top.end - h.data());
                }
                continue;
            }
            Avi::Chunk c{h.at, h.id, h.size};
            if (c.stream() < 0)
                continue;
            if (c.stream() < m_f.streams.size() && m_f.streams[c.stream()].kind == Avi::Kind::Video)
                flagKey(c);
            if (!add(c))
                return;
        }
    }

    bool plausibleAt(qint64 at, qint64 limit) const
    {
        Header h;
        return headerAt(m_s, at, limit, &h) && (mediaChunk(h) || knownTopLevel(h)) && h.data() + h.size <= limit;
    }

    // A walked video chunk's key flag: from the file's own index entry for it, else from its frame.
    void flagKey(Avi::Chunk &c) const
    {
        const auto at = std::lower_bound(m_flags.begin(), m_flags.end(), c.offset,
                                         [](const Avi::Chunk &e, qint64 offset) { return e.offset < offset; });
        for (auto e = at; e != m_flags.end() && e->offset == c.offset; ++e)
            if (e->stream() == c.stream() && e->size == c.size) {
                c.key = e->key;
                return;
            }
        readKey(m_s, m_f.streams[c.stream()].compression, c);
    }

    const Avi::Source &m_s;
    const Avi::Detail m_detail;
    const Avi::Index m_index;
    const Avi::Limits m_limits;
    Avi::File m_f;
    Header m_idx1;
    QVector<QPair<int, IndexChunk>> m_superEntries;
    QVector<Avi::Chunk> m_flags; // the file's own index entries, in file order, when it is walked
    QStringList m_damage;        // where what it says of itself and what its chunks show disagree
    QString m_moviSaid;          // a movi list's size that was never written, as it stood
    qint64 m_missingPads = 0;    // odd-sized chunks without the pad byte after them
    bool m_superPastEnd = false; // an OpenDML index names an index past the end of the file
    bool m_openDmlCut = false;   // one of its OpenDML indexes is cut off by the end of the file
    bool m_tooMany = false;
};

} // namespace

std::unique_ptr<Avi::Source> Avi::openFile(const QString &path, qint64 window)
{
    // O_NONBLOCK: a FIFO answers at once instead of waiting for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(fd, static_cast<qint64>(st.st_size), window);
}

std::unique_ptr<Avi::Source> Avi::inMemory(const QByteArray &bytes) { return std::make_unique<MemorySource>(bytes); }

Avi::File Avi::read(const Source &source, Detail detail, Index index, const Limits &limits)
{
    return Reader(source, detail, index, limits).run();
}

Avi::File Avi::read(const QString &path, Detail detail, Index index, const Limits &limits)
{
    // A walk or a check of every chunk reads every chunk's header: in large reads, as a copy would.
    const bool everyChunk = detail != Detail::Headers && (index == Index::Ignored || limits.checkEveryChunk);
    const std::unique_ptr<Source> source = openFile(path, everyChunk ? std::max(limits.readWindow, kStreamingWindow) : limits.readWindow);
    if (!source) {
        File f;
        f.problem = QStringLiteral("it cannot be read");
        return f;
    }
    return read(*source, detail, index, limits);
}

int Avi::File::firstOf(Kind kind) const
{
    for (int i = 0; i < streams.size(); ++i)
        if (streams[i].kind == kind)
            return i;
    return -1;
}

qint64 Avi::File::frames() const
{
    if (notAvi || streams.isEmpty())
        return -1;
    const int video = firstOf(Kind::Video);
    return video < 0 || video >= counts.size() ? 0 : counts[video].chunks;
}

double Avi::seconds(const Stream &stream, const Count &count)
{
    if (stream.rate == 0 || stream.scale == 0)
        return -1;
    const double tick = static_cast<double>(stream.scale) / stream.rate;
    if (stream.kind == Kind::Audio && stream.sampleSize > 0)
        return static_cast<double>(count.bytes) / stream.sampleSize * tick;
    // Sound a frame a chunk: an empty chunk (muxers write some before AAC starts) plays nothing.
    if (stream.kind == Kind::Audio)
        return static_cast<double>(count.chunks - count.empty) * tick;
    return static_cast<double>(count.chunks) * tick;
}
