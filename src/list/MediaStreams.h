#pragma once
#include <QString>
#include <QVector>

namespace MediaProbe {
// What the media library says a stream-copy join depends on: frame count and
// rate, play time, and the audio streams.
struct Audio
{
    QString format, samplingRate, channels, bitRateMode, bitRate;
    bool operator==(const Audio &) const = default;
};
struct Streams
{
    bool readable = false;
    int videoStreams = 0;
    qint64 frameCount = -1; // -1: the library gives none
    QString frameRate;
    qint64 durationMs = -1;
    QVector<Audio> audio;
    bool operator==(const Streams &) const = default;
};
} // namespace MediaProbe
