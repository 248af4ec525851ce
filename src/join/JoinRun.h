#pragma once
#include "JoinOutcome.h"
#include "JoinPlan.h"
#include "RunStatus.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
class ScriptRun;

// A join under way. With the encoder, operation 1 copies the parts into the
// intermediate file and operation 2 lets the encoder index it into the output;
// with the built-in writer, operation 1 writes the parts' chunks into the output
// and operation 2 its indexes. Advanced by tick(), followed through the file
// system, what the writer reports and how each child ended, and ended in one
// RunStatus. The wizard and the command line show it; neither decides.
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
    // run holds the per-user lock (without one the run tries to take it) and has
    // the scripts in place.
    JoinRun(std::shared_ptr<ScriptRun> run, const JoinPlan &plan);
    ~JoinRun();
    JoinRun(const JoinRun &) = delete;
    JoinRun &operator=(const JoinRun &) = delete;

    void start();
    void tick();
    // Ends the scripts and the encoder and removes the partial output and intermediate file.
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

private:
    void measure(const QString &watched);
    void tickWriter();
    JoinOutcome::Inserted inserted() const;
    void record(const JoinOutcome::Verdict &verdict);
    void finish();
    QVector<Avi::Summary> summaries() const;

    std::shared_ptr<ScriptRun> m_run;
    JoinPlan m_plan;
    double m_max = 0, m_value = 0;
    Phase m_phase = Phase::NotStarted;
    QString m_writtenText = QStringLiteral("0 KB");
    bool m_measured = false;
    JoinOutcome::Verdict m_verdict;
    RunStatus m_status;
};
