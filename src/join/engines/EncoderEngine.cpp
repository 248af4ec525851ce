// The encoder: a script copies the parts byte for byte into an intermediate
// file, a second runs MEncoder with stream copy to index it into the output.
// It keeps one sound track and no text stream and files chunks by stream number.
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "join/Engine.h"
#include "join/JoinRun.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "join/RepairScript.h"

#include <QDir>
#include <QFile>

namespace {

class EncoderJoin : public JoinRun
{
public:
    EncoderJoin(std::shared_ptr<RunSession> run, const JoinPlan &plan) : JoinRun(std::move(run), plan) {}

    void start() override
    {
        m_phase = Phase::Copying;
        m_run->start(RunFiles::firstScript());
        if (IsDebugLogActive()) {
            WriteDebugLog(QStringLiteral("BAT1 Launched."));
            WriteDebugLog(QStringLiteral("OutputFile=") + m_plan.output);
        }
    }

protected:
    QStringList partialFiles() const override { return {m_plan.output, temp()}; }

    void follow() override
    {
        if (!m_run->scriptEnded()) {
            watch();
            return;
        }
        if (m_run->held())
            QDir().rmdir(RunFiles::workFolder());
        const RunSession::End end = m_run->end();
        if (end.kind == RunSession::End::NotStarted)
            record(JoinOutcome::Verdict::failed(m_run->held() ? QStringLiteral("The join could not start: %1.").arg(end.failure())
                                                              : RunSession::busyMessage().section(u'\r', 0, 0),
                                                QStringLiteral("Script not started")));
        if (m_phase != Phase::Copying) {
            judgeOutput(m_plan.engine->reportIn(RunFiles::errorLogOf(RunFiles::secondScript())));
            finish();
            return;
        }
        if (!end.failure().isEmpty())
            record(JoinOutcome::Verdict::failed(QStringLiteral("The join stopped while copying: %1.").arg(end.failure()),
                                                QStringLiteral("Check1 script ended badly")));
        if (!failedSoFar())
            record(JoinOutcome::checkIntermediate(m_plan.parts, temp(), RunFiles::errorLogOf(RunFiles::firstScript())));
        if (failedSoFar()) {
            // The encoder would only turn a broken intermediate file into a broken output.
            QFile::remove(temp());
            finish();
            return;
        }
        m_phase = Phase::Indexing;
        m_value = 0;
        m_writtenText = QStringLiteral("0 KB");
        m_run->start(RunFiles::secondScript());
        watch();
    }

private:
    QString temp() const { return JoinScripts::tempFileFor(m_plan.output); }

    // Operation 1 watches the intermediate file grow, operation 2 the output;
    // until the encoder makes the output it is still scanning.
    void watch()
    {
        const bool copying = m_phase == Phase::Copying;
        measure(copying ? temp() : m_plan.output, true);
        if (!copying)
            m_phase = m_measured ? Phase::Writing : Phase::Indexing;
    }
};

class EncoderEngine : public Engine
{
public:
    QString settingName() const override { return QStringLiteral("Encoder"); }
    QString optionName() const override { return QStringLiteral("encoder"); }
    QString choiceText() const override { return QStringLiteral("The encoder (MEncoder): two passes, one sound track"); }
    QString offerText() const override { return QStringLiteral("Join with the encoder"); }
    // One sound track, by stream number, byte for byte. Its index rebuild reads the
    // key frames of MPEG-4 part 2 and DivX 3 pictures; every other frame it marks key.
    Carriage carriage() const override
    {
        return {.who = QStringLiteral("encoder"),
                .keepsKeyFrames = false,
                .keyFramesReadOf = QStringLiteral("XVID DIVX DX50 FMP4 DIV3 DIV4 MP43 MP42").split(u' ')};
    }
    int copiesNeeded() const override { return 2; } // the intermediate file, then the output
    QStringList programs() const override { return {RunFiles::shippedEncoder(), RunFiles::interpreter()}; }
    QString workFileFor(const QString &output) const override { return JoinScripts::tempFileFor(output); }

    int rowItCannotTake(const QStringList &paths) const override
    {
        for (int i = 0; i < paths.size(); ++i)
            if (!PathRules::canCarryInScript(paths[i]))
                return i + 1;
        return 0;
    }

    Result prepareJoin(RunSession &run, const QStringList &inputs, const QString &output) const override
    {
        return WriteJoinScripts(run, inputs, output);
    }

    std::unique_ptr<JoinRun> newJoin(std::shared_ptr<RunSession> run, const JoinPlan &plan) const override
    {
        return std::make_unique<EncoderJoin>(std::move(run), plan);
    }

    Result prepareRepair(RunSession &run, const QString &input, const QString &output) const override
    {
        return run.prepare({{RunFiles::secondScript(), RepairScript::text(AppPaths::applicationSettingsPath(), input, output)}});
    }

    void startRepair(RunSession &run, const QString &, const QString &) const override { run.start(RunFiles::secondScript()); }

    double repairProgress(RunSession &, const QString &output) const override
    {
        return FileSystem::pathExists(output) ? static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(output))) : -1;
    }

    QString repairLog() const override { return RunFiles::errorLogOf(RunFiles::secondScript()); }

    // The interpreter's dialect: "error N" for a step that failed, "exit N" and
    // "signal N" for the program it ran (the encoder) when that ended badly.
    JoinOutcome::Writer reportIn(const QString &log) const override
    {
        JoinOutcome::Writer w;
        w.who = carriage().who;
        w.syncFrames = true; // MEncoder's own, where the sound runs ahead over minutes
        w.why = JoinOutcome::failureIn(log);
        if (const QString code = JoinOutcome::logLine(log, QStringLiteral("exit")).section(u' ', 0, 0); !code.isEmpty())
            w.ended = QStringLiteral("the encoder stopped with exit code %1").arg(code);
        else if (const QString signal = JoinOutcome::logLine(log, QStringLiteral("signal")).section(u' ', 0, 0); !signal.isEmpty())
            w.ended = QStringLiteral("the encoder was stopped (signal %1)").arg(signal);
        return w;
    }
};

} // namespace

namespace EngineList {
const Engine &encoder()
{
    static const EncoderEngine engine;
    return engine;
}
} // namespace EngineList
