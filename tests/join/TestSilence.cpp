#include "join/Silence.h"

#include <gtest/gtest.h>

namespace {
Avi::Stream sound(quint16 tag, quint32 rate, quint16 channels, quint16 bits, quint32 bytesPerSecond, quint32 sampleSize)
{
    Avi::Stream s;
    s.kind = Avi::Kind::Audio;
    s.formatTag = tag, s.samplesPerSec = rate, s.channels = channels, s.bitsPerSample = bits;
    s.blockAlign = tag == 1 ? static_cast<quint16>(channels * bits / 8) : 1;
    s.avgBytesPerSec = bytesPerSecond;
    s.sampleSize = sampleSize;
    // Timed as muxers write them: PCM by the byte block, CBR MP3 by the byte, VBR MP3 by the frame.
    s.scale = tag == 1 ? s.blockAlign : sampleSize ? 1 : (rate >= 32000 ? 1152 : 576);
    s.rate = tag == 1 ? s.blockAlign * rate : sampleSize ? bytesPerSecond : rate;
    return s;
}
} // namespace

// Silence plays as long as asked in the stream's own timing, and is silence.
TEST(Silence, PlaysAsLongAsAskedInEveryFormatItMakes)
{
    const struct
    {
        const char *name;
        Avi::Stream stream;
    } cases[] = {
        {"PCM 16-bit stereo", sound(1, 44100, 2, 16, 176400, 4)},
        {"PCM 8-bit mono", sound(1, 22050, 1, 8, 22050, 1)},
        {"PCM 24-bit stereo", sound(1, 48000, 2, 24, 288000, 6)},
        {"MP3 CBR 128k 44.1 kHz", sound(0x55, 44100, 2, 0, 16000, 1)},
        {"MP3 CBR 64k 22.05 kHz mono", sound(0x55, 22050, 1, 0, 8000, 1)},
        {"MP3 VBR 48 kHz", sound(0x55, 48000, 2, 0, 20000, 0)},
    };
    for (const auto &c : cases)
        for (const double seconds : {0.04, 1.5, 10.0}) {
            const QVector<QByteArray> chunks = Silence::chunks(c.stream, seconds);
            ASSERT_FALSE(chunks.isEmpty()) << c.name;
            // Within one MP3 frame (26 ms at most) or one sample.
            EXPECT_NEAR(Silence::secondsOf(c.stream, chunks), seconds, 0.027) << c.name << " " << seconds;
            if (c.stream.formatTag == 1) {
                const char zero = c.stream.bitsPerSample == 8 ? static_cast<char>(0x80) : '\0';
                for (const QByteArray &chunk : chunks)
                    EXPECT_EQ(chunk.count(zero), chunk.size()) << c.name;
                continue;
            }
            qint64 bytes = 0;
            for (const QByteArray &chunk : chunks) {
                const Silence::Mp3Frame f = Silence::parseMp3Header(chunk);
                ASSERT_EQ(f.length, chunk.size()) << c.name; // one whole frame a chunk
                EXPECT_EQ(f.sampleRate, static_cast<int>(c.stream.samplesPerSec)) << c.name;
                EXPECT_EQ(f.channels, c.stream.channels) << c.name;
                bytes += chunk.size();
            }
            if (c.stream.sampleSize > 0 && seconds >= 1.5) { // CBR: the byte rate holds
                EXPECT_NEAR(static_cast<double>(bytes) / seconds, c.stream.avgBytesPerSec, c.stream.avgBytesPerSec * 0.01) << c.name;
            }
        }
}

TEST(Silence, MakesNothingItCannotMake)
{
    EXPECT_TRUE(Silence::chunks(sound(0x2000, 48000, 2, 0, 24000, 1), 1).isEmpty()); // AC-3
    EXPECT_TRUE(Silence::chunks(sound(0x55, 44100, 2, 0, 16000, 1), 0).isEmpty());
    EXPECT_TRUE(Silence::chunks(sound(0x55, 44100, 2, 0, 16000, 1), -1).isEmpty());
    EXPECT_TRUE(Silence::chunks(sound(0x55, 96000, 2, 0, 16000, 1), 1).isEmpty()); // no MP3 rate
    EXPECT_EQ(Silence::parseMp3Header(QByteArray("\xff\xfb", 2)).length, 0);
    EXPECT_EQ(Silence::parseMp3Header(QByteArray("RIFF")).length, 0);
}
