#include "SyncPlan.h"

#include <QLocale>
#include <cmath>

namespace {
QVector<int> soundTracks(const Avi::Summary &s) { return s.streamsOf(Avi::Kind::Audio); }

} // namespace

QString SyncPlan::secondsText(double s)
{
    const double a = std::abs(s);
    return (a < 10 ? QLocale().toString(a, 'g', 2) : QLocale().toString(a, 'f', 0)) + QStringLiteral(" s");
}

bool SyncPlan::canFill(const Avi::StreamSummary &sound)
{
    if (sound.kind != Avi::Kind::Audio || sound.samplesPerSec == 0 || sound.channels == 0)
        return false;
    if (sound.formatTag == 1) // PCM
        return sound.blockAlign > 0 && (sound.bitsPerSample == 8 || sound.bitsPerSample == 16 || sound.bitsPerSample == 24
                                        || sound.bitsPerSample == 32);
    if (sound.formatTag == 0x55) { // MPEG audio layer 3
        static const quint32 rates[] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000};
        static const quint32 kbps[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320};
        // A byte-timed stream needs silence at its own bit rate; a frame-timed one any.
        const bool rateOk = sound.sampleSize == 0
                            || std::find(std::begin(kbps), std::end(kbps), sound.avgBytesPerSec * 8 / 1000) != std::end(kbps);
        return rateOk && sound.channels <= 2 && std::find(std::begin(rates), std::end(rates), sound.samplesPerSec) != std::end(rates);
    }
    return false;
}

bool SyncPlan::constantRate(const Avi::StreamSummary &sound)
{
    return sound.kind == Avi::Kind::Audio && (sound.formatTag == 0x2000 || sound.formatTag == 0x2001) && sound.avgBytesPerSec > 0;
}

bool SyncPlan::timed(const Avi::StreamSummary &stream)
{
    if (stream.scale == 0 || stream.rate == 0)
        return false;
    const double tick = static_cast<double>(stream.scale) / stream.rate;
    if (stream.kind == Avi::Kind::Video)
        return tick >= kShortestFrame && tick <= kLongestTick;
    // A byte or block of sound, or one frame a chunk.
    return tick >= (stream.sampleSize > 0 ? kShortestSample : kShortestFrame / 10) && tick <= kLongestTick;
}

namespace {
// How long a stream plays, when its header times it within reason; -1 when not.
double secondsOf(const Avi::StreamSummary &stream) { return SyncPlan::timed(stream) ? stream.seconds() : -1; }
} // namespace

QVector<SyncPlan::Seam> SyncPlan::plan(const QVector<Avi::Summary> &rows, bool fill)
{
    QVector<Seam> seams;
    if (rows.isEmpty())
        return seams;
    const Avi::Summary &first = rows.first();
    const QVector<int> tracks = soundTracks(first);
    const int video = first.firstOf(Avi::Kind::Video);
    const double frame = video >= 0 && timed(first.streams[video]) ? 1 / first.streams[video].frameRate() : 0;
    double picture = 0;
    QVector<double> sound(tracks.size(), 0);
    // The part before the seam, whose own lengths bound what its seam may get.
    double lastPicture = 0, lastSound = 0;
    for (int p = 0; p < rows.size(); ++p) {
        if (p > 0) {
            Seam seam;
            seam.row = p + 1;
            seam.silence.fill(0, tracks.size());
            seam.frameSeconds = frame;
            if (fill && frame > 0) {
                double ahead = 0;
                for (const double s : std::as_const(sound))
                    ahead = std::max(ahead, s - picture);
                seam.dropFrames = std::llround(std::min(ahead, lastSound) / frame);
                picture += static_cast<double>(seam.dropFrames) * frame;
                for (int t = 0; t < tracks.size(); ++t)
                    if (picture - sound[t] > 0 && canFill(first.streams[tracks[t]])) {
                        seam.silence[t] = std::min(picture - sound[t], lastPicture);
                        sound[t] += seam.silence[t];
                    }
            }
            for (int t = 0; t < tracks.size(); ++t)
                seam.shift << sound[t] - picture;
            seams << seam;
        }
        const Avi::Summary &part = rows[p];
        const int partVideo = part.isAvi() ? part.firstOf(Avi::Kind::Video) : -1;
        const double v = partVideo >= 0 ? secondsOf(part.streams[partVideo]) : -1;
        lastPicture = lastSound = 0;
        if (video < 0 || v < 0) {
            // Nothing to time it by: it counts as in step, and nothing is put in after it.
            continue;
        }
        picture += v;
        lastPicture = v;
        const QVector<int> partTracks = soundTracks(part);
        for (int t = 0; t < tracks.size(); ++t) {
            const double a = t < partTracks.size() ? secondsOf(part.streams[partTracks[t]]) : 0;
            sound[t] += a < 0 ? v : a;
            lastSound = std::max(lastSound, a < 0 ? v : a);
        }
    }
    return seams;
}

const SyncPlan::Seam *SyncPlan::firstShifted(const QVector<Seam> &seams, int *track)
{
    for (const Seam &seam : seams)
        for (int t = 0; t < seam.shift.size(); ++t)
            if (std::abs(seam.shift[t]) > kTolerance) {
                if (track)
                    *track = t;
                return &seam;
            }
    return nullptr;
}

QStringList SyncPlan::shiftLines(const QVector<Seam> &seams)
{
    QStringList lines;
    for (const Seam &seam : seams) {
        int worst = -1;
        for (int t = 0; t < seam.shift.size(); ++t)
            if (std::abs(seam.shift[t]) > kTolerance && (worst < 0 || std::abs(seam.shift[t]) > std::abs(seam.shift[worst])))
                worst = t;
        if (worst < 0)
            continue;
        const double s = seam.shift[worst];
        lines << QStringLiteral("Part %1's sound starts %2 %3 its picture.")
                     .arg(seam.row)
                     .arg(secondsText(s), s < 0 ? QStringLiteral("before") : QStringLiteral("after"));
    }
    return lines;
}

QStringList SyncPlan::fillLines(const QVector<Seam> &seams)
{
    QStringList lines;
    for (const Seam &seam : seams) {
        QStringList what;
        if (static_cast<double>(seam.dropFrames) * seam.frameSeconds > kTolerance)
            what << (seam.dropFrames == 1 ? QStringLiteral("1 frame that holds the picture") : QStringLiteral("%1 frames that hold the picture").arg(QLocale().toString(seam.dropFrames)));
        for (int t = 0; t < seam.silence.size(); ++t)
            if (seam.silence[t] > kTolerance)
                what << QStringLiteral("%1 of silence").arg(QLocale().toString(seam.silence[t], 'f', 3) + QStringLiteral(" s"))
                            + (seam.silence.size() > 1 ? QStringLiteral(" in sound track %1").arg(t + 1) : QString());
        if (!what.isEmpty())
            lines << QStringLiteral("Before part %1 the writer put in %2.").arg(seam.row).arg(what.join(QStringLiteral(" and ")));
    }
    return lines;
}
