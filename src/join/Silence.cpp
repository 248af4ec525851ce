#include "Silence.h"

#include <cmath>

namespace {
// Layer III bit rates (kbit/s) by index: MPEG-1, then MPEG-2 and 2.5.
constexpr int kRatesV1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kRatesV2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

struct MpegVersion
{
    int bits = -1;   // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int rateIndex = -1;
    bool mpeg1() const { return bits == 3; }
    int samples() const { return mpeg1() ? 1152 : 576; }
    const int *rates() const { return mpeg1() ? kRatesV1 : kRatesV2; }
};

MpegVersion versionFor(quint32 sampleRate)
{
    switch (sampleRate) {
    case 44100: return {3, 0};
    case 48000: return {3, 1};
    case 32000: return {3, 2};
    case 22050: return {2, 0};
    case 24000: return {2, 1};
    case 16000: return {2, 2};
    case 11025: return {0, 0};
    case 12000: return {0, 1};
    case 8000: return {0, 2};
    default: return {};
    }
}

int sideInfo(const MpegVersion &v, int channels) { return v.mpeg1() ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17); }

QByteArray mp3Frame(const MpegVersion &v, int rateIndex, quint32 sampleRate, int channels, bool padding)
{
    const int kbps = v.rates()[rateIndex];
    const int length = (v.mpeg1() ? 144000 : 72000) * kbps / static_cast<int>(sampleRate) + (padding ? 1 : 0);
    QByteArray f(length, '\0');
    f[0] = static_cast<char>(0xFF);
    f[1] = static_cast<char>(0xE0 | v.bits << 3 | 0x02 | 0x01); // layer III, no CRC
    f[2] = static_cast<char>(rateIndex << 4 | v.rateIndex << 2 | (padding ? 0x02 : 0));
    f[3] = static_cast<char>((channels == 1 ? 3 : 0) << 6); // mono, or stereo
    return f;
}
} // namespace

Silence::Mp3Frame Silence::parseMp3Header(const QByteArray &frame)
{
    if (frame.size() < 4 || static_cast<unsigned char>(frame[0]) != 0xFF || (static_cast<unsigned char>(frame[1]) & 0xE6) != 0xE2)
        return {};
    const int bits = (static_cast<unsigned char>(frame[1]) >> 3) & 3;
    const int rateIndex = static_cast<unsigned char>(frame[2]) >> 4, srIndex = (static_cast<unsigned char>(frame[2]) >> 2) & 3;
    if (bits == 1 || rateIndex == 0 || rateIndex == 15 || srIndex == 3)
        return {};
    static const int srs[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    const MpegVersion v{bits, srIndex};
    const int sr = srs[bits][srIndex], kbps = v.rates()[rateIndex];
    const bool padding = static_cast<unsigned char>(frame[2]) & 0x02;
    return {(v.mpeg1() ? 144000 : 72000) * kbps / sr + (padding ? 1 : 0), v.samples(), kbps * 1000, sr,
            ((static_cast<unsigned char>(frame[3]) >> 6) == 3) ? 1 : 2};
}

bool Silence::each(const Avi::Stream &sound, double seconds, const std::function<bool(const QByteArray &)> &chunk)
{
    if (seconds <= 0 || sound.samplesPerSec == 0 || sound.channels == 0)
        return true;
    if (sound.formatTag == 1 && sound.blockAlign > 0) {
        // PCM: 8-bit samples are unsigned, silent at 0x80; wider ones are signed.
        const char zero = sound.bitsPerSample == 8 ? static_cast<char>(0x80) : '\0';
        qint64 samples = std::llround(seconds * sound.samplesPerSec);
        const qint64 perChunk = qMax<qint64>(1, sound.samplesPerSec / 10);
        while (samples > 0) {
            const qint64 n = qMin(samples, perChunk);
            if (!chunk(QByteArray(static_cast<qsizetype>(n * sound.blockAlign), zero)))
                return false;
            samples -= n;
        }
        return true;
    }
    if (sound.formatTag != 0x55)
        return true;
    const MpegVersion v = versionFor(sound.samplesPerSec);
    if (v.bits < 0 || sound.channels > 2)
        return true;
    const int channels = sound.channels;
    // Frames at the stream's own bit rate, which a byte-timed stream needs to keep
    // its byte rate. A frame-timed stream without one (VBR) plays a frame a chunk,
    // so the smallest rate that holds the side information will do.
    int rateIndex = -1;
    for (int i = 1; i < 15 && rateIndex < 0; ++i)
        if (static_cast<qint64>(v.rates()[i]) * 1000 == static_cast<qint64>(sound.avgBytesPerSec) * 8)
            rateIndex = i;
    for (int i = 1; i < 15 && rateIndex < 0 && sound.sampleSize == 0; ++i)
        if ((v.mpeg1() ? 144000 : 72000) * v.rates()[i] / static_cast<int>(sound.samplesPerSec) >= 4 + sideInfo(v, channels))
            rateIndex = i;
    if (rateIndex < 0)
        return true;
    const qint64 frames = std::llround(seconds * sound.samplesPerSec / v.samples());
    // Padding as the bytes the rate asks for up to each frame say: the exact
    // length is fractional (417.96 bytes at 128 kbit/s and 44.1 kHz).
    const double exact = (v.mpeg1() ? 144000.0 : 72000.0) * v.rates()[rateIndex] / sound.samplesPerSec;
    const qint64 whole = static_cast<qint64>(exact);
    for (qint64 k = 0; k < frames; ++k) {
        const qint64 due = static_cast<qint64>(std::floor((k + 1) * exact)) - static_cast<qint64>(std::floor(k * exact));
        if (!chunk(mp3Frame(v, rateIndex, sound.samplesPerSec, channels, due > whole)))
            return false;
    }
    return true;
}

QVector<QByteArray> Silence::chunks(const Avi::Stream &sound, double seconds)
{
    QVector<QByteArray> out;
    each(sound, seconds, [&](const QByteArray &c) {
        out << c;
        return true;
    });
    return out;
}

double Silence::secondsOf(const Avi::Stream &sound, const QVector<QByteArray> &chunks)
{
    Avi::Count c;
    for (const QByteArray &b : chunks) {
        c.chunks += 1;
        c.bytes += b.size();
    }
    return Avi::seconds(sound, c);
}
