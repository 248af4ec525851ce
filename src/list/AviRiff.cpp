#include "AviRiff.h"

#include <QFile>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Reader
{
    int fd = -1;
    qint64 size = 0;
    explicit Reader(const QString &path)
    {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st;
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            fd = -1;
        }
        if (fd >= 0)
            size = st.st_size;
    }
    ~Reader()
    {
        if (fd >= 0)
            ::close(fd);
    }
    // A chunk header: four-character id and size; for RIFF and LIST also the form type.
    bool header(qint64 at, char id[4], quint32 *length, char form[4] = nullptr) const
    {
        unsigned char b[12];
        const size_t want = form ? 12 : 8;
        if (fd < 0 || at < 0 || at + static_cast<qint64>(want) > size
            || ::pread(fd, b, want, at) != static_cast<ssize_t>(want))
            return false;
        std::memcpy(id, b, 4);
        *length = b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<quint32>(b[7]) << 24);
        if (form)
            std::memcpy(form, b + 8, 4);
        return true;
    }
};

qint64 padded(quint32 length) { return static_cast<qint64>(length) + (length & 1); }
bool is(const char a[4], const char *b) { return std::memcmp(a, b, 4) == 0; }

// The file starts with a RIFF "AVI " chunk of this length.
bool startsAsAvi(const Reader &r, quint32 *length)
{
    char id[4], form[4];
    return r.header(0, id, length, form) && is(id, "RIFF") && is(form, "AVI ");
}

// The two digits that name the first video stream's chunks, from the hdrl list.
QByteArray firstVideoStream(const Reader &r, qint64 hdrlStart, qint64 hdrlEnd)
{
    int stream = 0;
    for (qint64 at = hdrlStart; at + 8 <= hdrlEnd;) {
        char id[4], form[4];
        quint32 len;
        if (!r.header(at, id, &len, form))
            break;
        if (is(id, "LIST") && is(form, "strl")) {
            char sid[4], type[4];
            quint32 slen;
            if (r.header(at + 12, sid, &slen, type) && is(sid, "strh") && is(type, "vids"))
                return QByteArray::number(stream).rightJustified(2, '0');
            ++stream;
        }
        at += 8 + padded(len);
    }
    return "00";
}

qint64 countIn(const Reader &r, qint64 start, qint64 end, const QByteArray &stream)
{
    qint64 frames = 0;
    for (qint64 at = start; at + 8 <= end;) {
        char id[4], form[4];
        quint32 len;
        if (!r.header(at, id, &len, form))
            break;
        if (at + 8 + static_cast<qint64>(len) > r.size)
            break; // cut short: this chunk is not whole
        if (is(id, "LIST") || is(id, "RIFF"))
            frames += countIn(r, at + 12, at + 8 + len, stream);
        else if (std::memcmp(id, stream.constData(), 2) == 0 && (id[2] == 'd') && (id[3] == 'c' || id[3] == 'b'))
            ++frames;
        at += 8 + padded(len);
    }
    return frames;
}

} // namespace

AviRiff::Chain AviRiff::walk(const QString &path)
{
    Chain chain;
    const Reader r(path);
    chain.fileSize = r.size;
    char id[4], form[4];
    quint32 len;
    if (!startsAsAvi(r, &len))
        return chain;
    chain.avi = true;
    qint64 at = 0;
    for (;;) {
        ++chain.riffChunks;
        at += 8 + padded(len);
        if (at + 12 > r.size || !r.header(at, id, &len, form) || !is(id, "RIFF") || !is(form, "AVIX"))
            break;
    }
    chain.end = at;
    return chain;
}

qint64 AviRiff::videoFrames(const QString &path)
{
    const Reader r(path);
    char id[4], form[4];
    quint32 len;
    if (!startsAsAvi(r, &len))
        return -1;
    QByteArray stream = "00";
    qint64 frames = 0;
    for (qint64 riff = 0; r.header(riff, id, &len, form) && is(id, "RIFF");) {
        const qint64 end = qMin(riff + 8 + static_cast<qint64>(len), r.size);
        for (qint64 at = riff + 12; at + 12 <= end;) {
            char cid[4], cform[4];
            quint32 clen;
            if (!r.header(at, cid, &clen, cform))
                break;
            const qint64 cend = qMin(at + 8 + static_cast<qint64>(clen), r.size);
            if (is(cid, "LIST") && is(cform, "hdrl") && riff == 0)
                stream = firstVideoStream(r, at + 12, cend);
            else if (is(cid, "LIST") && is(cform, "movi"))
                frames += countIn(r, at + 12, cend, stream);
            at += 8 + padded(clen);
        }
        riff += 8 + padded(len);
    }
    return frames;
}
