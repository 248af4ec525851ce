#include "JoinOutcome.h"
#include "avi/AviFile.h"
#include "avi/KeyFrames.h"
#include "app/TextFormats.h"
#include "compat/SyncPlan.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QLocale>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
QString number(qint64 n) { return QLocale().toString(n); }
QString kilobytes(qint64 bytes) { return TextFormats::kilobytesOfBytes(static_cast<double>(bytes)); }

bool regularFile(const QString &path, qint64 *size)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = st.st_size;
    return true;
}

// Why a part cannot be read now; empty when it can.
QString unreadable(const QString &path)
{
    QFile f(path);
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return ErrorText::of(errno);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a file");
    if (!f.open(QIODevice::ReadOnly))
        return ErrorText::of(EACCES);
    return QString();
}

// "Why: what is held." as one sentence; the why may be empty.
QString because(const QString &why, const QString &held)
{
    return ErrorText::sentence(why.isEmpty() ? held : why + QStringLiteral(": ") + held);
}

JoinOutcome::Verdict rowUnreadable(int row, const QString &why, const QString &path)
{
    return JoinOutcome::Verdict::failed(QStringLiteral("Row %1 could not be read (%2): %3").arg(row).arg(why, path), QString());
}

JoinOutcome::Verdict noOutput(const JoinOutcome::Writer &writer)
{
    return {false,
            ErrorText::sentence(QStringLiteral("The %1 wrote no output").arg(writer.who)
                                + (writer.ended.isEmpty() ? QString() : QStringLiteral(": ") + writer.ended)),
            QStringLiteral("Check2 no output"),
            {},
            true};
}

QString secondsText(double s) { return QLocale().toString(s, 'f', 1) + QStringLiteral(" s"); }

QString kindsOf(const Avi::Summary &s)
{
    QString k;
    for (const Avi::StreamSummary &st : s.streams)
        k += QChar(u'0' + static_cast<int>(st.kind));
    return k;
}

// What the result should hold, from its parts: the first part's streams, every
// part's frames and sound filed by kind and position among that kind.
struct Expected
{
    Avi::Summary reference;
    qint64 frames = 0;
    qint64 cutFrames = 0; // frames cut short at a file's end, which a writer may keep in part
    qint64 emptyFrames = 0; // empty frames the parts hold, and those the plan puts in
    bool syncFrames = false; // the writer puts in empty frames of its own
    QVector<double> soundSeconds, soundSlack;
    QStringList unverified;
    int keptSoundTracks = -1; // accepted: only so many of the reference's sound tracks
    bool textDropped = false; // accepted: no text stream
    int misordered = 0; // a part (1-based) whose streams are stored in another order
    qint64 keys = 0;    // frames with bytes marked key
    qint64 heldKeys = 0; // frames put in that may repeat a key frame
    QStringList keysUnknown; // parts (1-based) whose key frames neither an index nor their codec tells
    bool keyFramesAccepted = false;
    QString keeper;
    bool repair = false; // one damaged file, not parts
};

// From the parts and what their writer says of itself: its plan's fills, its own sync frames, the losses accepted.
Expected expect(const QVector<JoinOutcome::Part> &parts, const JoinOutcome::Writer &writer)
{
    const JoinOutcome::Inserted &inserted = writer.inserted;
    Expected e;
    e.syncFrames = writer.syncFrames;
    e.keptSoundTracks = writer.keptSoundTracks;
    e.textDropped = writer.textDropped;
    e.keyFramesAccepted = writer.keyFramesAccepted;
    e.keeper = writer.keeper;
    if (parts.isEmpty())
        return e;
    e.reference = parts.first().avi;
    const int tracks = static_cast<int>(e.reference.streamsOf(Avi::Kind::Audio).size());
    e.soundSlack.fill(SyncPlan::kTolerance, tracks);
    e.soundSeconds.fill(0, tracks);
    for (int p = 0; p < parts.size(); ++p) {
        const Avi::Summary &s = parts[p].avi;
        if (s.frames() < 0) {
            e.unverified << QString::number(p + 1);
            continue;
        }
        e.frames += s.frames();
        if (const int video = s.firstOf(Avi::Kind::Video); video >= 0) {
            e.cutFrames += s.streams[video].cutChunks;
            e.emptyFrames += s.streams[video].empty;
            e.keys += s.streams[video].keys;
            if (s.streams[video].unknownKeys > 0)
                e.keysUnknown << QString::number(p + 1);
        }
        if (!e.misordered && s.countOf(Avi::Kind::Video) == e.reference.countOf(Avi::Kind::Video)
            && s.countOf(Avi::Kind::Audio) == e.reference.countOf(Avi::Kind::Audio) && kindsOf(s) != kindsOf(e.reference))
            e.misordered = p + 1;
        const QVector<int> sound = s.streamsOf(Avi::Kind::Audio);
        for (int t = 0; t < tracks && t < sound.size(); ++t) {
            const Avi::StreamSummary &st = s.streams[sound[t]];
            const double played = qMax(0.0, st.seconds());
            e.soundSeconds[t] += played;
            if (st.chunks - st.empty > 0)
                e.soundSlack[t] += played / static_cast<double>(st.chunks - st.empty) * (JoinOutcome::kSlackChunksPerPart + st.cutChunks);
        }
    }
    e.frames += inserted.dropFrames;
    e.emptyFrames += inserted.dropFrames;
    // A picture held where every frame stands alone is that frame again, a key frame.
    if (const int video = e.reference.firstOf(Avi::Kind::Video);
        video >= 0 && Avi::KeyFrames::ruleFor(e.reference.streams[video].compression) == Avi::KeyFrames::Rule::AllKey)
        e.heldKeys = inserted.dropFrames;
    for (int t = 0; t < tracks && t < inserted.silenceSeconds.size(); ++t)
        e.soundSeconds[t] += inserted.silenceSeconds[t];
    return e;
}


// Where a seek lands: the result must mark as key frames exactly the parts' key
// frames (a frame cut short at a part's end may count either way). What it says
// when not; empty when it does, or when a part's key frames are not known.
QString keyFramesLost(const Avi::StreamSummary &video, const Expected &e, const QString &noun)
{
    if (!e.keysUnknown.isEmpty() || (video.keys >= e.keys && video.keys <= e.keys + e.cutFrames + e.heldKeys))
        return QString();
    return QStringLiteral("The %1 marks %2 frames as key frames where %3 %4: seeking in it will show damaged pictures.")
               .arg(noun, number(video.keys), e.repair ? QStringLiteral("the damaged file marks") : QStringLiteral("its parts mark"), number(e.keys))
           + (e.keeper.isEmpty() ? QString() : QStringLiteral(" The %1 keeps them.").arg(e.keeper));
}

// A media result is whole when its RIFF chain ends at the end of the file, it
// keeps every stream of the reference, holds exactly the frames expected and
// the sound expected (within one chunk a part).
JoinOutcome::Verdict judge(const Avi::Summary &out, const Expected &e, const QString &noun, const QString &why)
{
    JoinOutcome::Verdict r;
    const bool whole = out.isAvi() && out.chainDifference() == 0;
    const int outVideo = out.firstOf(Avi::Kind::Video);
    // Empty frames a writer puts in of its own to keep the sound in step (the
    // encoder does past a few minutes) repeat a picture: no frame of a part is lost or added.
    const qint64 sync = e.syncFrames && outVideo >= 0 ? qMax<qint64>(0, out.streams[outVideo].empty - e.emptyFrames) : 0;
    const qint64 actual = outVideo >= 0 ? out.streams[outVideo].chunks - sync : 0;
    r.log = QStringLiteral("Check2 frames=%1 (and %6 empty sync frames) expected=%2 whole=%3 streams=%4/%5")
                .arg(actual)
                .arg(e.frames)
                .arg(whole)
                .arg(out.streams.size())
                .arg(e.reference.streams.size())
                .arg(sync);
    const auto fail = [&](const QString &why, const QString &held) {
        r.ok = false;
        r.reason = because(why, held);
        r.cutShort = !whole || !why.isEmpty();
        return r;
    };
    if (!whole)
        return fail(why, e.frames > 0 ? QStringLiteral("the %1 holds %2 of %3 frames").arg(noun, number(qMax<qint64>(0, actual)), number(e.frames))
                                      : QStringLiteral("the %1 is incomplete").arg(noun));
    const QString order = QStringLiteral("Part %1 stores its streams in another order: its sound went into the picture.").arg(e.misordered);
    const int allSound = e.reference.countOf(Avi::Kind::Audio), haveSound = out.countOf(Avi::Kind::Audio);
    const int wantSound = e.keptSoundTracks >= 0 ? std::min(allSound, e.keptSoundTracks) : allSound;
    if (haveSound < wantSound)
        return fail(QString(), QStringLiteral("the %1 keeps %2 of %3 sound tracks").arg(noun).arg(haveSound).arg(wantSound));
    if (out.countOf(Avi::Kind::Video) < e.reference.countOf(Avi::Kind::Video))
        return fail(QString(), QStringLiteral("the %1 has no picture").arg(noun));
    if (!e.textDropped && out.countOf(Avi::Kind::Text) < e.reference.countOf(Avi::Kind::Text))
        return fail(QString(), QStringLiteral("the %1 lost its text stream").arg(noun));
    if (actual > e.frames + e.cutFrames && e.unverified.isEmpty()) {
        r.ok = false;
        r.reason = e.misordered ? order
                                : QStringLiteral("The %1 holds %2 frames, %3 more than its parts: chunks were filed under the wrong stream.")
                                      .arg(noun, number(actual), number(actual - e.frames));
        return r;
    }
    if (actual < e.frames)
        return fail(why, QStringLiteral("the %1 holds %2 of %3 frames").arg(noun, number(actual), number(e.frames)));
    const QVector<int> outSound = out.streamsOf(Avi::Kind::Audio);
    for (int t = 0; t < wantSound && e.unverified.isEmpty(); ++t) {
        const double held = out.streams[outSound[t]].seconds();
        const QString track = wantSound == 1 ? QStringLiteral("sound track") : QStringLiteral("sound track %1").arg(t + 1);
        if (held > e.soundSeconds[t] + e.soundSlack[t]) {
            r.ok = false;
            r.reason = e.misordered ? order
                                    : QStringLiteral("The %1's %2 holds more than its parts: chunks were filed under the wrong stream.").arg(noun, track);
            return r;
        }
        if (held < e.soundSeconds[t] - e.soundSlack[t])
            return fail(why, QStringLiteral("the %1's %2 holds %3 of %4 of sound").arg(noun, track, secondsText(qMax(0.0, held)), secondsText(e.soundSeconds[t])));
    }
    if (outVideo >= 0 && e.unverified.isEmpty())
        if (const QString lost = keyFramesLost(out.streams[outVideo], e, noun); !lost.isEmpty()) {
            if (!e.keyFramesAccepted) {
                r.ok = false;
                r.reason = lost;
                return r;
            }
            r.notes << lost;
        }
    for (const QString &part : e.keysUnknown)
        r.notes << (e.repair ? QStringLiteral("The damaged file has") : QStringLiteral("Part %1 has").arg(part))
                       + QStringLiteral(" no index that tells its key frames, and its codec does not say: the %1 marks every frame of it as one.").arg(noun);
    for (const QString &part : e.unverified)
        r.notes << QStringLiteral("The output could not be verified for part %1: its frames could not be counted.").arg(part);
    if (wantSound < allSound)
        r.notes << QStringLiteral("The %1 keeps the first of %2 sound tracks, as asked.").arg(noun).arg(allSound);
    if (e.textDropped && e.reference.countOf(Avi::Kind::Text) > 0)
        r.notes << QStringLiteral("The %1 has no text stream, as asked.").arg(noun);
    return r;
}

// Why a result may fall short: what its writer's log says, else a disk that
// filled (when result is given), else how its program ended.
QString reasonOf(const JoinOutcome::Writer &writer, const QString &result = QString())
{
    if (!writer.why.isEmpty())
        return writer.why;
    if (!result.isEmpty() && FileSystem::freeBytes(result) < 1024 * 1024)
        return ErrorText::of(ENOSPC);
    return writer.ended;
}

// A result read back from the disk.
JoinOutcome::Verdict judgeFile(const QString &result, const Expected &e, const QString &noun, const QString &why)
{
    return judge(Avi::Summary::of(Avi::read(result, Avi::Detail::Counts)), e, noun, why);
}

QVector<JoinOutcome::Part> asParts(const QVector<Avi::Summary> &summaries)
{
    QVector<JoinOutcome::Part> parts;
    for (const Avi::Summary &s : summaries)
        parts.append({QString(), s.size, s});
    return parts;
}
} // namespace

JoinOutcome::Inserted JoinOutcome::Inserted::by(const QVector<SyncPlan::Seam> &seams)
{
    Inserted in;
    for (const SyncPlan::Seam &seam : seams) {
        in.dropFrames += seam.dropFrames;
        in.silenceSeconds.resize(std::max(in.silenceSeconds.size(), seam.silence.size()));
        for (int t = 0; t < seam.silence.size(); ++t)
            in.silenceSeconds[t] += seam.silence[t];
    }
    return in;
}

JoinOutcome::Verdict JoinOutcome::judgeSummaries(const Avi::Summary &result, const QVector<Avi::Summary> &parts, const Writer &writer)
{
    return judge(result, expect(asParts(parts), writer), QStringLiteral("output"), reasonOf(writer));
}

QString JoinOutcome::logLine(const QString &log, const QString &kind)
{
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QString &line : QString::fromUtf8(f.read(1 << 20)).split(u'\n', Qt::SkipEmptyParts))
        if (line.startsWith(kind + u' '))
            return line.mid(kind.size() + 1).trimmed();
    return QString();
}

QString JoinOutcome::failureIn(const QString &errorLog)
{
    bool ok = false;
    const int error = logLine(errorLog, QStringLiteral("error")).section(u' ', 0, 0).toInt(&ok);
    return ok ? ErrorText::of(error) : QString();
}

QVector<JoinOutcome::Part> JoinOutcome::partsOf(const QStringList &paths)
{
    QVector<Part> parts;
    for (const QString &p : paths) {
        struct stat st;
        const bool ok = ::stat(QFile::encodeName(p).constData(), &st) == 0 && S_ISREG(st.st_mode);
        parts.append({p, ok ? static_cast<qint64>(st.st_size) : -1, Avi::summarize(p)});
    }
    return parts;
}

JoinOutcome::Verdict JoinOutcome::checkIntermediate(const QVector<Part> &parts, const QString &temp, const QString &errorLog)
{
    Verdict r;
    qint64 expected = 0;
    for (const Part &p : parts)
        expected += qMax<qint64>(0, p.size);
    qint64 actual = -1;
    const bool exists = regularFile(temp, &actual);
    r.log = QStringLiteral("Check1 TempFile=%1 bytes, parts=%2 bytes").arg(exists ? actual : -1).arg(expected);
    for (int i = 0; i < parts.size(); ++i)
        if (parts[i].size < 0) { // gone before the join began: its copy line did nothing
            const QString why = unreadable(parts[i].path);
            return rowUnreadable(i + 1, why.isEmpty() ? QStringLiteral("it was missing when the join began") : why, parts[i].path);
        }
    if (exists && actual == expected)
        return r;
    r.ok = false;
    for (int i = 0; i < parts.size(); ++i) {
        const QString why = unreadable(parts[i].path);
        if (!why.isEmpty())
            return rowUnreadable(i + 1, why, parts[i].path);
        struct stat st;
        if (::stat(QFile::encodeName(parts[i].path).constData(), &st) == 0 && st.st_size != parts[i].size) {
            r.reason = QStringLiteral("Row %1 changed while it was being joined: %2").arg(i + 1).arg(parts[i].path);
            return r;
        }
    }
    r.reason = because(failureIn(errorLog),
                       QStringLiteral("the intermediate file holds %1 of %2").arg(kilobytes(qMax<qint64>(0, actual)), kilobytes(expected)));
    return r;
}

JoinOutcome::Verdict JoinOutcome::checkOutput(const QVector<Part> &parts, const QString &output, const Writer &writer)
{
    qint64 size = 0;
    if (!regularFile(output, &size) || size == 0)
        return noOutput(writer);
    return judgeFile(output, expect(parts, writer), QStringLiteral("output"), reasonOf(writer, output));
}

JoinOutcome::Verdict JoinOutcome::checkRepair(const QString &input, const QString &output, const Writer &writer)
{
    qint64 size = 0;
    if (!regularFile(output, &size) || size == 0)
        return noOutput(writer);
    // A damaged file's own index may promise chunks it no longer holds: its whole
    // chunks, walked as the encoder's index rebuild walks them, are what can be saved.
    Part walked{input, -1, Avi::Summary::of(Avi::read(input, Avi::Detail::Counts, Avi::Index::Ignored))};
    Expected e = expect({walked}, writer);
    e.repair = true;
    Verdict v = judgeFile(output, e, QStringLiteral("repaired file"), reasonOf(writer));
    if (v.ok && walked.avi.frames() >= 0)
        v.notes.prepend(QStringLiteral("%1 frames were recovered%2.")
                            .arg(number(walked.avi.frames()),
                                 walked.avi.damage.isEmpty() ? QString() : QStringLiteral(" (the file was damaged: %1)").arg(walked.avi.damage)));
    return v;
}
