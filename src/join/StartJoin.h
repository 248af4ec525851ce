#pragma once
#include "JoinPlan.h"
#include "list/RowFactsReader.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
class FileList;
class Engine;
class RunSession;

// What the join command needs from the window around it.
struct JoinHooks
{
    bool adding = false; // the add-files progress bar is showing
    // Free bytes for a path; tests put a fixed reading in.
    std::function<double(const QString &path)> freeBytes;
    // Runs the join with the run that holds the per-user lock, and returns when
    // it ended: the window shows its wizard modally, the command line follows it.
    std::function<void(const JoinPlan &plan, std::shared_ptr<RunSession> run)> runJoin;
    // Who writes the output; without it, the setting ([Join] Engine).
    const Engine *engine = nullptr;
    // Runs work that reads every row (seconds on a long list whose files this
    // program has not probed, one opened from a list file) so that the window
    // keeps painting; without it the work runs here.
    BusyRunner whileBusy;
};

// How the join command ended, for a caller that needs more than the messages said.
enum class StartJoinResult {
    Started,  // the wizard ran
    Declined, // a question was answered No, or a dialog cancelled
    Refused,  // the list cannot be joined as it is (too short, busy adding, a row no script can carry)
    Busy,     // another join or repair of this user runs
    Failed    // what a join needs is missing or cannot be written
};

// The join command: checks, output dialog, conflicts, space, encoder, scripts, wizard.
StartJoinResult StartJoin(FileList &list, const JoinHooks &hooks);
