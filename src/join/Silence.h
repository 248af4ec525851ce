#pragma once
#include "avi/AviFile.h"

#include <QByteArray>
#include <QVector>
#include <functional>

// Silence of a sound stream's own format, made without an encoder: zero
// samples for PCM, and for MP3 frames whose side information holds no data
// (each decodes to silence) at the stream's sample rate and a bit rate it allows.
namespace Silence {

// The chunks that play about `seconds` of silence in the stream's format, one
// MP3 frame a chunk; empty for a format it cannot make (see SyncPlan::canFill).
// A CBR MP3 stream gets frames at its own bit rate, their padding bits set so
// that the byte rate holds.
QVector<QByteArray> chunks(const Avi::Stream &sound, double seconds);
// The same chunks handed over one at a time, so that no more than one is held;
// false when chunk said to stop.
bool each(const Avi::Stream &sound, double seconds, const std::function<bool(const QByteArray &)> &chunk);

// How long such chunks play, in the stream's own timing.
double secondsOf(const Avi::Stream &sound, const QVector<QByteArray> &chunks);

// One MP3 frame header's facts, for tests: the frame's length in bytes and the
// samples it plays; 0 when the four bytes are no layer III header.
struct Mp3Frame
{
    int length = 0, samples = 0, bitRate = 0, sampleRate = 0, channels = 0;
};
Mp3Frame parseMp3Header(const QByteArray &frame);

} // namespace Silence
