#include "WriterProtocol.h"

#include <QFile>

namespace {
const QString kSeam = QStringLiteral("--seam");
const QString kRepair = QStringLiteral("--repair");

// "2:25:1.5,0": the row, its empty frames, the seconds of silence per sound track.
QString seamText(const SyncPlan::Seam &seam)
{
    QStringList silence;
    for (const double s : seam.silence)
        silence << QString::number(s, 'g', 17);
    return QString::number(seam.row) + u':' + QString::number(seam.dropFrames) + u':' + silence.join(u',');
}

bool readSeam(const QString &text, SyncPlan::Seam *seam)
{
    const QStringList fields = text.split(u':');
    if (fields.size() != 3)
        return false;
    bool ok[2] = {};
    seam->row = fields[0].toInt(&ok[0]);
    seam->dropFrames = fields[1].toLongLong(&ok[1]);
    if (!ok[0] || !ok[1] || seam->row < 2 || seam->dropFrames < 0)
        return false;
    for (const QString &s : fields[2].split(u',', Qt::SkipEmptyParts)) {
        bool good = false;
        const double seconds = s.toDouble(&good);
        if (!good || !(seconds >= 0))
            return false;
        seam->silence << seconds;
    }
    return true;
}
} // namespace

QStringList WriterProtocol::joinArguments(const QString &output, const QStringList &parts, const QVector<SyncPlan::Seam> &seams)
{
    QStringList args;
    for (const SyncPlan::Seam &seam : seams) {
        bool fills = seam.dropFrames > 0;
        for (const double s : seam.silence)
            fills = fills || s > 0;
        if (fills)
            args << kSeam << seamText(seam);
    }
    return args << QStringLiteral("--") << output << parts;
}

QStringList WriterProtocol::repairArguments(const QString &output, const QString &input) { return {kRepair, QStringLiteral("--"), output, input}; }

WriterProtocol::Request WriterProtocol::parse(const QStringList &arguments)
{
    Request r;
    QStringList rest;
    bool options = true;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (options && a == QStringLiteral("--")) {
            options = false;
        } else if (options && a == kRepair) {
            r.repair = true;
        } else if (options && a == kSeam && i + 1 < arguments.size()) {
            SyncPlan::Seam seam;
            if (!readSeam(arguments[++i], &seam)) {
                r.error = QStringLiteral("a seam is no plan: ") + arguments[i];
                return r;
            }
            r.seams << seam;
        } else {
            rest << a;
        }
    }
    if (rest.size() < 2 || (r.repair && (rest.size() != 2 || !r.seams.isEmpty()))) {
        r.error = QStringLiteral("usage: tapeweld-join [--seam ROW:FRAMES:SECONDS,...]... OUTPUT PART... | --repair OUTPUT INPUT");
        return r;
    }
    r.output = rest.takeFirst();
    r.parts = rest;
    return r;
}

QByteArray WriterProtocol::copyLine(qint64 consumed) { return "copy " + QByteArray::number(consumed) + '\n'; }

QByteArray WriterProtocol::failureLine(const QString &reason)
{
    return "failed " + reason.toUtf8().replace('\n', ' ') + '\n';
}

WriterProtocol::News WriterProtocol::read(const QList<QByteArray> &lines)
{
    News news;
    for (const QByteArray &line : lines) {
        if (line.startsWith("copy "))
            news.copied = line.mid(5).toDouble();
        else if (line == "index")
            news.indexing = true;
    }
    return news;
}

QString WriterProtocol::failureIn(const QString &log)
{
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : f.read(1 << 20).split('\n'))
        if (line.startsWith("failed "))
            return QString::fromUtf8(line.mid(7)).trimmed();
    return QString();
}
