#include "RepairRun.h"
#include "RepairScript.h"
#include "app/AppPaths.h"
#include "join/JoinOutcome.h"
#include "join/RunFiles.h"
#include "join/ScriptRun.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

RepairRun::RepairRun(std::unique_ptr<ScriptRun> run, const QString &input, JoinEngine engine, const QString &output)
    : m_run(std::move(run)), m_input(input), m_engine(engine), m_output(output.isEmpty() ? RepairScript::outputFor(input) : output)
{
    // An empty input still runs; its progress simply stays at 0 %.
    m_max = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(input)));
}

RepairRun::~RepairRun() = default;

QString RepairRun::output() const { return m_output; }

int RepairRun::percent() const { return RepairScript::percent(m_value, m_max); }

void RepairRun::start()
{
    // An existing output was asked about before: the encoder writes a new one (a link goes, not its target).
    ::unlink(QFile::encodeName(output()).constData());
    const bool builtin = m_engine == JoinEngine::Builtin;
    const Result prepared =
        builtin ? m_run->prepare({}) : m_run->prepare({{RunFiles::secondScript(), RepairScript::text(AppPaths::applicationSettingsPath(), m_input, m_output)}});
    if (!prepared.ok()) {
        m_failure = QStringLiteral("The repair could not start: %1.").arg(prepared.why());
        finish();
        return;
    }
    if (builtin)
        m_run->startProgram({RunFiles::writer(), QStringLiteral("--repair"), output(), m_input}, RunFiles::writerLog());
    else
        m_run->start(RunFiles::secondScript());
}

QString RepairRun::errorLog() const
{
    return m_engine == JoinEngine::Builtin ? RunFiles::writerLog() : RunFiles::errorLogOf(RunFiles::secondScript());
}

void RepairRun::tick()
{
    if (m_phase == Phase::Ended)
        return;
    // The writer's own count: the output also holds its indexes.
    const double written = m_run->readWriterNews().copied;
    if (m_cancelled || m_run->scriptEnded()) {
        if (m_run->held())
            QDir().rmdir(RunFiles::workFolder());
        finish();
    } else if (FileSystem::pathExists(output())) {
        m_phase = Phase::Writing;
        const double size = written >= 0 ? written : static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(output())));
        if (written >= 0 || m_engine == JoinEngine::Encoder)
            m_value = size > m_max ? m_max : size;
    } else {
        m_phase = Phase::Indexing;
    }
}

void RepairRun::finish()
{
    m_phase = Phase::Ended;
    if (m_cancelled) {
        m_status = RunStatus::cancelled();
    } else if (!m_failure.isEmpty()) {
        m_status = RunStatus::failed(m_failure);
    } else {
        if (m_run->end().kind == ScriptRun::End::NotStarted)
            m_status = RunStatus::failed(QStringLiteral("The repair could not start: %1.").arg(m_run->end().failure()));
        else {
            const JoinOutcome::Verdict verdict = JoinOutcome::checkRepair(m_input, output(), errorLog());
            m_status = verdict.ok ? RunStatus::finished(verdict.notes.join(u'\n')) : RunStatus::failed(verdict.reason);
        }
    }
    if (m_status.state == RunStatus::State::Failed)
        ::unlink(QFile::encodeName(output()).constData()); // a partial output is no repaired file
    m_run->release();
}

void RepairRun::cancel(const std::function<void()> &whileWaiting)
{
    if (m_phase == Phase::Ended)
        return;
    m_run->cancel({output()}, whileWaiting);
    m_cancelled = true; // the next tick ends the run
}
