// Tapeweld's own writer (tapeweld-join, join/AviJoiner): one pass, every stream
// kept and filed by kind, seams filled by the join's plan, no intermediate file.
#include "app/DebugLog.h"
#include "join/AviJoiner.h"
#include "join/Engine.h"
#include "join/JoinRun.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "join/WriterProtocol.h"
#include "platform/ErrorText.h"
#include "platform/ExtentSharing.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>

namespace {

const QString kWriter = QStringLiteral("the writer tapeweld-join");

class WriterJoin : public JoinRun
{
public:
    WriterJoin(std::shared_ptr<RunSession> run, const JoinPlan &plan) : JoinRun(std::move(run), plan) {}

    void start() override
    {
        m_phase = Phase::Copying;
        m_run->startProgram(QStringList{RunFiles::writer()} + WriterProtocol::joinArguments(m_plan.output, m_plan.inputs(), m_plan.seams),
                            RunFiles::writerLog(), kWriter);
        if (IsDebugLogActive()) {
            WriteDebugLog(QStringLiteral("Writer Launched."));
            WriteDebugLog(QStringLiteral("OutputFile=") + m_plan.output);
        }
    }

protected:
    QStringList partialFiles() const override { return {m_plan.output}; }

    void follow() override
    {
        const Phase before = m_phase;
        const WriterProtocol::News news = WriterProtocol::read(m_run->readLines());
        if (news.copied >= 0)
            m_value = std::min(m_max, news.copied);
        if (news.indexing)
            m_phase = Phase::Indexing;
        measure(m_plan.output, false);
        // Each operation is shown for a tick at least, however fast the writer is.
        if (m_phase != before || !m_run->scriptEnded())
            return;
        const RunSession::End end = m_run->end();
        const JoinOutcome::Writer report = m_plan.engine->reportIn(RunFiles::writerLog());
        const QString &why = report.why;
        if (end.kind == RunSession::End::NotStarted)
            record(JoinOutcome::Verdict::failed(QStringLiteral("The join could not start: %1.").arg(end.failure()), QStringLiteral("Writer not started")));
        else if (end.kind == RunSession::End::Signalled)
            record(JoinOutcome::Verdict::failed(QStringLiteral("The writer was stopped (signal %1).").arg(end.code), QStringLiteral("Writer killed")));
        else if (!why.isEmpty() || end.kind == RunSession::End::Exited)
            record(JoinOutcome::Verdict::failed(ErrorText::sentence(QStringLiteral("The join failed: ") + (why.isEmpty() ? end.failure() : why)),
                                                QStringLiteral("Writer failed")));
        judgeOutput(report);
        finish();
    }
};

class WriterEngine : public Engine
{
public:
    QString settingName() const override { return QStringLiteral("Builtin"); }
    QString optionName() const override { return QStringLiteral("builtin"); }
    QString choiceText() const override { return QStringLiteral("Tapeweld's own writer: one pass, every stream kept in step"); }
    QString offerText() const override { return QStringLiteral("Join with Tapeweld's writer"); }
    Carriage carriage() const override
    {
        return {.who = QStringLiteral("writer"), .everySoundTrack = true, .text = true, .filesByKind = true, .fillsSeams = true,
                .readsPartsApart = true, .retimesSound = true, .keepsKeyFrames = true, .keyFramesReadOf = {}};
    }
    int copiesNeeded() const override { return 1; }
    // Where the output's file system shares the parts' blocks, only what is
    // copied: a few blocks about each run of chunks, the headers and the indexes.
    double kilobytesNeeded(double kilobytes, const JoinPlan &plan, const QString &output) const override
    {
        QString folder = FileSystem::folderPart(output);
        if (folder.isEmpty())
            folder = QStringLiteral(".");
        const qint64 block = plan.parts.isEmpty() ? 0 : ExtentSharing::blockSizeIn(plan.parts.first().path, folder);
        if (block <= 0)
            return Engine::kilobytesNeeded(kilobytes, plan, output);
        struct stat there;
        if (::stat(QFile::encodeName(folder).constData(), &there) != 0)
            return Engine::kilobytesNeeded(kilobytes, plan, output);
        double bytes = 0;
        for (int row = 1; row <= plan.parts.size(); ++row) {
            const JoinOutcome::Part &part = plan.parts[row - 1];
            // A part with fills laid among its last chunks copies them one by one: counted whole, as one on another file system.
            const bool filled = std::any_of(plan.seams.begin(), plan.seams.end(), [row](const SyncPlan::Seam &s) {
                return s.row == row + 1 && (s.dropFrames > 0 || std::any_of(s.silence.begin(), s.silence.end(), [](double x) { return x > 0; }));
            });
            struct stat st;
            if (filled || ::stat(QFile::encodeName(part.path).constData(), &st) != 0 || st.st_dev != there.st_dev) {
                bytes += static_cast<double>(part.size);
                continue;
            }
            qint64 chunks = 0;
            for (const Avi::StreamSummary &s : part.avi.streams)
                chunks += s.chunks;
            // Each run's head, tail and gap, its index entries, the part's headers.
            bytes += static_cast<double>((part.size / AviJoiner::kLongestRun + 1) * 3 * block) + 24.0 * static_cast<double>(chunks) + 65536;
        }
        return std::min(kilobytes, bytes / 1024);
    }
    QStringList programs() const override { return {RunFiles::writer()}; }

    Result prepareJoin(RunSession &run, const QStringList &, const QString &) const override { return run.prepare({}); }

    std::unique_ptr<JoinRun> newJoin(std::shared_ptr<RunSession> run, const JoinPlan &plan) const override
    {
        return std::make_unique<WriterJoin>(std::move(run), plan);
    }

    Result prepareRepair(RunSession &run, const QString &, const QString &) const override { return run.prepare({}); }

    void startRepair(RunSession &run, const QString &input, const QString &output) const override
    {
        run.startProgram(QStringList{RunFiles::writer()} + WriterProtocol::repairArguments(output, input), RunFiles::writerLog(), kWriter);
    }

    // Its own count: the output also holds its indexes.
    double repairProgress(RunSession &run, const QString &) const override { return WriterProtocol::read(run.readLines()).copied; }

    QString repairLog() const override { return RunFiles::writerLog(); }

    JoinOutcome::Writer reportIn(const QString &log) const override
    {
        JoinOutcome::Writer w;
        w.who = carriage().who;
        w.why = WriterProtocol::failureIn(log);
        return w;
    }
};

} // namespace

namespace EngineList {
const Engine &writer()
{
    static const WriterEngine engine;
    return engine;
}
} // namespace EngineList
