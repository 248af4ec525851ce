#pragma once
#include <QStringList>
#include <optional>

// Tapeweld without a window: --join, --repair and --check run through the same
// code as the window (probe, light, checks, lock, scripts or writer, outcome,
// debug log) and end in an exit status a script can test.
namespace CommandLineTool {

enum Exit {
    Whole = 0,       // the output is whole (or, for --check: Green, nothing to ask)
    Failed = 1,      // the run failed; the reason was printed
    Usage = 2,       // unknown option, missing or unreadable file: nothing written
    Asked = 3,       // a check asked, or the output exists, and --yes was not given: nothing written
    Busy = 4,        // another join or repair of this user runs
    HungUp = 129,      // SIGHUP (the terminal closed): cancelled, nothing left behind
    Interrupted = 130, // SIGINT: the same
    Terminated = 143   // SIGTERM: the same
};

// True when the arguments (without the program name) ask for the command line.
bool wanted(const QStringList &arguments);
// Runs it; the caller has made a QCoreApplication (no display is needed).
int run(const QStringList &arguments);
// A program's start: the arguments after its name, as given.
QStringList argumentsOf(int argc, char *argv[]);
// Runs the command line in an application of its own when the arguments ask for
// it (its exit status); nothing when they are the window's.
std::optional<int> runIfWanted(int argc, char *argv[]);

} // namespace CommandLineTool
