#pragma once
#include <QString>
#include <functional>
class FileList;

// What the join command needs from the window around it.
struct JoinHooks
{
    bool adding = false; // the add-files progress bar is showing
    // Free bytes for a path; tests put a fixed reading in.
    std::function<double(const QString &path)> freeBytes;
    // Opens the join wizard modally for the output path; returns when it closed.
    std::function<void(const QString &outputPath)> showWizard;
};

// The join command: checks, output dialog, conflicts, space, encoder, scripts, wizard.
void StartJoin(FileList &list, const JoinHooks &hooks);
