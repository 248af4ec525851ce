#include "CarryCheck.h"
#include "list/FileListModel.h"

#include <QLocale>

namespace {
QString frameRate(const QString &rate)
{
    bool ok = false;
    const double fps = rate.toDouble(&ok);
    return ok ? QLocale().toString(fps, 'g', 6) + QStringLiteral(" frames per second") : QStringLiteral("unknown");
}

QString hertz(const QString &rate)
{
    bool ok = false;
    const qint64 hz = rate.toLongLong(&ok);
    return ok ? QLocale().toString(hz) + QStringLiteral(" Hz") : (rate.isEmpty() ? QStringLiteral("unknown") : rate);
}

QString channels(const QString &n)
{
    if (n == QStringLiteral("1"))
        return QStringLiteral("mono");
    if (n == QStringLiteral("2"))
        return QStringLiteral("stereo");
    return n.isEmpty() ? QStringLiteral("unknown") : n + QStringLiteral(" channels");
}

QString format(const QString &f)
{
    if (f == QStringLiteral("MPEG Audio"))
        return QStringLiteral("MPEG audio (MP3)");
    return f.isEmpty() ? QStringLiteral("unknown") : f;
}

QString tracks(int n)
{
    return n == 0 ? QStringLiteral("no sound") : n == 1 ? QStringLiteral("one audio track") : QStringLiteral("%1 audio tracks").arg(n);
}

QString nameOf(const FileListModel &model, int row)
{
    return model.cell(row, FileListModel::Filename);
}
} // namespace

CarryCheck::Difference CarryCheck::firstDifference(const QVector<MediaProbe::Streams> &rows)
{
    if (rows.size() < 2)
        return {};
    const MediaProbe::Streams &first = rows[0];
    for (int i = 1; i < rows.size(); ++i) {
        const MediaProbe::Streams &r = rows[i];
        const int part = i + 1;
        if (!r.readable || !first.readable)
            continue; // an unreadable file is the light's and the join's to report
        if (first.videoStreams > 0 && r.videoStreams > 0 && r.frameRate != first.frameRate)
            return {part, QStringLiteral("frame rate"), frameRate(first.frameRate), frameRate(r.frameRate),
                    QStringLiteral("In the output, part %1 will play too %2.")
                        .arg(part)
                        .arg(r.frameRate.toDouble() > first.frameRate.toDouble() ? QStringLiteral("slowly") : QStringLiteral("fast"))};
        if (r.audio.size() != first.audio.size()) {
            QString what;
            if (first.audio.isEmpty())
                what = QStringLiteral("The output will have no sound: the sound of part %1 will be dropped.").arg(part);
            else if (r.audio.isEmpty())
                what = QStringLiteral("Part %1 has no sound: in the output, the sound of the parts after it will be out of step with the picture.").arg(part);
            else if (r.audio.size() > first.audio.size())
                what = QStringLiteral("The output keeps one audio track: the other audio tracks of part %1 will be dropped.").arg(part);
            else
                what = QStringLiteral("The output keeps one audio track: the second audio track will be dropped.");
            return {part, QStringLiteral("number of audio tracks"), tracks(static_cast<int>(first.audio.size())),
                    tracks(static_cast<int>(r.audio.size())), what};
        }
        for (int t = 0; t < r.audio.size(); ++t) {
            const MediaProbe::Audio &a = first.audio[t], &b = r.audio[t];
            if (a.format != b.format)
                return {part, QStringLiteral("sound format"), format(a.format), format(b.format),
                        QStringLiteral("In the output, the sound of part %1 will not play.").arg(part)};
            if (a.samplingRate != b.samplingRate)
                return {part, QStringLiteral("sound sample rate"), hertz(a.samplingRate), hertz(b.samplingRate),
                        QStringLiteral("In the output, part %1 will play its sound at the wrong speed.").arg(part)};
            if (a.channels != b.channels)
                return {part, QStringLiteral("sound channels"), channels(a.channels), channels(b.channels),
                        QStringLiteral("In the output, the sound of part %1 will play garbled or at the wrong speed.").arg(part)};
        }
    }
    return {};
}

CarryCheck::Difference CarryCheck::check(const FileListModel &model)
{
    QVector<MediaProbe::Streams> rows;
    rows.reserve(model.count());
    for (const FileListModel::Row &row : model.rows())
        rows.append(row.facts.streams);
    return firstDifference(rows);
}

QString CarryCheck::line(const FileListModel &model, const Difference &d)
{
    return QStringLiteral("Row %1 (%2) differs from row 1 (%3) in its %4: %5 against %6.")
        .arg(d.row)
        .arg(nameOf(model, d.row), nameOf(model, 1), d.parameter, d.rowValue, d.firstValue);
}

QString CarryCheck::question(const FileListModel &model, const Difference &d)
{
    return line(model, d) + QStringLiteral("\r\n") + d.consequence + QStringLiteral("\r\n\r\n")
           + QStringLiteral("Would you like to join the files in your list anyway?");
}
