#include "JoinOutcome.h"
#include "list/AviRiff.h"
#include "list/ProbeListItem.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QLocale>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
QString number(qint64 n) { return QLocale().toString(n); }
QString kilobytes(qint64 bytes) { return number((bytes + 1023) / 1024) + QStringLiteral(" KB"); }

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

// The first line of the interpreter's error log ("error N what", "exit N",
// "signal N") whose first word is one of kinds: that word and the number.
struct LogEntry
{
    QString kind, number;
};
LogEntry firstEntry(const QString &errorLog, const QStringList &kinds)
{
    QFile f(errorLog);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QString &line : QString::fromUtf8(f.read(1 << 20)).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList w = line.split(u' ');
        if (w.size() >= 2 && kinds.contains(w[0]))
            return {w[0], w[1]};
    }
    return {};
}

// How the encoder ended, when it did not end well.
QString encoderEnd(const QString &errorLog)
{
    const LogEntry e = firstEntry(errorLog, {QStringLiteral("exit"), QStringLiteral("signal")});
    if (e.kind == QStringLiteral("exit"))
        return QStringLiteral("the encoder stopped with exit code %1").arg(e.number);
    if (e.kind == QStringLiteral("signal"))
        return QStringLiteral("the encoder was stopped (signal %1)").arg(e.number);
    return QString();
}

// "Why: what is held." as one sentence; the why may be empty.
QString because(const QString &why, const QString &held)
{
    return ErrorText::sentence(why.isEmpty() ? held : why + QStringLiteral(": ") + held);
}

JoinOutcome::Verdict rowUnreadable(int row, const QString &why, const QString &path)
{
    return {false, QStringLiteral("Row %1 could not be read (%2): %3").arg(row).arg(why, path), QString()};
}

JoinOutcome::Verdict noOutput(const QString &errorLog)
{
    const QString ended = encoderEnd(errorLog);
    return {false, ErrorText::sentence(QStringLiteral("The encoder wrote no output") + (ended.isEmpty() ? QString() : QStringLiteral(": ") + ended)),
            QStringLiteral("Check2 no output")};
}

// A media result is whole when its RIFF chain ends at the end of the file and
// it holds at least the frames expected (-1: not known).
JoinOutcome::Verdict judge(const QString &result, qint64 expected, const QString &noun, const QString &errorLog, bool diskMayBeFull)
{
    JoinOutcome::Verdict r;
    const qint64 actual = AviRiff::videoFrames(result);
    const AviRiff::Chain chain = AviRiff::walk(result);
    const bool whole = chain.avi && chain.difference() == 0;
    r.log = QStringLiteral("Check2 frames=%1 expected=%2 whole=%3").arg(actual).arg(expected).arg(whole);
    if (whole && (expected < 0 || actual >= expected))
        return r;
    r.ok = false;
    QString why = JoinOutcome::failureIn(errorLog);
    if (why.isEmpty() && diskMayBeFull && FileSystem::freeBytes(result) < 1024 * 1024)
        why = ErrorText::of(ENOSPC);
    if (why.isEmpty())
        why = encoderEnd(errorLog);
    r.reason = because(why, expected >= 0 ? QStringLiteral("the %1 holds %2 of %3 frames").arg(noun, number(qMax<qint64>(0, actual)), number(expected))
                                          : QStringLiteral("the %1 is incomplete").arg(noun));
    return r;
}
} // namespace

QString JoinOutcome::failureIn(const QString &errorLog)
{
    bool ok = false;
    const int error = firstEntry(errorLog, {QStringLiteral("error")}).number.toInt(&ok);
    return ok ? ErrorText::of(error) : QString();
}

QVector<JoinOutcome::Part> JoinOutcome::partsOf(const QStringList &paths)
{
    QVector<Part> parts;
    for (const QString &p : paths) {
        struct stat st;
        const bool ok = ::stat(QFile::encodeName(p).constData(), &st) == 0 && S_ISREG(st.st_mode);
        parts.append({p, ok ? static_cast<qint64>(st.st_size) : -1});
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

qint64 JoinOutcome::expectedFrames(const Part &part)
{
    return part.frames >= 0 ? part.frames : AviRiff::videoFrames(part.path);
}

qint64 JoinOutcome::expectedFrames(const QString &path)
{
    return expectedFrames(Part{path, -1, MediaProbe::readStreams(path).frameCount});
}

JoinOutcome::Verdict JoinOutcome::checkOutput(const QVector<Part> &parts, const QString &output, const QString &errorLog)
{
    qint64 size = 0;
    if (!regularFile(output, &size) || size == 0)
        return noOutput(errorLog);
    qint64 expected = 0;
    for (const Part &p : parts) {
        const qint64 n = expectedFrames(p);
        if (n < 0) {
            expected = -1;
            break;
        }
        expected += n;
    }
    return judge(output, expected, QStringLiteral("output"), errorLog, true);
}

JoinOutcome::Verdict JoinOutcome::checkRepair(const QString &input, const QString &output, const QString &errorLog)
{
    qint64 size = 0;
    if (!regularFile(output, &size) || size == 0)
        return noOutput(errorLog);
    // A damaged file's own count may promise frames it no longer holds: its whole chunks are what can be saved.
    return judge(output, AviRiff::videoFrames(input), QStringLiteral("repaired file"), errorLog, false);
}
