#pragma once
#include "list/RowFactsReader.h"

#include <QString>
#include <memory>
class Engine;
class RunSession;

// How the steps before a repair ended.
enum class StartRepairResult {
    Ready,    // the lock is held: the repair can run
    Refused,  // the output is a link
    Declined, // a question was answered No
    Busy,     // another join or repair of this user runs
    Failed    // the settings folder cannot take the repair script
};

// Everything between choosing a file and running its repair, the window's and
// the command line's alike: the output's state, what the engine would not keep,
// the settings folder and the per-user lock, each question and refusal through
// Dialogs. whileBusy reads the input (without it the read runs here).
// engine: the one chosen; where its question offered another that keeps every
// stream and the user chose it, that one on return (for this repair only).
StartRepairResult StartRepair(const QString &input, const QString &output, const Engine *&engine, const BusyRunner &whileBusy,
                              std::unique_ptr<RunSession> &lock);
