#pragma once
#include "JoinOutcome.h"
#include "JoinPlan.h"
#include "RunStatus.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
class RunSession;

// A join under way, as every engine's join is followed: operation 1 and 2,
// what was written, and one RunStatus at the end. Its engine makes it
// (Engine::newJoin) and says what each operation is and how it ended; the wizard
// and the command line only show it.
class JoinRun
{
public:
    enum class Phase {
        NotStarted,
        Copying,  // operation 1: the intermediate file (or the output) grows
        Indexing, // operation 2, nothing to measure: the encoder scans, or the writer writes the indexes
        Writing,  // operation 2: the encoder's output grows
        Ended
    };
    // The plan's engine's join. run holds the per-user lock (without one, the
    // run tries to take it) and has the engine's files in place.
    static std::unique_ptr<JoinRun> create(std::shared_ptr<RunSession> run, const JoinPlan &plan);
    virtual ~JoinRun();
    JoinRun(const JoinRun &) = delete;
    JoinRun &operator=(const JoinRun &) = delete;

    virtual void start() = 0;
    void tick();
    // A follower's pause between ticks: at most ms, over as soon as the running child ends.
    void pause(int ms) const;
    // Ends what runs and removes the partial output and work files.
    void cancel(const std::function<void()> &whileWaiting);
    // The clean-up after the end: work files removed, the lock released.
    void close();

    Phase phase() const { return m_phase; }
    // The operation line the wizard and the command line show for a phase.
    static QString caption(Phase phase);
    const RunStatus &status() const { return m_status; }
    QString output() const { return m_plan.output; }
    double maximum() const { return m_max; }
    double progress() const { return m_value; }
    // The size written, as the wizard shows it ("1,234 KB"; "[Cancelled]" after a cancel).
    QString writtenText() const { return m_writtenText; }
    // The last tick measured the file being written (it exists).
    bool measured() const { return m_measured; }

protected:
    JoinRun(std::shared_ptr<RunSession> run, const JoinPlan &plan);
    // One look at a run that has not ended: the engine follows its own work.
    virtual void follow() = 0;
    // What a cancel removes.
    virtual QStringList partialFiles() const = 0;

    // The size of the file being written shown, and the progress set to it
    // (capped at the maximum) when setProgress.
    void measure(const QString &watched, bool setProgress);
    // The first failure is the one told.
    void record(const JoinOutcome::Verdict &verdict);
    // The output judged against the plan, with what the engine's log says of the run (Engine::reportIn).
    void judgeOutput(JoinOutcome::Writer report);
    bool failedSoFar() const { return !m_verdict.ok; }
    void finish();
    // A failed join's output: removed when it was cut short, kept (and named) when whole; the line that says which.
    QStringList disposeOfOutput();
    // The sound tracks of parts that the output has no place for, one line a part.
    QStringList leftOut() const;

    std::shared_ptr<RunSession> m_run;
    JoinPlan m_plan;
    double m_max = 0, m_value = 0;
    Phase m_phase = Phase::NotStarted;
    QString m_writtenText = QStringLiteral("0 KB");
    bool m_measured = false;

private:
    JoinOutcome::Verdict m_verdict;
    RunStatus m_status;
};
