#include "AviSummary.h"

#include <algorithm>

double Avi::StreamSummary::frameRate() const { return scale ? static_cast<double>(rate) / scale : 0; }

double Avi::StreamSummary::seconds() const
{
    Stream s;
    s.kind = kind;
    s.scale = scale;
    s.rate = rate;
    s.sampleSize = sampleSize;
    Count c;
    c.chunks = chunks, c.bytes = bytes, c.empty = empty;
    return Avi::seconds(s, c);
}

int Avi::Summary::firstOf(Kind kind) const
{
    for (int i = 0; i < streams.size(); ++i)
        if (streams[i].kind == kind)
            return i;
    return -1;
}

QVector<int> Avi::Summary::streamsOf(Kind kind) const
{
    QVector<int> out;
    for (int i = 0; i < streams.size(); ++i)
        if (streams[i].kind == kind)
            out << i;
    return out;
}

int Avi::Summary::countOf(Kind kind) const
{
    return static_cast<int>(std::count_if(streams.begin(), streams.end(), [kind](const StreamSummary &s) { return s.kind == kind; }));
}

qint64 Avi::Summary::frames() const
{
    if (!isAvi())
        return -1;
    const int video = firstOf(Kind::Video);
    return video < 0 ? 0 : streams[video].chunks;
}

Avi::Summary Avi::Summary::of(const File &f)
{
    Summary s;
    s.read = true;
    s.notAvi = f.notAvi;
    s.problem = f.problem;
    s.damage = f.damage;
    s.size = f.size;
    s.chainEnd = f.chainEnd;
    for (int i = 0; i < f.streams.size(); ++i) {
        const Stream &st = f.streams[i];
        const Count c = i < f.counts.size() ? f.counts[i] : Count();
        s.streams.append({st.kind, st.handler, st.compression, st.formatTag, st.channels, st.blockAlign, st.bitsPerSample,
                          st.samplesPerSec, st.avgBytesPerSec, st.scale, st.rate, st.sampleSize, c.chunks, c.bytes, c.cutChunks,
                          c.cutBytes, c.empty, c.keys, c.unknownKeys});
    }
    return s;
}

Avi::Summary Avi::summarize(const QString &path) { return Summary::of(read(path, Detail::Counts)); }

namespace {
constexpr int kFixedFields = 7, kStreamFields = 19;
} // namespace

QByteArray Avi::Summary::toText() const
{
    QByteArrayList f{QByteArray::number(read), QByteArray::number(notAvi), problem.toUtf8().toPercentEncoding(),
                     QByteArray::number(size), QByteArray::number(chainEnd), QByteArray::number(streams.size()),
                     damage.toUtf8().toPercentEncoding()};
    for (const int text : {2, 6})
        if (f[text].isEmpty())
            f[text] = "-";
    for (const StreamSummary &s : streams)
        f << QByteArray::number(static_cast<int>(s.kind)) << QByteArray::number(s.handler) << QByteArray::number(s.compression)
          << QByteArray::number(s.formatTag) << QByteArray::number(s.channels) << QByteArray::number(s.blockAlign)
          << QByteArray::number(s.bitsPerSample) << QByteArray::number(s.samplesPerSec) << QByteArray::number(s.avgBytesPerSec)
          << QByteArray::number(s.scale) << QByteArray::number(s.rate) << QByteArray::number(s.sampleSize)
          << QByteArray::number(s.chunks) << QByteArray::number(s.bytes) << QByteArray::number(s.cutChunks)
          << QByteArray::number(s.cutBytes) << QByteArray::number(s.empty) << QByteArray::number(s.keys)
          << QByteArray::number(s.unknownKeys);
    return f.join(' ');
}

std::optional<Avi::Summary> Avi::Summary::fromText(const QByteArray &text)
{
    const QList<QByteArray> f = text.split(' ');
    Summary s;
    if (f.size() < kFixedFields)
        return std::nullopt;
    bool ok = true;
    auto number = [&](const QByteArray &b) {
        bool good = false;
        const qint64 n = b.toLongLong(&good);
        ok = ok && good && n >= 0;
        return n;
    };
    s.read = number(f[0]) != 0;
    s.notAvi = number(f[1]) != 0;
    s.problem = f[2] == "-" ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(f[2]));
    s.size = number(f[3]);
    s.chainEnd = number(f[4]);
    const qint64 n = number(f[5]);
    s.damage = f[6] == "-" ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(f[6]));
    if (!ok || n > 100 || f.size() != kFixedFields + n * kStreamFields)
        return std::nullopt;
    for (qint64 i = 0; i < n; ++i) {
        const QList<QByteArray> g = f.mid(kFixedFields + i * kStreamFields, kStreamFields);
        StreamSummary st;
        const qint64 kind = number(g[0]);
        st.kind = kind <= static_cast<int>(Kind::Other) ? static_cast<Kind>(kind) : Kind::Other;
        st.handler = static_cast<quint32>(number(g[1]));
        st.compression = static_cast<quint32>(number(g[2]));
        st.formatTag = static_cast<quint16>(number(g[3]));
        st.channels = static_cast<quint16>(number(g[4]));
        st.blockAlign = static_cast<quint16>(number(g[5]));
        st.bitsPerSample = static_cast<quint16>(number(g[6]));
        st.samplesPerSec = static_cast<quint32>(number(g[7]));
        st.avgBytesPerSec = static_cast<quint32>(number(g[8]));
        st.scale = static_cast<quint32>(number(g[9]));
        st.rate = static_cast<quint32>(number(g[10]));
        st.sampleSize = static_cast<quint32>(number(g[11]));
        st.chunks = number(g[12]);
        st.bytes = number(g[13]);
        st.cutChunks = number(g[14]);
        st.cutBytes = number(g[15]);
        st.empty = number(g[16]);
        st.keys = number(g[17]);
        st.unknownKeys = number(g[18]);
        s.streams.append(st);
    }
    if (!ok)
        return std::nullopt;
    return s;
}
