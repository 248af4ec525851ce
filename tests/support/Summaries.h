#pragma once
#include "avi/AviSummary.h"

// Summaries made by hand, for the plan and the judge without files: a picture
// at 25 frames a second and PCM sound (44.1 kHz, 16-bit stereo) of given lengths.
namespace Summaries {
inline Avi::StreamSummary video(qint64 frames)
{
    Avi::StreamSummary s;
    s.kind = Avi::Kind::Video;
    s.compression = 0x44495658; // XVID
    s.scale = 1, s.rate = 25;
    s.chunks = frames, s.bytes = frames * 1000;
    return s;
}
inline Avi::StreamSummary pcm(double seconds, quint32 chunksPerSecond = 25)
{
    Avi::StreamSummary s;
    s.kind = Avi::Kind::Audio;
    s.formatTag = 1, s.channels = 2, s.blockAlign = 4, s.bitsPerSample = 16;
    s.samplesPerSec = 44100, s.avgBytesPerSec = 176400;
    s.scale = 1, s.rate = 44100, s.sampleSize = 4;
    s.bytes = static_cast<qint64>(seconds * 176400);
    s.chunks = static_cast<qint64>(seconds * chunksPerSecond);
    return s;
}
// AAC as muxers store it, a frame (1,024 samples at 44.1 kHz) a chunk, after empty chunks that play nothing.
inline Avi::StreamSummary aac(double seconds, qint64 emptyChunks)
{
    Avi::StreamSummary s;
    s.kind = Avi::Kind::Audio;
    s.formatTag = 0xFF, s.channels = 2, s.samplesPerSec = 44100;
    s.scale = 1024, s.rate = 44100, s.sampleSize = 0;
    s.empty = emptyChunks;
    s.chunks = static_cast<qint64>(seconds * 44100 / 1024 + 0.5) + emptyChunks;
    s.bytes = (s.chunks - emptyChunks) * 300;
    return s;
}
// A readable AVI file of these streams, its chain ending at its end.
inline Avi::Summary file(const QVector<Avi::StreamSummary> &streams)
{
    Avi::Summary s;
    s.read = true;
    s.size = s.chainEnd = 1000;
    s.streams = streams;
    return s;
}
// Seconds of picture and of sound (negative: no sound stream).
inline Avi::Summary clip(double picture, double sound)
{
    QVector<Avi::StreamSummary> streams{video(static_cast<qint64>(picture * 25 + 0.5))};
    if (sound >= 0)
        streams << pcm(sound);
    return file(streams);
}
} // namespace Summaries
