#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
class FileList;
class ScriptRun;

// What the join command needs from the window around it.
struct JoinHooks
{
    bool adding = false; // the add-files progress bar is showing
    // Free bytes for a path; tests put a fixed reading in.
    std::function<double(const QString &path)> freeBytes;
    // Opens the join wizard modally for the output path and the run that holds
    // the per-user lock; returns when it closed.
    // inputs: the rows' paths as the scripts name them.
    std::function<void(const QString &outputPath, std::shared_ptr<ScriptRun> run, const QStringList &inputs)> showWizard;
    // Runs work that reads every row (seconds on a long list whose files this
    // program has not probed, one opened from a list file) so that the window
    // keeps painting; without it the work runs here.
    std::function<void(const std::function<void()> &work)> whileBusy;
};

// The join command: checks, output dialog, conflicts, space, encoder, scripts, wizard.
void StartJoin(FileList &list, const JoinHooks &hooks);
