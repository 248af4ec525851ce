#pragma once
#include "join/RunStatus.h"

#include <QString>
#include <functional>
#include <memory>
class Engine;
class RunSession;

// A repair under way: one script runs the encoder on the input into
// "<input>.fixed.avi" (or Tapeweld's own writer walks the input's chunks and
// indexes them anew, every stream kept). Advanced by tick() (once a second in
// the window), it ends in one RunStatus; the repair window and the command
// line show it.
class RepairRun
{
public:
    enum class Phase {
        Starting,
        Indexing, // the encoder scans the input; no output yet
        Writing,  // the output grows
        Ended
    };
    // run holds the per-user lock; the run releases it when it ends, leaving the
    // encoder copy for the window's Close (RunSession::removeLeftovers).
    // output: "<input>.fixed.avi" unless another is given.
    RepairRun(std::unique_ptr<RunSession> run, const QString &input, const Engine &engine, const QString &output = QString());
    ~RepairRun();
    RepairRun(const RepairRun &) = delete;
    RepairRun &operator=(const RepairRun &) = delete;

    // An existing output removed (the user was asked), the encoder copied, the
    // script written and started; a step that fails ends the run at once with
    // its reason. A run that fails leaves no output.
    void start();
    void tick();
    // A follower's pause between ticks: at most ms, over as soon as the running child ends.
    void pause(int ms) const;
    void cancel(const std::function<void()> &whileWaiting);

    Phase phase() const { return m_phase; }
    const RunStatus &status() const { return m_status; }
    QString input() const { return m_input; }
    QString output() const;
    double maximum() const { return m_max; }
    double progress() const { return m_value; }
    int percent() const;

private:
    void finish();

    std::unique_ptr<RunSession> m_run;
    QString m_input;
    const Engine &m_engine;
    QString m_output;
    double m_max = 0, m_value = 0;
    Phase m_phase = Phase::Starting;
    bool m_cancelled = false;
    QString m_failure; // a failed start
    RunStatus m_status;
};
