#pragma once
#include "platform/RunLock.h"

#include <QString>
#include <sys/types.h>

// One join or repair of this program: holds the per-user run lock, starts
// its scripts, and ends only the processes it started itself.
class ScriptRun
{
public:
    explicit ScriptRun(const QString &settingsPath);
    ~ScriptRun(); // ends a script still running, then releases the lock
    ScriptRun(const ScriptRun &) = delete;
    ScriptRun &operator=(const ScriptRun &) = delete;

    bool acquire(); // false: another join or repair of this user runs
    bool held() const { return m_lock.held(); }
    // Starts a script hidden, its errors written beside it (errorLogOf).
    bool start(const QString &script);
    bool running(); // the last script started has not ended yet
    void stop();    // ends it and whatever it started
    // Waits (letting window events run) up to waitMs for the script to end by itself.
    bool waitForEnd(int waitMs);

    static QString errorLogOf(const QString &script); // "TempFile.bat" -> "TempFile.log"
    static QString busyMessage();
    // Why no script can run from the settings folder, as the message for a
    // command ("join") and its script ("a join script"); empty when one can.
    static QString settingsFolderProblem(const QString &command, const QString &script);

private:
    RunLock m_lock;
    pid_t m_child = -1;
};
