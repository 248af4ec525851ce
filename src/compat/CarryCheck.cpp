#include "CarryCheck.h"
#include "SyncPlan.h"
#include "list/FileListModel.h"

#include <QLocale>
#include <cmath>

namespace {
using Avi::Kind;
using Avi::StreamSummary;
using Avi::Summary;

QString frameRate(double fps)
{
    return fps > 0 ? QLocale().toString(fps, 'g', 6) + QStringLiteral(" frames per second") : QStringLiteral("unknown");
}

QString fourccText(quint32 code)
{
    const QString s = Riff::tagText(code);
    return s.trimmed().isEmpty() ? QStringLiteral("none") : s;
}

QString formatName(quint16 tag)
{
    switch (tag) {
    case 0x0001: return QStringLiteral("PCM");
    case 0x0002: return QStringLiteral("ADPCM");
    case 0x0050: return QStringLiteral("MPEG audio");
    case 0x0055: return QStringLiteral("MPEG audio (MP3)");
    case 0x00FF:
    case 0x1610:
    case 0x706D: return QStringLiteral("AAC");
    case 0x0161: return QStringLiteral("WMA");
    case 0x2000: return QStringLiteral("AC-3");
    case 0x2001: return QStringLiteral("DTS");
    default: return QStringLiteral("format 0x%1").arg(tag, 4, 16, QChar(u'0'));
    }
}

QString channels(quint16 n)
{
    return n == 1 ? QStringLiteral("mono") : n == 2 ? QStringLiteral("stereo") : QStringLiteral("%1 channels").arg(n);
}

QString tracks(int n)
{
    return n == 0 ? QStringLiteral("no sound") : n == 1 ? QStringLiteral("one sound track") : QStringLiteral("%1 sound tracks").arg(n);
}

QString kindsText(const Summary &s)
{
    QStringList words;
    for (const StreamSummary &st : s.streams)
        words << (st.kind == Kind::Video ? QStringLiteral("picture") : st.kind == Kind::Audio ? QStringLiteral("sound")
                  : st.kind == Kind::Text ? QStringLiteral("text") : QStringLiteral("other"));
    return words.join(QStringLiteral(", "));
}


// "sound sample rate" for the first track, "sound track 2's sample rate" after it.
QString soundParameter(int track, const QString &what)
{
    return track == 0 ? QStringLiteral("sound ") + what : QStringLiteral("sound track %1's %2").arg(track + 1).arg(what);
}

struct Comparer
{
    const QVector<Summary> &rows;
    const QStringList &names;
    const Carriage &carriage;
    const QVector<SyncPlan::Seam> &seams;
    QVector<CarryCheck::Difference> out;

    QString name(int row) const { return row - 1 < names.size() ? names[row - 1] : QString(); }
    void differ(int row, const QString &parameter, const QString &rowValue, const QString &firstValue, const QString &consequence)
    {
        out.append({row, CarryCheck::line(row, name(row), name(1), parameter, rowValue, firstValue), consequence});
    }

    void engineLimits()
    {
        const Summary &first = rows.first();
        if (!first.isAvi())
            return;
        const int sound = first.countOf(Kind::Audio);
        if (sound > 1 && !carriage.everySoundTrack)
            out.append({1, QStringLiteral("Row 1 (%1) has %2, and the %3 keeps one.").arg(name(1), tracks(sound), carriage.who),
                        QStringLiteral("The output will have only the first sound track of every part.")});
        if (first.countOf(Kind::Text) > 0 && !carriage.text)
            out.append({1, QStringLiteral("Row 1 (%1) has a text stream, which the %2 does not keep.").arg(name(1), carriage.who),
                        QStringLiteral("The output will have no text stream.")});
    }

    // A part whose headers and chunks disagree is read as its chunks show it: said, with what the output takes.
    void damaged()
    {
        for (int row = 1; row <= rows.size(); ++row) {
            const Summary &r = rows[row - 1];
            for (const StreamSummary &st : r.streams)
                if (r.isAvi() && (st.kind == Kind::Video || st.kind == Kind::Audio) && !SyncPlan::timed(st)) {
                    out.append({row, QStringLiteral("Row %1 (%2) is damaged: its %3 header times it beyond reason (scale %4, rate %5); "
                                                    "its sound and picture are taken as in step.")
                                         .arg(row)
                                         .arg(name(row), st.kind == Kind::Video ? QStringLiteral("video") : QStringLiteral("sound"))
                                         .arg(st.scale)
                                         .arg(st.rate),
                                QString()});
                    break;
                }
            if (r.isAvi() && !r.damage.isEmpty())
                out.append({row,
                            QStringLiteral("Row %1 (%2) is damaged: %3; ").arg(row).arg(name(row), r.damage)
                                + (carriage.readsPartsApart
                                       ? QStringLiteral("the output will take all %1 as its chunks show them.").arg(QLocale().toString(r.frames()))
                                       : QStringLiteral("the %1 reads it byte for byte and may lose what follows the damage.").arg(carriage.who)),
                            QString()});
        }
    }

    void keyFrames()
    {
        if (const int row = CarryCheck::rowLosingKeyFrames(rows, carriage)) {
            const StreamSummary &v = rows[row - 1].streams[rows[row - 1].firstOf(Kind::Video)];
            out.append({row, QStringLiteral("Row %1 (%2) has %3 video, whose key frames the %4 cannot tell.").arg(row).arg(name(row), fourccText(v.compression), carriage.who),
                        QStringLiteral("In the output, every frame will be marked as a key frame: seeking will show damaged pictures.")});
        }
    }

    void compare(int row)
    {
        const Summary &first = rows.first(), &r = rows[row - 1];
        const bool fills = carriage.fillsSeams;
        // Streams filed by number land in the wrong stream when the order differs.
        const QVector<int> v1 = first.streamsOf(Kind::Video), vr = r.streamsOf(Kind::Video);
        QVector<int> a1 = first.streamsOf(Kind::Audio), ar = r.streamsOf(Kind::Audio);
        if (!carriage.everySoundTrack && a1.size() > 1) {
            // It keeps row 1's first track only (asked about once): the others' sound is no matter here.
            a1.resize(1);
            ar.resize(std::min<qsizetype>(ar.size(), 1));
        }
        const QVector<int> t1 = first.streamsOf(Kind::Text), tr = r.streamsOf(Kind::Text);
        if (!carriage.filesByKind && v1.size() == vr.size() && a1.size() == ar.size() && t1.size() == tr.size() && kindsText(first) != kindsText(r))
            differ(row, QStringLiteral("order of streams"), kindsText(r), kindsText(first),
                   QStringLiteral("In the output, the sound of part %1 will go into the picture and its picture into the sound.").arg(row));
        if (ar.size() != a1.size()) {
            bool allFilled = fills && ar.size() < a1.size();
            for (int t = static_cast<int>(ar.size()); t < a1.size(); ++t)
                allFilled = allFilled && SyncPlan::canFill(first.streams[a1[t]]);
            if (!allFilled) {
                QString what;
                if (a1.isEmpty())
                    what = QStringLiteral("The output will have no sound: the sound of part %1 will be dropped.").arg(row);
                else if (ar.size() > a1.size())
                    what = QStringLiteral("The output keeps %1: the other sound tracks of part %2 will be dropped.").arg(tracks(static_cast<int>(a1.size()))).arg(row);
                else if (ar.isEmpty())
                    what = QStringLiteral("Part %1 has no sound: in the output, the sound of the parts after it will be out of step with the picture.").arg(row);
                else
                    what = QStringLiteral("In the output, the sound tracks part %1 lacks will be out of step with the picture after it.").arg(row);
                differ(row, QStringLiteral("number of sound tracks"), tracks(static_cast<int>(ar.size())), tracks(static_cast<int>(a1.size())), what);
            }
        }
        if (tr.size() < t1.size())
            differ(row, QStringLiteral("number of text streams"), QString::number(tr.size()), QString::number(t1.size()),
                   QStringLiteral("In the output, the text of the parts after it will be out of step with the picture."));
        if (!v1.isEmpty() && !vr.isEmpty()) {
            const StreamSummary &a = first.streams[v1[0]], &b = r.streams[vr[0]];
            if (fourccText(a.compression).compare(fourccText(b.compression), Qt::CaseInsensitive) != 0)
                differ(row, QStringLiteral("video codec tag"), fourccText(b.compression), fourccText(a.compression),
                       QStringLiteral("In the output, the picture of part %1 may not play.").arg(row));
            if (std::abs(a.frameRate() - b.frameRate()) > 1e-6 * std::max(1.0, a.frameRate()))
                differ(row, QStringLiteral("frame rate"), frameRate(b.frameRate()), frameRate(a.frameRate()),
                       QStringLiteral("In the output, part %1 will play too %2.")
                           .arg(row)
                           .arg(b.frameRate() > a.frameRate() ? QStringLiteral("slowly") : QStringLiteral("fast")));
        }
        for (int t = 0; t < std::min(a1.size(), ar.size()); ++t) {
            const StreamSummary &a = first.streams[a1[t]], &b = r.streams[ar[t]];
            if (a.formatTag != b.formatTag) {
                differ(row, soundParameter(t, QStringLiteral("format")), formatName(b.formatTag), formatName(a.formatTag),
                       QStringLiteral("In the output, the sound of part %1 will not play.").arg(row));
                continue;
            }
            if (a.formatTag != 1 && SyncPlan::framePerChunk(a) != SyncPlan::framePerChunk(b)
                && !(carriage.retimesSound && SyncPlan::constantRate(a))) {
                const auto timing = [](const StreamSummary &s) {
                    return SyncPlan::framePerChunk(s) ? QStringLiteral("one frame a chunk") : QStringLiteral("a stream of bytes");
                };
                differ(row, soundParameter(t, QStringLiteral("timing")), timing(b), timing(a),
                       QStringLiteral("In the output, the sound of part %1 will play too short or garbled.").arg(row));
            }
            if (a.samplesPerSec != b.samplesPerSec)
                differ(row, soundParameter(t, QStringLiteral("sample rate")), QLocale().toString(b.samplesPerSec) + QStringLiteral(" Hz"),
                       QLocale().toString(a.samplesPerSec) + QStringLiteral(" Hz"),
                       QStringLiteral("In the output, part %1 will play its sound at the wrong speed.").arg(row));
            if (a.channels != b.channels)
                differ(row, soundParameter(t, QStringLiteral("channels")), channels(b.channels), channels(a.channels),
                       QStringLiteral("In the output, the sound of part %1 will play garbled or at the wrong speed.").arg(row));
            if (a.formatTag == 1 && a.channels == b.channels) {
                if (a.bitsPerSample != b.bitsPerSample)
                    differ(row, soundParameter(t, QStringLiteral("sample size")), QStringLiteral("%1 bits").arg(b.bitsPerSample),
                           QStringLiteral("%1 bits").arg(a.bitsPerSample),
                           QStringLiteral("In the output, part %1 will play its sound garbled and at the wrong speed, and the sound of the parts after it out of step.").arg(row));
                else if (a.blockAlign != b.blockAlign)
                    differ(row, soundParameter(t, QStringLiteral("block size")), QStringLiteral("%1 bytes").arg(b.blockAlign),
                           QStringLiteral("%1 bytes").arg(a.blockAlign),
                           QStringLiteral("In the output, the sound of part %1 will play garbled.").arg(row));
            }
        }
    }

    void drift()
    {
        int track = 0;
        const SyncPlan::Seam *seam = SyncPlan::firstShifted(seams, &track);
        if (!seam)
            return;
        const double s = seam->shift[track];
        const QString amount = SyncPlan::secondsText(s);
        const QString lessOrMore = s < 0 ? QStringLiteral("less") : QStringLiteral("more");
        // The part just before the seam, when its own sound and picture differ by the drift: name it.
        const int before = seam->row - 1;
        const Summary &part = rows[before - 1];
        const QVector<int> partVideo = part.streamsOf(Kind::Video), partSound = part.streamsOf(Kind::Audio);
        const double own = partVideo.isEmpty() ? 0
                           : (track < partSound.size() ? part.streams[partSound[track]].seconds() : 0) - part.streams[partVideo[0]].seconds();
        const bool oneRow = std::abs(own - s) <= SyncPlan::kTolerance;
        out.append({oneRow ? before : seam->row,
                    oneRow ? QStringLiteral("Row %1 (%2) has %3 %4 sound than picture.").arg(before).arg(name(before), amount, lessOrMore)
                           : QStringLiteral("The parts before row %1 (%2) have %3 %4 sound than picture.")
                                 .arg(seam->row)
                                 .arg(name(seam->row), amount, lessOrMore),
                    QStringLiteral("In the output, the sound of part %1 and of every part after it will start %2 %3 its picture.")
                        .arg(seam->row)
                        .arg(amount, s < 0 ? QStringLiteral("before") : QStringLiteral("after"))});
    }
};
} // namespace

QVector<CarryCheck::Difference> CarryCheck::differences(const QVector<Avi::Summary> &rows, const QStringList &names,
                                                        const Carriage &carriage, const QVector<SyncPlan::Seam> &seams)
{
    if (rows.size() < 2 || !rows.first().isAvi())
        return {};
    Comparer c{rows, names, carriage, seams, {}};
    c.damaged();
    c.engineLimits();
    c.keyFrames();
    for (int row = 2; row <= rows.size(); ++row)
        if (rows[row - 1].isAvi()) // an unreadable file is the light's, the chunk check's and the join's to report
            c.compare(row);
    c.drift();
    return c.out;
}

int CarryCheck::rowLosingKeyFrames(const QVector<Avi::Summary> &rows, const Carriage &carriage)
{
    for (int row = 1; row <= rows.size(); ++row) {
        const Summary &r = rows[row - 1];
        const int video = r.isAvi() ? r.firstOf(Kind::Video) : -1;
        // A stream of key frames only loses nothing.
        if (video >= 0 && carriage.losesKeyFrames(r.streams[video].compression)
            && r.streams[video].keys < r.streams[video].chunks - r.streams[video].empty)
            return row;
    }
    return 0;
}

QVector<CarryCheck::Difference> CarryCheck::check(const FileListModel &model, const Carriage &carriage)
{
    QVector<Avi::Summary> rows;
    QStringList names;
    for (const FileListModel::Row &row : model.rows()) {
        rows.append(row.facts.avi);
        names << row[FileListModel::Filename];
    }
    return differences(rows, names, carriage, SyncPlan::plan(rows, carriage.fillsSeams));
}

QString CarryCheck::line(int row, const QString &name, const QString &firstName, const QString &parameter, const QString &rowValue,
                         const QString &firstValue)
{
    return QStringLiteral("Row %1 (%2) differs from row 1 (%3) in its %4: %5 against %6.")
        .arg(row)
        .arg(name, firstName, parameter, rowValue, firstValue);
}

QString CarryCheck::question(const QVector<Difference> &differences)
{
    QStringList lines;
    for (int i = 0; i < differences.size() && i < kMostLines; ++i)
        lines << (differences[i].consequence.isEmpty() ? differences[i].text : differences[i].text + u' ' + differences[i].consequence);
    if (differences.size() > kMostLines)
        lines << QStringLiteral("and %1 more").arg(differences.size() - kMostLines);
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\nWould you like to join the files in your list anyway?");
}
