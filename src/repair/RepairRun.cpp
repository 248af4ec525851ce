#include "RepairRun.h"
#include "join/RepairScript.h"
#include "app/AppPaths.h"
#include "avi/AviFile.h"
#include "join/Engine.h"
#include "join/Engines.h"
#include "join/JoinOutcome.h"
#include "platform/ErrorText.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

RepairRun::RepairRun(std::unique_ptr<RunSession> run, const QString &input, const Engine &engine, const QString &output)
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
    if (const Result prepared = m_engine.prepareRepair(*m_run, m_input, m_output); !prepared.ok()) {
        m_failure = QStringLiteral("The repair could not start: %1.").arg(prepared.why());
        finish();
        return;
    }
    m_engine.startRepair(*m_run, m_input, m_output);
}

void RepairRun::pause(int ms) const { m_run->pause(ms); }

void RepairRun::tick()
{
    if (m_phase == Phase::Ended)
        return;
    const double done = m_engine.repairProgress(*m_run, output());
    if (!m_cancelled && m_run->stalled()) {
        m_run->cancel({output()}, {});
        m_failure = RunSession::stalledReason(m_engine.carriage().who) + QStringLiteral(" The unfinished repaired file was removed.");
        finish();
        return;
    }
    if (m_cancelled || m_run->scriptEnded()) {
        if (m_run->held())
            QDir().rmdir(RunFiles::workFolder());
        finish();
    } else if (FileSystem::pathExists(output())) {
        m_phase = Phase::Writing;
        if (done >= 0)
            m_value = done > m_max ? m_max : done;
    } else {
        m_phase = Phase::Indexing;
    }
}

void RepairRun::finish()
{
    m_phase = Phase::Ended;
    bool keep = false; // a failed output written to its end stays
    if (m_cancelled) {
        m_status = RunStatus::cancelled();
    } else if (!m_failure.isEmpty()) {
        m_status = RunStatus::failed(m_failure);
    } else {
        const RunSession::End end = m_run->end();
        JoinOutcome::Writer writer = m_engine.reportIn(m_engine.repairLog());
        // What the engine does not keep was asked about before the repair ran, and accepted.
        writer.keptSoundTracks = m_engine.carriage().everySoundTrack ? -1 : 1;
        writer.textDropped = !m_engine.carriage().text;
        const Avi::File headers = Avi::read(m_input, Avi::Detail::Headers);
        const int video = headers.firstOf(Avi::Kind::Video);
        writer.keyFramesAccepted = video >= 0 && m_engine.carriage().losesKeyFrames(headers.streams[video].compression);
        if (const Engine *keeper = Engines::keepingKeyFrames(m_engine))
            writer.keeper = keeper->carriage().who;
        if (end.kind == RunSession::End::NotStarted) {
            m_status = RunStatus::failed(QStringLiteral("The repair could not start: %1.").arg(end.failure()));
        } else {
            const JoinOutcome::Verdict verdict = JoinOutcome::checkRepair(m_input, output(), writer);
            // A child that ended badly made no whole file, whatever it left.
            const bool endedBadly = end.kind == RunSession::End::Signalled || end.kind == RunSession::End::Exited;
            m_status = !verdict.ok   ? RunStatus::failed(verdict.reason)
                       : endedBadly ? RunStatus::failed(ErrorText::sentence(QStringLiteral("The repair failed: ") + end.failure()))
                                    : RunStatus::finished(verdict.notes.join(u'\n'));
            keep = !verdict.ok && !verdict.cutShort && !endedBadly;
        }
    }
    // As a join's: a file cut short is no repaired file; one written to its end is the user's to look at.
    if (m_status.state == RunStatus::State::Failed && FileSystem::pathExists(output())) {
        if (keep)
            m_status.detail += QStringLiteral("\r\nThe repaired file was kept: %1").arg(output());
        else
            ::unlink(QFile::encodeName(output()).constData());
    }
    m_run->release();
}

void RepairRun::cancel(const std::function<void()> &whileWaiting)
{
    if (m_phase == Phase::Ended)
        return;
    m_run->cancel({output()}, whileWaiting);
    m_cancelled = true; // the next tick ends the run
}
