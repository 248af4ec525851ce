#pragma once
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace Processes {

// Starts the interpreter on a script as a direct child in a session (and
// process group) of its own: standard input and output on /dev/null, standard
// error into errorLog, and lockFd (when >= 0) inherited as descriptor 3 so the
// run keeps its lock. Returns the child's pid, or -1.
[[nodiscard]] pid_t startScript(const QString &interpreter, const QString &script, const QString &errorLog, int lockFd,
                  const QString &workingFolder);
// The same for any program and its arguments; when output is given, the
// program's standard output is a pipe whose reading end (non-blocking) it gets.
[[nodiscard]] pid_t startProgram(const QStringList &argv, const QString &errorLog, int lockFd, const QString &workingFolder,
                                 int *output = nullptr);
// How a child of ours stands: running, or how it ended (then it is reaped).
struct ChildStatus
{
    enum Kind { Running, Exited, Signalled, Unknown } kind = Running; // Unknown: no such child of ours
    int code = 0; // the exit code or the signal
    bool ended() const { return kind != Running; }
};
ChildStatus poll(pid_t child);
// Waits at most ms for a child of ours to end (or a signal to arrive); returns at once when it has.
void waitForExit(pid_t child, int ms);
// Ends a child of ours (and the process group it leads, when it leads one), and
// reaps it. Only ever our own, unreaped child: its pid and group cannot belong
// to anyone else; a child already ended is only reaped.
ChildStatus endGroup(pid_t child);
// Bytes read and written so far by every process of the group a child of ours
// leads (what /proc counts, cached or not); -1 when none can be read.
qint64 groupInputOutput(pid_t child);

} // namespace Processes
