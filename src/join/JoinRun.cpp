#include "JoinRun.h"
#include "Engine.h"
#include "Engines.h"
#include "RunSession.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/TextFormats.h"
#include "platform/FileSystem.h"

JoinRun::JoinRun(std::shared_ptr<RunSession> run, const JoinPlan &plan) : m_run(std::move(run)), m_plan(plan), m_max(plan.totalBytes)
{
    if (!m_run) {
        m_run = std::make_shared<RunSession>(AppPaths::applicationSettingsPath());
        (void)m_run->acquire(); // a run without the lock ends at its start, saying so
    }
}

JoinRun::~JoinRun() = default;

std::unique_ptr<JoinRun> JoinRun::create(std::shared_ptr<RunSession> run, const JoinPlan &plan)
{
    return plan.engine->newJoin(std::move(run), plan);
}

QString JoinRun::caption(Phase phase)
{
    switch (phase) {
    case Phase::NotStarted:
    case Phase::Copying: return QStringLiteral("Operation 1 of 2");
    case Phase::Indexing: return QStringLiteral("Generating Index...(This may take a few minutes)");
    case Phase::Writing:
    case Phase::Ended: break;
    }
    return QStringLiteral("Operation 2 of 2");
}

void JoinRun::pause(int ms) const { m_run->pause(ms); }

void JoinRun::tick()
{
    if (m_phase == Phase::NotStarted || m_phase == Phase::Ended)
        return;
    m_measured = false;
    if (m_run->stalled()) {
        // Stopped, its work files gone; the output is the finishing step's to remove and say so.
        QStringList work = partialFiles();
        work.removeAll(m_plan.output);
        m_run->cancel(work, {});
        record(JoinOutcome::Verdict::failed(RunSession::stalledReason(m_plan.engine->carriage().who), QStringLiteral("Stalled")));
        finish();
        return;
    }
    follow();
}

void JoinRun::measure(const QString &watched, bool setProgress)
{
    m_measured = FileSystem::pathExists(watched);
    if (!m_measured)
        return;
    const double size = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(watched)));
    m_writtenText = TextFormats::kilobytesOfBytes(size);
    if (setProgress)
        m_value = std::min(size, m_max);
}

void JoinRun::record(const JoinOutcome::Verdict &verdict)
{
    if (IsDebugLogActive() && !verdict.log.isEmpty())
        WriteDebugLog(verdict.log + (verdict.ok ? QStringLiteral(": good") : QStringLiteral(": ") + verdict.reason));
    if (m_verdict.ok)
        m_verdict = verdict;
}

void JoinRun::judgeOutput(JoinOutcome::Writer report)
{
    if (!m_verdict.ok)
        return;
    report.inserted = JoinOutcome::Inserted::by(m_plan.seams);
    report.keptSoundTracks = m_plan.keptSoundTracks;
    report.textDropped = m_plan.textDropped;
    report.keyFramesAccepted = m_plan.keyFramesAccepted;
    if (const Engine *keeper = Engines::keepingKeyFrames(*m_plan.engine))
        report.keeper = keeper->carriage().who;
    record(JoinOutcome::checkOutput(m_plan.parts, m_plan.output, report));
}

void JoinRun::finish()
{
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Operation2 Size=") + m_writtenText);
    const bool outputExists = FileSystem::pathExists(m_plan.output);
    if (outputExists)
        m_writtenText = TextFormats::kilobytesOfBytes(static_cast<double>(FileSystem::fileSize(m_plan.output)));
    // The seams whose sound moved, which the question named, are named again.
    const QStringList shifts = SyncPlan::shiftLines(m_plan.seams);
    if (m_verdict.ok && outputExists) {
        m_status = RunStatus::finished((shifts + SyncPlan::fillLines(m_plan.seams) + leftOut() + m_verdict.notes).join(u'\n'));
    } else {
        QString why = !m_verdict.reason.isEmpty() ? m_verdict.reason
                                                  : QStringLiteral("The %1 wrote no output file.").arg(m_plan.engine->carriage().who);
        // Written whole but harmed after a question the user went on past: the harm is what the question named,
        // whatever symptom the output shows of it.
        if (!m_verdict.ok && !m_verdict.cutShort && !m_plan.acceptedCauses.isEmpty())
            why = QStringLiteral("The output suffers what the question named: ") + m_plan.acceptedCauses.join(u' ');
        m_status = RunStatus::failed((QStringList{why} + shifts + disposeOfOutput()).join(u'\n'));
    }
    if (m_status.state == RunStatus::State::Failed && IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Failed: ") + m_status.detail);
    m_value = m_max;
    m_phase = Phase::Ended;
}

QStringList JoinRun::leftOut() const
{
    // The output has row 1's streams: what a part has beyond them has no place in it.
    QStringList lines;
    const Avi::Summary &first = m_plan.parts.isEmpty() ? Avi::Summary() : m_plan.parts.first().avi;
    for (int p = 1; p < m_plan.parts.size(); ++p) {
        const Avi::Summary &part = m_plan.parts[p].avi;
        if (!part.isAvi())
            continue;
        const int extra = part.countOf(Avi::Kind::Audio) - first.countOf(Avi::Kind::Audio);
        if (extra > 0)
            lines << QStringLiteral("Part %1's last %2 left out: the output has the sound tracks of part 1.")
                         .arg(p + 1)
                         .arg(extra == 1 ? QStringLiteral("sound track was") : QStringLiteral("%1 sound tracks were").arg(extra));
    }
    return lines;
}

QStringList JoinRun::disposeOfOutput()
{
    if (!FileSystem::pathExists(m_plan.output))
        return {};
    // Written to its end, it is the user's to look at; cut short, it is no file to keep.
    if (!m_verdict.cutShort)
        return {QStringLiteral("The output was kept: %1").arg(m_plan.output)};
    if (!RunSession::removeWithin({m_plan.output}, RunSession::kCancelWaitMs, {}))
        return {QStringLiteral("The unfinished output could not be removed: %1").arg(m_plan.output)};
    m_writtenText = QStringLiteral("0 KB");
    return {QStringLiteral("The unfinished output was removed.")};
}

void JoinRun::cancel(const std::function<void()> &whileWaiting)
{
    if (m_phase == Phase::Ended)
        return;
    m_run->cancel(partialFiles(), whileWaiting);
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Operation2 Size=") + m_writtenText);
    m_status = RunStatus::cancelled();
    m_writtenText = QStringLiteral("[Cancelled]");
    m_value = m_max;
    m_phase = Phase::Ended;
}

void JoinRun::close() { m_run->close(); }
