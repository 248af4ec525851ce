#include "KeyFrames.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <string_view>

namespace {
using Avi::KeyFrames::Rule;

enum class Codec { None, Intra, Mpeg4, MsMpeg4, H264, Mpeg12, Cinepak, Ffv1, Vp8, Vp9 };

quint32 upper(quint32 code)
{
    quint32 out = 0;
    for (int i = 0; i < 4; ++i) {
        auto c = static_cast<unsigned char>((code >> (8 * i)) & 0xff);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        out |= static_cast<quint32>(c) << (8 * i);
    }
    return out;
}

constexpr quint32 tag(std::string_view s)
{
    return static_cast<quint32>(static_cast<unsigned char>(s[0])) | static_cast<quint32>(static_cast<unsigned char>(s[1])) << 8
           | static_cast<quint32>(static_cast<unsigned char>(s[2])) << 16 | static_cast<quint32>(static_cast<unsigned char>(s[3])) << 24;
}

struct Family
{
    Codec codec;
    std::string_view tags; // four characters each, upper case
};

// Codec tags as muxers write them; compared without regard to case.
constexpr std::array kFamilies{
    Family{Codec::Mpeg4, "XVIDDIVXDX50FMP4MP4V3IV2XVIXM4S2MP4SDM4VBLZ0UMP4DXGMSMP4EM4AHDX4RMP4"},
    Family{Codec::MsMpeg4, "DIV3DIV4DIV5DIV6MP43MPG3AP41COL1DVX33IVDMP42DIV2"},
    Family{Codec::H264, "H264X264AVC1DAVCVSSH"},
    Family{Codec::Mpeg12, "MPG1MPG2MPEGMP2VM2V1PIM1"},
    Family{Codec::Cinepak, "CVID"},
    Family{Codec::Ffv1, "FFV1"},
    Family{Codec::Vp8, "VP80"},
    Family{Codec::Vp9, "VP90"},
    Family{Codec::Intra, "MJPGAVRNLJPGJPGLJPEGDMB1MJLSHFYUFFVHDVSDDVHDDVSLDV25DV50DVH1CDVCCDVHDIB RGB RAW YUY2YUYVUYVYYV12"
                         "I420IYUVY800Y8  GREYYV16V2102VUYY41PNV12NV21MAGYULRGULRAULY0ULY2ULY4ULH0ULH2ULH4UQY2UQRGUQRA"
                         "MPNGPNG1PNG "},
};

Codec codecOf(quint32 compression)
{
    if (compression == 0 || compression == 3) // BI_RGB, BI_BITFIELDS: uncompressed
        return Codec::Intra;
    const quint32 code = upper(compression);
    for (const Family &f : kFamilies)
        for (std::size_t i = 0; i + 4 <= f.tags.size(); i += 4)
            if (tag(f.tags.substr(i, 4)) == code)
                return f.codec;
    return Codec::None;
}

inline unsigned byteAt(const char *p, qint64 i) { return static_cast<unsigned char>(p[i]); }

// The code after each 00 00 01 start code, in order; stop returns a verdict to end the scan.
template<typename Stop>
std::optional<bool> startCodes(const char *p, qint64 n, Stop stop)
{
    for (qint64 i = 0; i + 3 < n; ++i) {
        if (p[i] != 0 || p[i + 1] != 0 || p[i + 2] != 1)
            continue;
        if (const std::optional<bool> verdict = stop(i + 3))
            return verdict;
        i += 2;
    }
    return std::nullopt;
}

// MPEG-4 part 2: a VOP's coding type (0: intra) in the two bits after its start code.
std::optional<bool> mpeg4(const char *p, qint64 n, qint64 size)
{
    bool header = false;
    const std::optional<bool> v = startCodes(p, n, [&](qint64 at) -> std::optional<bool> {
        const unsigned code = byteAt(p, at);
        if (code == 0xB6)
            return at + 1 < n ? std::optional<bool>((byteAt(p, at + 1) >> 6) == 0) : std::nullopt;
        if (code == 0xB0 || (code >= 0x20 && code <= 0x2F))
            header = true; // sequence or layer headers come before an intra picture
        return std::nullopt;
    });
    if (v)
        return v;
    if (header)
        return true;
    // A placeholder of a few bytes (a packed stream's "not coded" frame) is no key frame.
    return size < 8 ? std::optional<bool>(false) : std::nullopt;
}

// H.264 in start-code form: an IDR slice (NAL type 5) is a key frame, another slice is not.
std::optional<bool> h264(const char *p, qint64 n)
{
    bool parameters = false;
    const std::optional<bool> v = startCodes(p, n, [&](qint64 at) -> std::optional<bool> {
        const unsigned type = byteAt(p, at) & 0x1f;
        if (type == 5)
            return true;
        if (type == 1)
            return false;
        parameters = parameters || type == 7;
        return std::nullopt;
    });
    if (v)
        return v;
    return parameters ? std::optional<bool>(true) : std::nullopt; // a long SEI hid the slice; parameter sets open a key frame
}

// MPEG-1/2: the picture header's coding type (1: intra).
std::optional<bool> mpeg12(const char *p, qint64 n)
{
    return startCodes(p, n, [&](qint64 at) -> std::optional<bool> {
        if (byteAt(p, at) != 0x00 || at + 2 >= n)
            return std::nullopt;
        return ((byteAt(p, at + 2) >> 3) & 7) == 1;
    });
}

// Cinepak: a frame whose every strip is coded intra (strip id 0x10xx, inter 0x11xx);
// encoders code a frame's strips alike, so the strips within the bytes read tell.
std::optional<bool> cinepak(const char *p, qint64 n)
{
    if (n < 10)
        return std::nullopt;
    const unsigned strips = byteAt(p, 8) << 8 | byteAt(p, 9);
    if (strips == 0)
        return false; // the previous picture again
    qint64 at = 10;
    for (unsigned s = 0; s < strips; ++s) {
        if (at + 4 > n)
            return s > 0 ? std::optional<bool>(true) : std::nullopt;
        if (byteAt(p, at) != 0x10)
            return false;
        const unsigned stripSize = byteAt(p, at + 2) << 8 | byteAt(p, at + 3);
        if (stripSize < 12)
            return std::nullopt;
        at += stripSize;
    }
    return true;
}

// FFV1: the frame's first symbol is its key-frame bit, range coded from state 128:
// with the coder's range 0xFF00 split in half, a first 16-bit value of at least 0x7F80 is a 1.
std::optional<bool> ffv1(const char *p, qint64 n)
{
    if (n < 2)
        return std::nullopt;
    return (byteAt(p, 0) << 8 | byteAt(p, 1)) >= 0x7F80;
}

// VP8: the frame tag's lowest bit is 0 for a key frame.
std::optional<bool> vp8(const char *p, qint64 n) { return n < 1 ? std::nullopt : std::optional<bool>((byteAt(p, 0) & 1) == 0); }

// VP9: the uncompressed header (most significant bit first): frame marker (2),
// profile (2, and a reserved bit in profile 3), show_existing_frame, frame_type (0: key).
std::optional<bool> vp9(const char *p, qint64 n)
{
    if (n < 2)
        return std::nullopt;
    const unsigned bits = byteAt(p, 0) << 8 | byteAt(p, 1);
    const auto bit = [bits](int k) { return (bits >> (15 - k)) & 1; };
    if ((bits >> 14) != 2)
        return std::nullopt;
    const int profile = bit(2) | bit(3) << 1;
    int at = profile == 3 ? 5 : 4;
    if (bit(at))
        return false; // shows an earlier frame again
    return bit(at + 1) == 0;
}
} // namespace

Rule Avi::KeyFrames::ruleFor(quint32 compression)
{
    switch (codecOf(compression)) {
    case Codec::None: return Rule::Unknown;
    case Codec::Intra: return Rule::AllKey;
    default: return Rule::Read;
    }
}

bool Avi::KeyFrames::isMpeg4Part2(quint32 compression) { return codecOf(compression) == Codec::Mpeg4; }

std::optional<bool> Avi::KeyFrames::isKey(quint32 compression, const char *head, qint64 n, qint64 size)
{
    const Codec codec = codecOf(compression);
    if (codec == Codec::None)
        return std::nullopt;
    if (size == 0)
        return false; // an empty frame repeats the one before
    if (codec == Codec::Intra)
        return true;
    n = std::min(n, size);
    switch (codec) {
    case Codec::Mpeg4: return mpeg4(head, n, size);
    case Codec::MsMpeg4: return n < 1 ? std::nullopt : std::optional<bool>((byteAt(head, 0) >> 6) == 0);
    case Codec::H264: return h264(head, n);
    case Codec::Mpeg12: return mpeg12(head, n);
    case Codec::Cinepak: return cinepak(head, n);
    case Codec::Ffv1: return ffv1(head, n);
    case Codec::Vp8: return vp8(head, n);
    case Codec::Vp9: return vp9(head, n);
    case Codec::None:
    case Codec::Intra: break;
    }
    return std::nullopt;
}
