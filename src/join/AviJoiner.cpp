#include "AviJoiner.h"
#include "HeldFrame.h"
#include "ReadAhead.h"
#include "Silence.h"
#include "avi/AviFile.h"
#include "avi/AviSummary.h"
#include "platform/ErrorText.h"
#include "platform/ExtentSharing.h"
#include "platform/FileSystem.h"
#include "platform/PrefaultedBuffer.h"
#include "platform/UniqueFd.h"

#include <QFile>
#include <QHash>
#include <cerrno>
#include <cmath>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Riff;

namespace {

constexpr quint32 kKeyFrame = 0x10; // AVIIF_KEYFRAME
constexpr quint32 kHasIndex = 0x10; // AVIF_HASINDEX
constexpr int kDmlhSize = 248;

Result failed(int error, const QString &what) { return Result::failure(what + QStringLiteral(": ") + ErrorText::of(error)); }

QByteArray tag(const char (&code)[5]) { return QByteArray(code, 4); }

// A chunk's header; with room, that many zero bytes after it for its data to be
// filled in place (a large index is then not copied again to be written).
QByteArray header(quint32 id, quint32 size, qsizetype room = 0)
{
    QByteArray b(8 + room, 0);
    put32(b.data(), id);
    put32(b.data() + 4, size);
    return b;
}

} // namespace

// The output as it is written: its header, its RIFFs and their indexes.
class AviOutput
{
public:
    // What the output's stream needs while it is written.
    struct OutStream
    {
        Avi::Stream format; // the first part's stream, as stored
        quint32 id = 0;     // its chunk id, "00dc", "01wb", ...
        qint64 chunks = 0, bytes = 0, maxChunk = 0;
        qint64 strhAt = -1, indxAt = -1; // where its header and super index lie in the output
        struct Super
        {
            qint64 offset;
            quint32 size, duration;
        };
        QVector<Super> super;
        qint64 length() const { return format.kind == Avi::Kind::Audio && format.sampleSize > 0 ? bytes / format.sampleSize : chunks; }
    };

    struct Entry
    {
        qint64 offset; // of the chunk's header in the output
        quint32 size;
        quint16 stream;
        quint16 code; // its two letters ("dc", "db", "wb"), as the chunk has them
        bool key;
    };

    AviOutput(int fd, const Avi::File &reference, qint64 riffLimit) : m_fd(fd), m_riffLimit(riffLimit)
    {
        for (int s = 0; s < reference.streams.size(); ++s) {
            OutStream o;
            o.format = reference.streams[s];
            const quint32 code = o.format.kind == Avi::Kind::Video ? videoCode(reference, s)
                                 : o.format.kind == Avi::Kind::Audio ? Riff::fourcc("00wb") >> 16
                                                                     : Riff::fourcc("00tx") >> 16;
            o.id = withStream(code << 16, s);
            m_streams.append(o);
        }
        m_mainHeader = reference.mainHeader;
        m_info = reference.info;
        if (m_info.size() & 1) // a list's size counts whole chunks: its pad byte goes inside
            m_info += '\0';
    }

    int streamCount() const { return static_cast<int>(m_streams.size()); }
    // Times a constant-rate sound stream by its bytes (a byte a tick at its byte rate), so
    // that chunks cut as frames and chunks cut anyhow both play as long as they hold.
    void timeByBytes(int stream)
    {
        Avi::Stream &f = m_streams[stream].format;
        f.scale = 1, f.rate = f.avgBytesPerSec, f.sampleSize = 1;
        if (f.header.size() < Strh::kSize)
            f.header.append(QByteArray(Strh::kSize - f.header.size(), '\0'));
        put32(f.header.data() + Strh::kScale, f.scale);
        put32(f.header.data() + Strh::kRate, f.rate);
        put32(f.header.data() + Strh::kSampleSize, f.sampleSize);
        // Its block is a byte too: readers time such a stream by its blocks.
        f.blockAlign = 1;
        if (f.format.size() >= Wfx::kBlockAlign + 2)
            put16(f.format.data() + Wfx::kBlockAlign, 1);
    }
    // The id a chunk gets in the output stream: its own two letters where they
    // are of the stream's kind ("db" and "dc" are both pictures), the stream's
    // own where they are not (a part whose header calls its sound a picture).
    quint32 idFor(quint32 chunkId, int stream) const
    {
        static const quint32 dc = fourcc("00dc") >> 16, db = fourcc("00db") >> 16, wb = fourcc("00wb") >> 16, tx = fourcc("00tx") >> 16;
        const quint32 letters = chunkId >> 16;
        const Avi::Kind kind = m_streams[stream].format.kind;
        const bool fits = kind == Avi::Kind::Video ? letters == dc || letters == db
                          : kind == Avi::Kind::Audio ? letters == wb
                          : kind == Avi::Kind::Text  ? letters == tx
                                                     : true;
        return withStream(fits ? chunkId : m_streams[stream].id, stream);
    }
    const OutStream &stream(int s) const { return m_streams[s]; }

    Result begin(int reservedIndexes)
    {
        m_reserved = reservedIndexes;
        QByteArray strls;
        QByteArray hdrl = tag("hdrl") + header(kAvih, Avih::kSize);
        m_avihAt = 12 + 12 + 8;
        QByteArray avih = m_mainHeader.left(Avih::kSize);
        avih.append(QByteArray(Avih::kSize - avih.size(), '\0'));
        hdrl += avih;
        for (OutStream &o : m_streams) {
            QByteArray strl = tag("strl");
            const qint64 strlAt = 12 + 8 + hdrl.size(); // its LIST header
            QByteArray strh = o.format.header;
            if (strh.size() < Strh::kSize)
                strh.append(QByteArray(Strh::kSize - strh.size(), '\0'));
            o.strhAt = strlAt + 8 + strl.size() + 8;
            strl += header(kStrh, static_cast<quint32>(strh.size())) + strh;
            strl += header(kStrf, static_cast<quint32>(o.format.format.size())) + o.format.format;
            if (o.format.format.size() & 1)
                strl += '\0';
            if (!o.format.extra.isEmpty())
                strl += header(kStrd, static_cast<quint32>(o.format.extra.size())) + o.format.extra + QByteArray(o.format.extra.size() & 1, '\0');
            if (!o.format.name.isEmpty())
                strl += header(kStrn, static_cast<quint32>(o.format.name.size())) + o.format.name + QByteArray(o.format.name.size() & 1, '\0');
            // What the writer does not rewrite ("vprp": the picture's aspect) goes on as part 1 has it.
            for (const Avi::Stream::Other &other : std::as_const(o.format.others))
                strl += header(other.id, static_cast<quint32>(other.data.size())) + other.data + QByteArray(other.data.size() & 1, '\0');
            const int indxSize = 24 + 16 * m_reserved;
            o.indxAt = strlAt + 8 + strl.size() + 8;
            strl += header(kIndx, static_cast<quint32>(indxSize)) + QByteArray(indxSize, '\0');
            hdrl += header(kList, static_cast<quint32>(strl.size())) + strl;
        }
        m_dmlhAt = 12 + 8 + hdrl.size() + 12 + 8;
        hdrl += header(kList, 4 + 8 + kDmlhSize) + tag("odml") + header(kDmlh, kDmlhSize) + QByteArray(kDmlhSize, '\0');
        QByteArray start = header(kRiff, 0) + tag("AVI ") + header(kList, static_cast<quint32>(hdrl.size())) + hdrl;
        if (!m_info.isEmpty()) // part 1's title, software and the like
            start += header(kList, static_cast<quint32>(4 + m_info.size())) + tag("INFO") + m_info + QByteArray(m_info.size() & 1, '\0');
        m_pos = 0;
        if (Result r = write(start); !r.ok())
            return r;
        return openMovi(0);
    }

    // Room for n more bytes of media in this RIFF, beside the indexes it will end with.
    Result roomFor(qint64 bytes, qint64 chunks)
    {
        const qint64 indexes = (m_entries.size() + chunks) * (m_riffs == 1 ? 24 : 8) + 64 * m_streams.size();
        if (m_pos - m_riffAt + bytes + indexes <= m_riffLimit || m_entries.isEmpty())
            return {};
        if (Result r = closeRiff(); !r.ok())
            return r;
        return openRiff();
    }

    // A chunk already in the output at offset (copied in a run), or about to be.
    // code: the chunk's id, of which the two letters are kept (the stream's own by default).
    void record(qint64 offset, int stream, quint32 size, bool key, quint32 code = 0)
    {
        OutStream &o = m_streams[stream];
        o.chunks += 1;
        o.bytes += size;
        o.maxChunk = std::max<qint64>(o.maxChunk, size);
        m_entries.append({offset, size, static_cast<quint16>(stream), static_cast<quint16>((code ? code : o.id) >> 16), key});
        if (m_riffs == 1 && o.format.kind == Avi::Kind::Video && stream == firstVideo())
            ++m_firstRiffFrames;
        followClocks(8 + padded(size));
    }

    // How long a stream plays by what it holds so far, in seconds; -1 when its timing is not known.
    double clock(int stream) const
    {
        const OutStream &o = m_streams[stream];
        Avi::Count held;
        held.chunks = o.chunks, held.bytes = o.bytes;
        return Avi::seconds(o.format, held);
    }
    double frameRate() const
    {
        const int video = firstVideo();
        return video >= 0 && m_streams[video].format.scale ? static_cast<double>(m_streams[video].format.rate) / m_streams[video].format.scale : 0;
    }

    // Where each stream's clock stands after a chunk: the bytes of each second of
    // the picture (the header's peak data rate), and how far the sound lies from
    // the picture in the file (the interleaved flag holds only while it stays near).
    void followClocks(qint64 bytes)
    {
        const int video = firstVideo();
        const double fps = frameRate();
        const double now = fps > 0 ? m_streams[video].chunks / fps : 0;
        const auto second = static_cast<qsizetype>(std::clamp(now, 0.0, 1e6));
        if (m_bytesPerSecond.size() <= second)
            m_bytesPerSecond.resize(second + 1, 0);
        m_bytesPerSecond[second] += bytes;
        for (int s = 0; s < m_streams.size(); ++s)
            if (m_streams[s].format.kind == Avi::Kind::Audio && fps > 0 && m_streams[s].chunks > 0)
                if (const double sound = clock(s); sound >= 0)
                    m_widestDrift = std::max(m_widestDrift, std::abs(sound - now));
    }

    // A chunk of the output's own making (an empty frame, silence).
    Result writeChunk(int stream, const QByteArray &data, bool key)
    {
        if (Result r = roomFor(8 + padded(static_cast<quint32>(data.size())), 1); !r.ok())
            return r;
        const qint64 at = m_pos;
        QByteArray bytes = header(m_streams[stream].id, static_cast<quint32>(data.size())) + data;
        if (data.size() & 1)
            bytes += '\0';
        if (Result r = write(bytes); !r.ok())
            return r;
        record(at, stream, static_cast<quint32>(data.size()), key);
        return {};
    }

    // Sees each stretch of a copy before it is written: returns how many of its n
    // bytes (from the part's offset from) may go out now (the rest is read again
    // with what follows), or -1 to stop the copy.
    using Editor = std::function<qint64(char *data, qint64 from, qint64 n)>;

    // Copies length bytes at offset of in to the end of the output, in large reads:
    // the next window is read (and edited) on m_reader's thread while the last is written.
    Result copy(int in, qint64 offset, qint64 length, const Editor &edit = {})
    {
        if (length <= 0)
            return {};
        struct Window
        {
            qint64 from = 0, out = 0; // out: its bytes that go now (0: the part ended; -1: edit stopped it)
            int error = 0;
        };
        const auto read = [&](char *data, qint64 from, qint64 left) {
            Window w{from};
            ssize_t n;
            do
                n = ::pread(in, data, static_cast<size_t>(std::min<qint64>(left, AviJoiner::kCopyWindow)), from);
            while (n < 0 && errno == EINTR);
            if (n < 0) {
                w.error = errno;
            } else if (n > 0) {
                const qint64 out = edit ? edit(data, from, n) : n;
                w.out = out > 0 ? out : -1;
            }
            return w;
        };
        Window windows[2];
        windows[0] = read(m_buffers[0].data(), offset, length);
        qint64 left = length;
        for (int k = 0;; k = 1 - k) {
            const Window &w = windows[k];
            if (w.error)
                return failed(w.error, QStringLiteral("read"));
            if (w.out == 0)
                return Result::failure(QStringLiteral("a part ended before its chunks did"));
            if (w.out < 0)
                return Result::failure(QStringLiteral("a part's index names chunks that are not there"));
            left -= w.out;
            const bool more = left > 0;
            if (more)
                m_reader.start([&windows, &read, k, data = m_buffers[1 - k].data(), from = w.from + w.out, left] {
                    windows[1 - k] = read(data, from, left);
                });
            const bool wrote = FileSystem::writeAll(m_fd, m_buffers[k].constData(), w.out, m_pos);
            const int error = errno;
            m_reader.wait(); // the read ahead owns the other buffer until it is done
            if (!wrote)
                return failed(error, QStringLiteral("write"));
            m_pos += w.out;
            if (!more)
                return {};
        }
    }

    // Copies length bytes at offset of in (laid at the same place within a block
    // as in the part): the whole blocks shared by the file system, the rest copied.
    Result share(int in, qint64 offset, qint64 length)
    {
        const qint64 head = std::min(length, (m_block - offset % m_block) % m_block);
        const qint64 middle = (length - head) / m_block * m_block;
        if (Result r = copy(in, offset, head); !r.ok())
            return r;
        if (middle > 0 && ExtentSharing::share(in, offset + head, m_fd, m_pos, middle)) {
            m_pos += middle;
            m_shared += middle;
        } else if (Result r = copy(in, offset + head, middle); !r.ok()) {
            return r;
        }
        return copy(in, offset + head + middle, length - head - middle);
    }

    // Blocks of this size are shared (0: every byte is copied, and the output is compact).
    void shareBlocks(qint64 block) { m_block = block; }
    qint64 block() const { return m_block; }
    qint64 sharedBytes() const { return m_shared; }
    // The JUNK chunk that puts the next byte at source's place within a block.
    qint64 gapFor(qint64 source) const
    {
        if (m_block <= 0)
            return 0;
        qint64 gap = ((source - m_pos) % m_block + m_block) % m_block;
        return gap > 0 && gap < 8 ? gap + m_block : gap;
    }
    Result alignTo(qint64 source)
    {
        const qint64 gap = gapFor(source);
        if (gap == 0)
            return {};
        const QByteArray junk = header(kJunk, static_cast<quint32>(gap - 8)) + QByteArray(gap - 8, '\0');
        if (!m_entries.isEmpty() || m_pos != m_moviAt + 12)
            return write(junk);
        // A movi list's first chunk right after its "movi": readers tell from the
        // first idx1 entry whether its offsets count from there. The gap goes before the list.
        m_pos = m_moviAt;
        if (Result r = write(junk + header(kList, 0) + tag("movi")); !r.ok())
            return r;
        m_moviAt += gap;
        return {};
    }
    int fd() const { return m_fd; }

    Result write(const QByteArray &bytes) { return writeAt(m_pos, bytes, true); }

    Result finish()
    {
        if (Result r = closeRiff(true); !r.ok())
            return r;
        if (m_riffs == 1) // an OpenDML index in a file of one RIFF only confuses readers of pipes: its room becomes padding
            return finishLegacy();
        // The totals of the whole output, in the header written first.
        for (int s = 0; s < m_streams.size(); ++s) {
            const OutStream &o = m_streams[s];
            if (Result r = writeTotals(o); !r.ok())
                return r;
            QByteArray indx(24 + 16 * o.super.size(), '\0');
            put16(indx.data(), 4);
            indx[3] = 0; // an index of indexes
            put32(indx.data() + 4, static_cast<quint32>(o.super.size()));
            put32(indx.data() + 8, o.id);
            for (int i = 0; i < o.super.size(); ++i) {
                put64(indx.data() + 24 + 16 * i, static_cast<quint64>(o.super[i].offset));
                put32(indx.data() + 24 + 16 * i + 8, o.super[i].size);
                put32(indx.data() + 24 + 16 * i + 12, o.super[i].duration);
            }
            if (Result r = writeAt(o.indxAt, indx, false); !r.ok())
                return r;
        }
        if (Result r = writeMainHeader(); !r.ok())
            return r;
        const int video = firstVideo();
        const qint64 frames = video >= 0 ? m_streams[video].chunks : 0;
        QByteArray dmlh(4, 0);
        put32(dmlh.data(), static_cast<quint32>(std::min<qint64>(frames, 0xffffffffLL)));
        return writeAt(m_dmlhAt, dmlh, false);
    }

    // One RIFF: its stream totals and the main header; the OpenDML room turned to JUNK.
    Result finishLegacy()
    {
        for (const OutStream &o : std::as_const(m_streams)) {
            if (Result r = writeTotals(o); !r.ok())
                return r;
            if (Result r = writeAt(o.indxAt - 8, tag("JUNK"), false); !r.ok())
                return r;
        }
        if (Result r = writeAt(m_dmlhAt - 20, tag("JUNK"), false); !r.ok()) // the odml list's header
            return r;
        return writeMainHeader();
    }

    Result writeTotals(const OutStream &o)
    {
        QByteArray length(4, 0), buffer(4, 0);
        put32(length.data(), static_cast<quint32>(std::min<qint64>(o.length(), 0xffffffffLL)));
        put32(buffer.data(), static_cast<quint32>(std::min<qint64>(o.maxChunk + (o.maxChunk & 1), 0xffffffffLL)));
        if (Result r = writeAt(o.strhAt + Strh::kLength, length, false); !r.ok())
            return r;
        return writeAt(o.strhAt + Strh::kSuggestedBufferSize, buffer, false);
    }

    Result writeMainHeader()
    {
        qint64 maxChunk = 0;
        for (const OutStream &o : std::as_const(m_streams))
            maxChunk = std::max(maxChunk, o.maxChunk);
        // From the data rate to the suggested buffer size; the header was written whole (zero-filled) at the start.
        QByteArray avih(Avih::kSuggestedBufferSize + 4 - Avih::kMaxBytesPerSec, 0);
        const auto field = [&](int at) { return m_mainHeader.size() >= at + 4 ? u32(m_mainHeader.constData() + at) : 0u; };
        const auto put = [&](int at, quint32 v) { put32(avih.data() + at - Avih::kMaxBytesPerSec, v); };
        put(Avih::kFlags - 4, field(Avih::kFlags - 4)); // dwPaddingGranularity, as part 1 has it
        // Interleaved only while the sound stays within 2 s of its picture in the file (where readers switch modes).
        const quint32 flags = (field(Avih::kFlags) | kHasIndex) & ~(m_widestDrift > kMostDrift ? kInterleaved : 0u);
        put(Avih::kFlags, flags);
        put(Avih::kMaxBytesPerSec, static_cast<quint32>(std::min<qint64>(*std::max_element(m_bytesPerSecond.begin(), m_bytesPerSecond.end()), 0xffffffffLL)));
        put(Avih::kTotalFrames, static_cast<quint32>(std::min<qint64>(m_firstRiffFrames, 0xffffffffLL)));
        put(Avih::kInitialFrames, field(Avih::kInitialFrames));
        put(Avih::kStreams, static_cast<quint32>(m_streams.size()));
        put(Avih::kSuggestedBufferSize, static_cast<quint32>(std::min<qint64>(maxChunk + 8, 0xffffffffLL)));
        return writeAt(m_avihAt + Avih::kMaxBytesPerSec, avih, false);
    }

    int firstVideo() const
    {
        for (int s = 0; s < m_streams.size(); ++s)
            if (m_streams[s].format.kind == Avi::Kind::Video)
                return s;
        return -1;
    }
    qint64 position() const { return m_pos; }
    qint64 chunks() const
    {
        qint64 n = 0;
        for (const OutStream &o : m_streams)
            n += o.chunks;
        return n;
    }

private:
    static quint32 videoCode(const Avi::File &reference, int stream)
    {
        for (const Avi::Chunk &c : reference.chunks)
            if (c.stream() == stream)
                return c.id >> 16;
        return Riff::fourcc("00dc") >> 16;
    }

    Result writeAt(qint64 at, const QByteArray &bytes, bool advance)
    {
        if (!FileSystem::writeAll(m_fd, bytes.constData(), bytes.size(), at))
            return failed(errno, QStringLiteral("write"));
        if (advance)
            m_pos = at + bytes.size();
        return {};
    }

    Result openMovi(qint64 riffAt)
    {
        m_riffAt = riffAt;
        m_moviAt = m_pos;
        ++m_riffs;
        m_entries.clear();
        return write(header(kList, 0) + tag("movi"));
    }

    Result openRiff()
    {
        const qint64 at = m_pos;
        if (Result r = write(header(kRiff, 0) + tag("AVIX")); !r.ok())
            return r;
        return openMovi(at);
    }

    // Ends the RIFF being written: a standard index for each stream, the movi
    // list's size, the legacy index after the first movi list, the RIFF's size.
    // last: no RIFF follows (a file of one RIFF gets no standard indexes, only idx1).
    Result closeRiff(bool last = false)
    {
        for (int s = 0; s < m_streams.size() && !(last && m_riffs == 1); ++s) {
            OutStream &o = m_streams[s];
            QVector<const Entry *> mine;
            for (const Entry &e : std::as_const(m_entries))
                if (e.stream == s)
                    mine.append(&e);
            if (mine.isEmpty())
                continue;
            if (o.super.size() >= m_reserved)
                return Result::failure(QStringLiteral("the output needs more index room than was set aside"));
            const quint32 ixId = (Riff::fourcc("ix00") & 0xffff) | static_cast<quint32>('0' + s / 10) << 16 | static_cast<quint32>('0' + s % 10) << 24;
            const qsizetype ixSize = 24 + 8 * mine.size();
            QByteArray ix = header(ixId, static_cast<quint32>(ixSize), ixSize);
            char *body = ix.data() + 8;
            put16(body, 2);
            body[3] = 1; // an index of chunks
            put32(body + 4, static_cast<quint32>(mine.size()));
            put32(body + 8, o.id);
            put64(body + 12, static_cast<quint64>(m_riffAt));
            quint32 duration = 0;
            for (int i = 0; i < mine.size(); ++i) {
                put32(body + 24 + 8 * i, static_cast<quint32>(mine[i]->offset + 8 - m_riffAt));
                put32(body + 28 + 8 * i, mine[i]->size | (mine[i]->key ? 0 : 0x80000000u));
                duration += o.format.kind == Avi::Kind::Audio && o.format.sampleSize > 0 ? mine[i]->size / o.format.sampleSize : 1;
            }
            o.super.append({m_pos, static_cast<quint32>(ix.size()), duration});
            if (Result r = write(ix); !r.ok())
                return r;
        }
        QByteArray size(4, 0);
        put32(size.data(), static_cast<quint32>(m_pos - m_moviAt - 8));
        if (Result r = writeAt(m_moviAt + 4, size, false); !r.ok())
            return r;
        if (m_riffs == 1) {
            const qsizetype idx1Size = 16 * m_entries.size();
            QByteArray idx1 = header(kIdx1, static_cast<quint32>(idx1Size), idx1Size);
            for (int i = 0; i < m_entries.size(); ++i) {
                const Entry &e = m_entries[i];
                char *entry = idx1.data() + 8 + 16 * i;
                put32(entry, withStream(static_cast<quint32>(e.code) << 16, e.stream));
                put32(entry + 4, e.key ? kKeyFrame : 0);
                put32(entry + 8, static_cast<quint32>(e.offset - (m_moviAt + 8)));
                put32(entry + 12, e.size);
            }
            if (Result r = write(idx1); !r.ok())
                return r;
        }
        put32(size.data(), static_cast<quint32>(m_pos - m_riffAt - 8));
        return writeAt(m_riffAt + 4, size, false);
    }

    int m_fd;
    qint64 m_riffLimit;
    qint64 m_pos = 0;
    qint64 m_block = 0, m_shared = 0;
    PrefaultedBuffer m_buffers[2]{PrefaultedBuffer(AviJoiner::kCopyWindow), PrefaultedBuffer(AviJoiner::kCopyWindow)};
    ReadAhead m_reader;
    QByteArray m_mainHeader, m_info;
    QVector<OutStream> m_streams;
    QVector<Entry> m_entries; // the RIFF being written
    int m_reserved = 0, m_riffs = 0;
    qint64 m_riffAt = 0, m_moviAt = 0, m_avihAt = 0, m_dmlhAt = 0, m_firstRiffFrames = 0;
    QVector<qint64> m_bytesPerSecond{0}; // by the second of the picture they were written in
    double m_widestDrift = 0;            // seconds between a sound stream's clock and the picture's, at worst
    static constexpr double kMostDrift = 2.0;
    static constexpr quint32 kInterleaved = 0x100; // AVIF_ISINTERLEAVED
};

namespace {

// Where each of a part's streams goes in the output: the same kind, the same
// position among that kind; -1 where the output has no such stream.
QVector<int> mapStreams(const Avi::File &part, const AviOutput &out)
{
    QVector<int> map(part.streams.size(), -1);
    QHash<int, int> seen;
    for (int s = 0; s < part.streams.size(); ++s) {
        const int kind = static_cast<int>(part.streams[s].kind);
        int position = seen[kind]++;
        for (int o = 0; o < out.streamCount(); ++o)
            if (static_cast<int>(out.stream(o).format.kind) == kind && position-- == 0) {
                map[s] = o;
                break;
            }
    }
    return map;
}

} // namespace

// A seam's fills laid among the chunks of the part before it, so that sound and
// picture stay near each other in the file: silence follows the picture once the
// part's own sound is over, empty frames follow the sound once its picture is
// over; what is left when the part ends is written at the seam.
struct FillState
{
    const SyncPlan::Seam *seam = nullptr;
    QVector<double> silenceUntil; // per output stream: the clock the silence brings a sound track to; -1 not yet known
    qint64 framesLeft = 0;
    bool pictureOver = false;
    QByteArray held;     // each frame put in: the picture before again (empty: an empty chunk)
    bool heldKey = false;
};

namespace {
constexpr qint64 kMostHeldBytes = 64LL << 20; // a frame repeated is held in memory

// size bytes of a part at offset; empty when they cannot all be read.
QByteArray readAt(int fd, qint64 offset, qint64 size)
{
    QByteArray data(static_cast<qsizetype>(std::max<qint64>(size, 0)), Qt::Uninitialized);
    return FileSystem::readAll(fd, data.data(), size, offset) ? data : QByteArray();
}

// What holds the part's last picture: that frame again where every frame stands
// alone, a picture that codes nothing for MPEG-4 part 2, else an empty chunk.
void holdFrom(FillState &fill, const AviOutput &writer, int in, const QVector<Avi::Chunk> &chunks, const QVector<int> &map)
{
    const int video = writer.firstVideo();
    const Avi::Stream &format = writer.stream(video).format;
    const Avi::Chunk *first = nullptr, *lastFrame = nullptr;
    for (const Avi::Chunk &c : chunks)
        if (map.value(c.stream(), -1) == video && c.size > 0) {
            first = first ? first : &c;
            lastFrame = &c;
        }
    switch (HeldFrame::kindFor(format.compression)) {
    case HeldFrame::Kind::Repeat:
        if (lastFrame && lastFrame->size <= kMostHeldBytes) {
            fill.held = readAt(in, lastFrame->offset + 8, lastFrame->size);
            fill.heldKey = !fill.held.isEmpty();
        }
        break;
    case HeldFrame::Kind::NotCoded:
        fill.held = HeldFrame::notCoded(format.format.mid(40) + (first ? readAt(in, first->offset + 8, std::min<qint64>(first->size, 4096)) : QByteArray()));
        break;
    case HeldFrame::Kind::Empty: break;
    }
}
} // namespace

AviJoiner::AviJoiner(const QStringList &parts, const QString &output, const QVector<SyncPlan::Seam> &seams, Avi::Index index,
                     qint64 riffLimit)
    : m_parts(parts), m_output(output), m_seams(seams), m_index(index), m_riffLimit(riffLimit)
{
    m_limits.checkEveryChunk = true; // a chunk is copied by what the index says it is
}

Avi::File AviJoiner::read(int part, Avi::Detail detail) const
{
    return Avi::read(m_parts[part], detail, m_index, m_limits);
}

Result AviJoiner::unreadable(int part, const Avi::File &file)
{
    return Result::failure(QStringLiteral("part %1 could not be read: %2").arg(part + 1).arg(file.problem));
}

Result AviJoiner::survey(QVector<std::optional<Avi::File>> *parts, qint64 *estimate, QVector<Avi::Summary> *summaries) const
{
    // Every part's chunks while they add up to few, so that no part is read twice;
    // past that only the counts, and a part's chunks are read when it is copied.
    Avi::Limits counting = m_limits;
    counting.checkEveryChunk = false;
    qint64 kept = 0;
    parts->fill(std::nullopt, m_parts.size());
    for (int p = 0; p < m_parts.size(); ++p) {
        const bool keep = kept < kKeptChunks; // part 1 always: its headers start the output
        Avi::File f = keep ? read(p, Avi::Detail::Chunks) : Avi::read(m_parts[p], Avi::Detail::Counts, m_index, counting);
        if (!f.isAvi())
            return unreadable(p, f);
        for (const Avi::Count &c : f.counts)
            *estimate += c.bytes + 9 * c.chunks;
        *summaries << Avi::Summary::of(f);
        if (keep) {
            kept += f.chunks.size();
            (*parts)[p] = std::move(f);
        }
    }
    for (const SyncPlan::Seam &seam : m_seams) {
        *estimate += seam.dropFrames * 24;
        for (const double s : seam.silence)
            *estimate += static_cast<qint64>(s * 200000) + 4096; // silence: at most a generous byte rate
    }
    return *estimate > kMaxOutputBytes ? Result::failure(QStringLiteral("the output would be larger than Tapeweld writes")) : Result();
}

Result AviJoiner::run(const Progress &progress)
{
    if (m_parts.isEmpty())
        return Result::failure(QStringLiteral("there is nothing to join"));
    UniqueFd out(::open(QFile::encodeName(m_output).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!out)
        return failed(errno, QStringLiteral("output ") + m_output);
    m_block = 0;
    if (m_layout != Layout::Compact) {
        const UniqueFd first(::open(QFile::encodeName(m_parts.first()).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        m_block = first ? ExtentSharing::blockSize(first.get(), out.get()) : 0;
        if (m_layout == Layout::Aligned && m_block == 0)
            m_block = 4096;
    }
    // Shared blocks are never read: their chunks are checked before, in large reads.
    // Copied ones are checked as they pass, and a part whose index names a chunk
    // that is not there has the join begin again, each part checked whole first.
    m_limits.checkEveryChunk = m_block > 0;
    m_indexDisagrees = false;
    Result result = joinInto(out.get(), progress);
    if (!result.ok() && m_indexDisagrees && !m_limits.checkEveryChunk) {
        m_limits.checkEveryChunk = true;
        result = ::ftruncate(out.get(), 0) == 0 ? joinInto(out.get(), progress) : failed(errno, QStringLiteral("write"));
    }
    if (out.close() != 0 && result.ok())
        result = failed(errno, QStringLiteral("write"));
    return result;
}

Result AviJoiner::joinInto(int out, const Progress &progress)
{
    QVector<std::optional<Avi::File>> surveyed;
    qint64 estimate = 0;
    QVector<Avi::Summary> summaries;
    if (Result r = survey(&surveyed, &estimate, &summaries); !r.ok())
        return r;
    AviOutput writer(out, *surveyed.first(), m_riffLimit);
    writer.shareBlocks(m_block);
    timeMixedSoundByBytes(writer, summaries);
    // Room in the header for a standard index per stream per RIFF, with some to spare.
    Result result = writer.begin(static_cast<int>(estimate * 5 / 4 / std::max<qint64>(m_riffLimit * 3 / 4, 1)) + 4);
    qint64 consumed = 0;
    FillState fill;
    for (int p = 0; p < m_parts.size() && result.ok(); ++p) {
        if (p > 0)
            result = keepUp(writer, fill, true); // what the seam before it still owes
        if (!result.ok())
            break;
        fill = FillState();
        fill.seam = seamBefore(p + 2);
        const Avi::File part = surveyed[p] ? *std::exchange(surveyed[p], std::nullopt) : read(p, Avi::Detail::Chunks);
        result = part.isAvi() ? copyPart(writer, p, part, consumed, progress, fill) : unreadable(p, part);
    }
    if (result.ok()) {
        if (progress.indexing)
            progress.indexing();
        result = writer.finish();
    }
    m_chunksWritten = writer.chunks();
    m_sharedBytes = writer.sharedBytes();
    return result;
}

// Constant-rate sound that one part times a frame a chunk and another as bytes: all of it by its bytes.
void AviJoiner::timeMixedSoundByBytes(AviOutput &writer, const QVector<Avi::Summary> &parts)
{
    const QVector<int> sound = parts.first().streamsOf(Avi::Kind::Audio);
    for (int t = 0; t < sound.size(); ++t) {
        const Avi::StreamSummary &first = parts.first().streams[sound[t]];
        const bool mixed = std::any_of(parts.begin(), parts.end(), [&](const Avi::Summary &s) {
            const QVector<int> theirs = s.streamsOf(Avi::Kind::Audio);
            return t < theirs.size() && SyncPlan::framePerChunk(s.streams[theirs[t]]) != SyncPlan::framePerChunk(first);
        });
        if (mixed && SyncPlan::constantRate(first))
            writer.timeByBytes(sound[t]);
    }
}

const SyncPlan::Seam *AviJoiner::seamBefore(int row) const
{
    const auto seam = std::find_if(m_seams.begin(), m_seams.end(), [row](const SyncPlan::Seam &s) { return s.row == row; });
    return seam == m_seams.end() ? nullptr : &*seam;
}

// Writes what the fill owes by now: silence up to the picture's clock for each
// track whose sound is over, empty frames up to the sound's clock once the
// picture is over; everything it owes when whole (at the seam).
Result AviJoiner::keepUp(AviOutput &writer, FillState &fill, bool whole)
{
    if (!fill.seam)
        return {};
    Result result;
    const int video = writer.firstVideo();
    const double picture = video >= 0 ? writer.clock(video) : 0;
    double sound = -1;
    for (int s = 0; s < fill.silenceUntil.size() && result.ok(); ++s) {
        const double until = fill.silenceUntil[s], now = writer.clock(s);
        if (writer.stream(s).format.kind == Avi::Kind::Audio)
            sound = std::max(sound, now);
        if (until < 0)
            continue;
        if (const double owed = (whole ? until : std::min(until, picture)) - now; owed > 0)
            Silence::each(writer.stream(s).format, owed, [&](const QByteArray &chunk) { return (result = writer.writeChunk(s, chunk, true)).ok(); });
    }
    if (video >= 0 && fill.framesLeft > 0 && (whole || fill.pictureOver)) {
        const double fps = writer.frameRate();
        qint64 owed = whole ? fill.framesLeft : fps > 0 && sound > picture ? static_cast<qint64>((sound - picture) * fps) : 0;
        for (owed = std::min(owed, fill.framesLeft); owed > 0 && result.ok(); --owed, --fill.framesLeft)
            result = writer.writeChunk(video, fill.held, fill.heldKey);
    }
    return result;
}

Result AviJoiner::copyPart(AviOutput &writer, int p, const Avi::File &part, qint64 &consumed, const Progress &progress,
                           FillState &fill) const
{
    const UniqueFd in(::open(QFile::encodeName(m_parts[p]).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!in)
        return failed(errno, QStringLiteral("part %1").arg(p + 1));
    const QVector<int> map = mapStreams(part, writer);
    const QVector<Avi::Chunk> &chunks = part.chunks;
    struct stat inside, outside;
    const bool shareable = writer.block() > 0 && ::fstat(in.get(), &inside) == 0 && ::fstat(writer.fd(), &outside) == 0
                           && inside.st_dev == outside.st_dev;
    // Where each output stream's last chunk of this part lies: past it, the fill after this part is laid in.
    QVector<qsizetype> last(writer.streamCount(), -1);
    for (qsizetype i = 0; i < chunks.size(); ++i)
        if (const int to = map.value(chunks[i].stream(), -1); to >= 0 && !emptySound(writer, chunks[i], to))
            last[to] = i;
    qsizetype tail = chunks.size();
    QVector<double> silence(writer.streamCount(), 0);
    if (fill.seam) {
        fill.silenceUntil.fill(-1, writer.streamCount());
        fill.framesLeft = fill.seam->dropFrames;
        int track = 0;
        for (int s = 0; s < writer.streamCount(); ++s)
            if (writer.stream(s).format.kind == Avi::Kind::Audio) {
                silence[s] = track < fill.seam->silence.size() ? fill.seam->silence[track] : 0;
                ++track;
                if (silence[s] > 0)
                    tail = std::min(tail, last[s] + 1);
            }
        if (const int video = writer.firstVideo(); video >= 0 && fill.framesLeft > 0) {
            tail = std::min(tail, last[video] + 1);
            holdFrom(fill, writer, in.get(), chunks, map);
        }
    }
    // A stream's sound or picture over: from here on the fill keeps up with the other.
    const auto over = [&](qsizetype i) {
        for (int s = 0; s < writer.streamCount(); ++s)
            if (last[s] < i && fill.seam) {
                if (silence[s] > 0 && fill.silenceUntil[s] < 0)
                    fill.silenceUntil[s] = std::max(0.0, writer.clock(s)) + silence[s];
                if (s == writer.firstVideo())
                    fill.pictureOver = true;
            }
    };
    Result result;
    for (qsizetype i = 0; i < chunks.size() && result.ok();) {
        const Avi::Chunk &c = chunks[i];
        const int to = map.value(c.stream(), -1);
        if (i >= tail) {
            over(i);
            if (result = keepUp(writer, fill, false); !result.ok())
                break;
        }
        if (to < 0 || emptySound(writer, c, to)) {
            ++i;
            continue;
        }
        const qsizetype j = runEnd(writer, part, map, i, i >= tail ? i + 1 : tail);
        result = copyRun(writer, in.get(), part, map, i, j, shareable);
        consumed += chunks[j - 1].offset + 8 + padded(chunks[j - 1].size) - c.offset;
        i = j;
        if (progress.copied)
            progress.copied(consumed);
    }
    over(chunks.size());
    return result;
}

// The chunk after a run of chunks from i that lie one after the other.
qsizetype AviJoiner::runEnd(const AviOutput &writer, const Avi::File &part, const QVector<int> &map, qsizetype i, qsizetype stop)
{
    const QVector<Avi::Chunk> &chunks = part.chunks;
    const qint64 start = chunks[i].offset;
    qint64 end = start + 8 + padded(chunks[i].size);
    qsizetype j = i + 1;
    while (j < chunks.size() && j < stop && chunks[j].offset == end && map.value(chunks[j].stream(), -1) >= 0
           && !emptySound(writer, chunks[j], map[chunks[j].stream()]) && end - start < kLongestRun
           && chunks[j].offset + 8 + padded(chunks[j].size) <= part.size) {
        end += 8 + padded(chunks[j].size);
        ++j;
    }
    return j;
}

// A sound chunk of no bytes plays nothing and makes decoders complain at a seam: it stays out.
bool AviJoiner::emptySound(const AviOutput &writer, const Avi::Chunk &c, int to)
{
    return c.size == 0 && writer.stream(to).format.kind == Avi::Kind::Audio;
}

// The chunks i to j (not included), in one copy: each chunk's header checked
// against the index as it passes and given its output id. Where blocks are shared
// and no id changes, the run is laid at its place within a block, a JUNK chunk
// before it, and its whole blocks are shared instead of copied.
Result AviJoiner::copyRun(AviOutput &writer, int in, const Avi::File &part, const QVector<int> &map, qsizetype i, qsizetype j,
                          bool shareable) const
{
    const QVector<Avi::Chunk> &chunks = part.chunks;
    const qint64 start = chunks[i].offset, end = chunks[j - 1].offset + 8 + padded(chunks[j - 1].size);
    const qint64 stored = std::min(end, part.size) - start; // the file may end without the last pad byte
    bool sameIds = true;
    for (qsizetype k = i; k < j && sameIds; ++k)
        sameIds = map[chunks[k].stream()] == chunks[k].stream() && writer.idFor(chunks[k].id, chunks[k].stream()) == chunks[k].id;
    const bool share = shareable && sameIds && stored >= kLeastShared;
    if (Result r = writer.roomFor((share ? writer.block() + 8 : 0) + end - start, j - i); !r.ok())
        return r;
    if (share)
        if (Result r = writer.alignTo(start); !r.ok())
            return r;
    const qint64 at = writer.position();
    qsizetype next = i; // the first chunk whose header has not passed
    const auto edit = [&](char *data, qint64 from, qint64 n) -> qint64 {
        for (; next < j && chunks[next].offset + 8 <= from + n; ++next) {
            const Avi::Chunk &c = chunks[next];
            char *h = data + (c.offset - from);
            if (Riff::u32(h) != c.id || Riff::u32(h + 4) != c.size) {
                m_indexDisagrees = true;
                return -1;
            }
            put32(h, writer.idFor(c.id, map[c.stream()]));
        }
        return next < j && chunks[next].offset < from + n ? chunks[next].offset - from : n; // a header cut by the read goes with the next
    };
    if (Result r = share ? writer.share(in, start, stored) : writer.copy(in, start, stored, edit); !r.ok())
        return r;
    if (stored < end - start)
        if (Result r = writer.write(QByteArray(end - start - stored, '\0')); !r.ok())
            return r;
    for (qsizetype k = i; k < j; ++k) {
        const int to = map[chunks[k].stream()];
        writer.record(at + (chunks[k].offset - start), to, chunks[k].size, chunks[k].key, writer.idFor(chunks[k].id, to));
    }
    return {};
}
