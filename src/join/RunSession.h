#pragma once
#include "platform/Processes.h"
#include "platform/Result.h"
#include "platform/RunLock.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One script of a run, as it is written.
struct ScriptFile
{
    QString path;
    QByteArray content;
};

// One join or repair of this program: holds the per-user run lock, writes and
// starts its scripts, and ends only the processes it started itself. Every way
// a script can end (removing the work folder, an exit code, a signal, a failed
// start, a cancel) is told by end().
class RunSession
{
public:
    explicit RunSession(const QString &settingsPath);
    ~RunSession(); // ends a script still running, then releases the lock
    RunSession(const RunSession &) = delete;
    RunSession &operator=(const RunSession &) = delete;

    [[nodiscard]] bool acquire(); // false: another join or repair of this user runs
    bool held() const { return m_lock.held(); }

    // Puts a run in place, every step checked: the scripts and logs of an earlier
    // run removed first (a stale script must never run), the encoder copied, and
    // each script written as a new file. Needs the lock.
    Result prepare(const QList<ScriptFile> &scripts);

    // Makes the work folder and starts the script hidden, its errors written to
    // its log; one that cannot start has ended at once (end() says so).
    void start(const QString &script);
    // Starts a program of the run the same way; what names it in a failure
    // ("the writer tapeweld-join"). What it printed comes back through readLines().
    void startProgram(const QStringList &argv, const QString &errorLog, const QString &what);
    // The whole lines the program printed since the last look; a line it has
    // not finished yet waits for the next look.
    QList<QByteArray> readLines();
    // True once the script removed the work folder (its last line) or the
    // script or program ended.
    bool scriptEnded();

    struct End
    {
        enum Kind { Running, Completed, Exited, Signalled, NotStarted, Cancelled } kind = Running;
        int code = 0;   // exit code or signal
        QString runner; // what ran: "the interpreter tapeweld-cmd", "the writer tapeweld-join"
        // Why the script itself failed, in a user's words; empty when it did not.
        QString failure() const;
    };
    End end() const { return m_end; }

    // True once the running child and every process it started have read and
    // written nothing for stallLimitMs: stuck, not slow (a scan of a large file
    // reads all the while). Asked once a tick.
    bool stalled();
    static inline int stallLimitMs = 5 * 60 * 1000; // tests shorten it
    static QString stalledReason(const QString &who); // "The encoder did nothing for 5 minutes and was stopped."

    // Cancel: the scripts are deleted so the interpreter stops and ends the program
    // it runs, whatever of ours is left is ended, the work files go, and the partial
    // files are removed (waiting at most kCancelWaitMs while another program holds one).
    void cancel(const QStringList &partialFiles, const std::function<void()> &whileWaiting);
    // Close: ends what still runs, removes the work files, releases the lock.
    void close();
    // Ends what still runs and releases the lock, leaving the run's files (a repair
    // keeps its encoder copy until its window closes).
    void release();
    // The left-overs of a killed run, removed only when no other run uses them.
    static void removeLeftovers(const QString &settingsPath);

    static constexpr int kCancelWaitMs = 5000; // past the moment the encoder is killed
    static constexpr int kStopWaitMs = 3000;   // for the interpreter to stop by itself after a cancel

    static QString busyMessage();
    // Why no script can run from the settings folder, as the message for a
    // command ("join") and its script ("a join script"); empty when one can.
    static QString settingsFolderProblem(const QString &command, const QString &script);

    // Deletes the files, retrying while a process still holds them and letting
    // events run, for at most waitMs; beforeEachTry runs before each round.
    // True when they are all gone.
    static bool removeWithin(const QStringList &files, int waitMs, const std::function<void()> &beforeEachTry);
    // A follower's pause between looks: at most ms, over as soon as the child ends.
    void pause(int ms) const { Processes::waitForExit(m_child, ms); }

private:
    // Ends what ran before and starts one child through spawn (only while the
    // lock is held); false, with end() saying so, when it did not start.
    bool launch(bool program, const std::function<pid_t()> &spawn);
    void stop();
    bool waitForEnd(int waitMs);
    void removeWorkFiles();

    RunLock m_lock;
    QString m_settingsPath;
    QStringList m_scripts; // written by prepare()
    pid_t m_child = -1;
    End m_end;
    bool m_program = false; // a program, not a script: no work folder tells its end
    int m_output = -1;
    QByteArray m_pending; // the start of a line the program has not finished
    QString m_runner;
    qint64 m_activity = -2;   // the child's bytes read and written at the last look
    QElapsedTimer m_sinceActivity;
    QElapsedTimer m_sinceLook; // a look reads every process's /proc entry: not at every tick
};
