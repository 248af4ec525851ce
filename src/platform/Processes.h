#pragma once
#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace Processes {

// Image name of a process: base name of /proc/PID/exe (" (deleted)" removed),
// or /proc/PID/comm when the link cannot be read.
QString imageNameOf(pid_t pid);

// SIGKILL to every process of the current user, except this one, whose image
// name ends with name (case-insensitive). Not waited for.
void terminateByName(const QString &name);

// Starts a command line (Windows quoting rules) detached and hidden: own
// session, standard streams on /dev/null, never waited on, never a zombie.
// A ".bat" program runs through the interpreter found in interpreterFolder.
bool launchHidden(const QString &commandLine, const QString &interpreterFolder,
                  const QString &workingFolder = QString());

} // namespace Processes
