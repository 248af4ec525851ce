#include "JoinRun.h"
#include "JoinScripts.h"
#include "RunFiles.h"
#include "ScriptRun.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/TextFormats.h"
#include "compat/SyncPlan.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>

namespace {
QString kilobytes(double bytes) { return TextFormats::groupedOrEmpty(bytes / 1024) + QStringLiteral(" KB"); }
} // namespace

JoinRun::JoinRun(std::shared_ptr<ScriptRun> run, const JoinPlan &plan) : m_run(std::move(run)), m_plan(plan), m_max(plan.totalBytes)
{
    if (!m_run) {
        m_run = std::make_shared<ScriptRun>(AppPaths::applicationSettingsPath());
        (void)m_run->acquire(); // a run without the lock ends at its start, saying so
    }
}

JoinRun::~JoinRun() = default;

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

void JoinRun::start()
{
    m_phase = Phase::Copying;
    if (m_plan.engine == JoinEngine::Builtin) {
        m_run->startProgram(QStringList{RunFiles::writer(), m_plan.output} + m_plan.inputs(), RunFiles::writerLog());
        if (IsDebugLogActive())
            WriteDebugLog(QStringLiteral("Writer Launched."));
    } else {
        m_run->start(RunFiles::firstScript());
        if (IsDebugLogActive())
            WriteDebugLog(QStringLiteral("BAT1 Launched."));
    }
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("OutputFile=") + m_plan.output);
}

JoinOutcome::Inserted JoinRun::inserted() const
{
    // What the writer put in to keep sound and picture in step: the plan it followed.
    JoinOutcome::Inserted in;
    for (const SyncPlan::Seam &seam : SyncPlan::plan(summaries(), true)) {
        in.dropFrames += seam.dropFrames;
        in.silenceSeconds.resize(std::max(in.silenceSeconds.size(), seam.silence.size()));
        for (int t = 0; t < seam.silence.size(); ++t)
            in.silenceSeconds[t] += seam.silence[t];
    }
    return in;
}

void JoinRun::tickWriter()
{
    const Phase before = m_phase;
    const ScriptRun::WriterNews news = m_run->readWriterNews();
    if (news.copied >= 0)
        m_value = std::min(m_max, news.copied);
    if (news.indexing)
        m_phase = Phase::Indexing;
    m_measured = FileSystem::pathExists(m_plan.output);
    if (m_measured)
        m_writtenText = kilobytes(static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(m_plan.output))));
    // Each operation is shown for a tick at least, however fast the writer is.
    if (m_phase != before || !m_run->scriptEnded())
        return;
    const ScriptRun::End end = m_run->end();
    if (end.kind == ScriptRun::End::NotStarted)
        record(JoinOutcome::Verdict::failed(QStringLiteral("The join could not start: its writer tapeweld-join could not be run."),
                                            QStringLiteral("Writer not started")));
    else if (end.kind == ScriptRun::End::Signalled)
        record(JoinOutcome::Verdict::failed(QStringLiteral("The writer was stopped (signal %1).").arg(end.code), QStringLiteral("Writer killed")));
    else if (const QString why = JoinOutcome::failureIn(RunFiles::writerLog()); !why.isEmpty())
        record(JoinOutcome::Verdict::failed(ErrorText::sentence(QStringLiteral("The join failed: ") + why), QStringLiteral("Writer failed")));
    if (m_verdict.ok)
        record(JoinOutcome::checkOutput(m_plan.parts, m_plan.output, RunFiles::writerLog(), inserted()));
    finish();
}

void JoinRun::record(const JoinOutcome::Verdict &verdict)
{
    if (IsDebugLogActive() && !verdict.log.isEmpty())
        WriteDebugLog(verdict.log + (verdict.ok ? QStringLiteral(": good") : QStringLiteral(": ") + verdict.reason));
    if (m_verdict.ok)
        m_verdict = verdict;
}

void JoinRun::tick()
{
    if (m_phase == Phase::NotStarted || m_phase == Phase::Ended)
        return;
    m_measured = false;
    if (m_plan.engine == JoinEngine::Builtin) {
        tickWriter();
        return;
    }
    const bool ended = m_run->scriptEnded();
    const QString temp = JoinScripts::tempFileFor(m_plan.output);
    if (!ended) {
        measure(m_phase == Phase::Copying ? temp : m_plan.output);
        return;
    }
    if (m_run->held())
        QDir().rmdir(RunFiles::workFolder());
    const ScriptRun::End end = m_run->end();
    if (end.kind == ScriptRun::End::NotStarted)
        record(JoinOutcome::Verdict::failed(m_run->held() ? QStringLiteral("The join could not start: the interpreter tapeweld-cmd could not be run.")
                                                          : ScriptRun::busyMessage().section(u'\r', 0, 0),
                                            QStringLiteral("Script not started")));
    if (m_phase != Phase::Copying) {
        if (m_verdict.ok)
            record(JoinOutcome::checkOutput(m_plan.parts, m_plan.output, RunFiles::errorLogOf(RunFiles::secondScript())));
        finish();
        return;
    }
    if (m_verdict.ok && !end.failure().isEmpty())
        record(JoinOutcome::Verdict::failed(QStringLiteral("The join stopped while copying: %1.").arg(end.failure()),
                                            QStringLiteral("Check1 script ended badly")));
    if (m_verdict.ok)
        record(JoinOutcome::checkIntermediate(m_plan.parts, temp, RunFiles::errorLogOf(RunFiles::firstScript())));
    if (!m_verdict.ok) {
        // The encoder would only turn a broken intermediate file into a broken output.
        QFile::remove(temp);
        finish();
        return;
    }
    m_phase = Phase::Indexing;
    m_value = 0;
    m_writtenText = QStringLiteral("0 KB");
    m_run->start(RunFiles::secondScript());
    measure(m_plan.output);
}

void JoinRun::measure(const QString &watched)
{
    m_measured = FileSystem::pathExists(watched);
    if (!m_measured) {
        if (m_phase != Phase::Copying)
            m_phase = Phase::Indexing; // the encoder is still scanning and has not made the output yet
        return;
    }
    const double size = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(watched)));
    m_writtenText = kilobytes(size);
    if (m_phase != Phase::Copying)
        m_phase = Phase::Writing;
    m_value = size > m_max ? m_max : size;
}

QVector<Avi::Summary> JoinRun::summaries() const
{
    QVector<Avi::Summary> rows;
    for (const JoinOutcome::Part &p : m_plan.parts)
        rows << p.avi;
    return rows;
}

void JoinRun::finish()
{
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Operation2 Size=") + m_writtenText);
    const bool outputExists = FileSystem::pathExists(m_plan.output);
    if (outputExists)
        m_writtenText = kilobytes(static_cast<double>(FileSystem::fileSize(m_plan.output)));
    if (m_verdict.ok && outputExists) {
        // Joined after the question: the seams whose sound moved are named.
        const QStringList notes = SyncPlan::shiftLines(SyncPlan::plan(summaries(), m_plan.engine == JoinEngine::Builtin)) + m_verdict.notes;
        m_status = RunStatus::finished(notes.join(u'\n'));
    } else {
        const QStringList shifts = SyncPlan::shiftLines(SyncPlan::plan(summaries(), m_plan.engine == JoinEngine::Builtin));
        const QString why = !m_verdict.reason.isEmpty()                  ? m_verdict.reason
                            : m_plan.engine == JoinEngine::Builtin ? QStringLiteral("The writer wrote no output file.")
                                                                   : QStringLiteral("The encoder wrote no output file.");
        m_status = RunStatus::failed((QStringList{why} + shifts).join(u'\n'));
    }
    if (m_status.state == RunStatus::State::Failed && IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Failed: ") + m_status.detail);
    m_value = m_max;
    m_phase = Phase::Ended;
}

void JoinRun::cancel(const std::function<void()> &whileWaiting)
{
    if (m_phase == Phase::Ended)
        return;
    m_run->cancel({m_plan.output, JoinScripts::tempFileFor(m_plan.output)}, whileWaiting);
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Operation2 Size=") + m_writtenText);
    m_status = RunStatus::cancelled();
    m_writtenText = QStringLiteral("[Cancelled]");
    m_value = m_max;
    m_phase = Phase::Ended;
}

void JoinRun::close() { m_run->close(); }
