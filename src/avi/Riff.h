#pragma once
#include <QString>
#include <QtGlobal>
#include <cstring>

// The RIFF vocabulary of AVI files: four-character codes as the file stores
// them (little-endian), and little-endian numbers read from bytes.
namespace Riff {
constexpr quint32 fourcc(const char (&s)[5])
{
    return static_cast<quint32>(static_cast<unsigned char>(s[0])) | static_cast<quint32>(static_cast<unsigned char>(s[1])) << 8
           | static_cast<quint32>(static_cast<unsigned char>(s[2])) << 16 | static_cast<quint32>(static_cast<unsigned char>(s[3])) << 24;
}
inline constexpr quint32 kRiff = fourcc("RIFF"), kList = fourcc("LIST"), kAvi = fourcc("AVI "), kAvix = fourcc("AVIX"),
                         kHdrl = fourcc("hdrl"), kStrl = fourcc("strl"), kMovi = fourcc("movi"), kRec = fourcc("rec "),
                         kIdx1 = fourcc("idx1"), kIndx = fourcc("indx"), kOdml = fourcc("odml"), kDmlh = fourcc("dmlh"),
                         kAvih = fourcc("avih"), kStrh = fourcc("strh"), kStrf = fourcc("strf"), kStrn = fourcc("strn"),
                         kStrd = fourcc("strd"), kJunk = fourcc("JUNK"), kVids = fourcc("vids"), kAuds = fourcc("auds"),
                         kTxts = fourcc("txts");

inline quint16 u16(const char *p)
{
    return static_cast<quint16>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
inline quint32 u32(const char *p) { return u16(p) | static_cast<quint32>(u16(p + 2)) << 16; }
inline quint64 u64(const char *p) { return u32(p) | static_cast<quint64>(u32(p + 4)) << 32; }
inline void put16(char *p, quint16 v)
{
    p[0] = static_cast<char>(v & 0xff);
    p[1] = static_cast<char>(v >> 8);
}
inline void put32(char *p, quint32 v)
{
    put16(p, static_cast<quint16>(v & 0xffff));
    put16(p + 2, static_cast<quint16>(v >> 16));
}
inline void put64(char *p, quint64 v)
{
    put32(p, static_cast<quint32>(v & 0xffffffffu));
    put32(p + 4, static_cast<quint32>(v >> 32));
}
// A four-character code as text, '?' for a byte that is no printable character.
inline QString tagText(quint32 code)
{
    QString s;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xff);
        s += c >= 32 && c < 127 ? QChar(QLatin1Char(c)) : QChar(u'?');
    }
    return s;
}
// Chunks are padded to an even length.
inline qint64 padded(quint32 size) { return static_cast<qint64>(size) + (size & 1); }

// "ix" and the stream's two digits (or the digits, then "ix"): an OpenDML
// standard index, not media.
inline bool isStandardIndex(quint32 id)
{
    return (id & 0xffff) == (fourcc("ix00") & 0xffff) || (id >> 16) == (fourcc("00ix") >> 16);
}
// A media chunk's id: two digits (the stream number) and a two-letter code
// ("dc", "db", "wb", "tx", "pc"); -1 when the id is no such thing.
inline int streamOf(quint32 id)
{
    const int a = static_cast<int>(id & 0xff) - '0', b = static_cast<int>((id >> 8) & 0xff) - '0';
    if (a < 0 || a > 9 || b < 0 || b > 9)
        return -1;
    const char c = static_cast<char>((id >> 16) & 0xff), d = static_cast<char>(id >> 24);
    const bool letters = ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z'));
    return letters && !isStandardIndex(id) ? a * 10 + b : -1;
}
inline quint32 withStream(quint32 id, int stream)
{
    return (id & 0xffff0000u) | static_cast<quint32>('0' + stream / 10) | static_cast<quint32>('0' + stream % 10) << 8;
}

// Where the fields of the AVI headers lie (AVIMAINHEADER, AVISTREAMHEADER,
// BITMAPINFOHEADER, WAVEFORMATEX), for the reader and the writer alike.
namespace Avih {
inline constexpr int kMaxBytesPerSec = 4, kFlags = 12, kTotalFrames = 16, kInitialFrames = 20, kStreams = 24,
                     kSuggestedBufferSize = 28, kSize = 56;
}
namespace Strh {
inline constexpr int kType = 0, kHandler = 4, kInitialFrames = 16, kScale = 20, kRate = 24, kStart = 28, kLength = 32,
                     kSuggestedBufferSize = 36, kSampleSize = 44, kSize = 56;
inline constexpr int kTimedSize = 48; // what the reader needs for the timing fields
}
namespace Bih {
inline constexpr int kWidth = 4, kHeight = 8, kCompression = 16, kSize = 20; // the fields read
}
namespace Wfx {
inline constexpr int kFormatTag = 0, kChannels = 2, kSamplesPerSec = 4, kAvgBytesPerSec = 8, kBlockAlign = 12, kBitsPerSample = 14,
                     kSize = 14, kSizeWithBits = 16;
}
} // namespace Riff
