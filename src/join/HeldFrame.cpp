#include "HeldFrame.h"
#include "avi/KeyFrames.h"

#include <optional>

namespace {
// Most significant bit first, as the MPEG-4 bitstream is written.
class Bits
{
public:
    Bits(const QByteArray &bytes, qsizetype from) : m_bytes(bytes), m_at(from * 8) {}
    std::optional<quint32> take(int n)
    {
        quint32 v = 0;
        for (int i = 0; i < n; ++i, ++m_at) {
            if (m_at / 8 >= m_bytes.size())
                return std::nullopt;
            v = v << 1 | ((static_cast<unsigned char>(m_bytes[m_at / 8]) >> (7 - m_at % 8)) & 1);
        }
        return v;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_at;
};

class Writer
{
public:
    void put(quint32 v, int n)
    {
        for (int i = n - 1; i >= 0; --i) {
            if (m_bits % 8 == 0)
                m_bytes += '\0';
            if ((v >> i) & 1)
                m_bytes[m_bytes.size() - 1] = static_cast<char>(m_bytes.back() | (0x80 >> (m_bits % 8)));
            ++m_bits;
        }
    }
    // next_start_code(): a 0, then 1s up to the byte's end.
    QByteArray aligned()
    {
        put(0, 1);
        while (m_bits % 8)
            put(1, 1);
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    qint64 m_bits = 0;
};

// vop_time_increment_resolution from a video object layer header (ISO/IEC 14496-2, 6.2.3).
std::optional<quint32> timeResolution(const QByteArray &header)
{
    for (qsizetype i = 0; i + 4 < header.size(); ++i) {
        const auto code = static_cast<unsigned char>(header[i + 3]);
        if (header[i] != 0 || header[i + 1] != 0 || header[i + 2] != 1 || code < 0x20 || code > 0x2F)
            continue;
        Bits b(header, i + 4);
        auto f = [&](int n) { return b.take(n).value_or(0); };
        f(1); // random_accessible_vol
        f(8); // video_object_type_indication
        quint32 verid = 1;
        if (f(1)) { // is_object_layer_identifier
            verid = f(4);
            f(3);
        }
        if (f(4) == 15) // aspect_ratio_info: extended, its own width and height follow
            f(16);
        if (f(1)) { // vol_control_parameters
            f(3); // chroma_format, low_delay
            if (f(1)) // vbv_parameters
                f(15 + 1 + 15 + 1 + 15 + 1 + 3 + 11 + 1 + 15 + 1);
        }
        const quint32 shape = f(2);
        if (shape == 3 && verid != 1)
            f(4);
        f(1); // marker
        const std::optional<quint32> resolution = b.take(16);
        if (resolution && *resolution > 0)
            return resolution;
        return std::nullopt;
    }
    return std::nullopt;
}
} // namespace

HeldFrame::Kind HeldFrame::kindFor(quint32 compression)
{
    if (Avi::KeyFrames::ruleFor(compression) == Avi::KeyFrames::Rule::AllKey)
        return Kind::Repeat;
    return Avi::KeyFrames::isMpeg4Part2(compression) ? Kind::NotCoded : Kind::Empty;
}

QByteArray HeldFrame::notCoded(const QByteArray &header)
{
    const std::optional<quint32> resolution = timeResolution(header);
    if (!resolution)
        return {};
    int bits = 1;
    while ((1u << bits) < *resolution && bits < 16)
        ++bits;
    Writer w;
    w.put(0x000001B6, 32);
    w.put(1, 2);    // vop_coding_type: predicted
    w.put(0, 1);    // modulo_time_base: no whole second passed
    w.put(1, 1);    // marker
    w.put(0, bits); // vop_time_increment
    w.put(1, 1);    // marker
    w.put(0, 1);    // vop_coded: nothing coded, the picture before shows again
    return w.aligned();
}
