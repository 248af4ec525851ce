#pragma once
#include "JoinOutcome.h"
#include "compat/Carriage.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <memory>
class JoinRun;
class RunSession;
struct JoinPlan;

// Who writes a join's (or a repair's) output. Everything that differs from one
// writer to another is asked here: what it carries, what it needs, how it is
// put in place, started and followed. Implementations live in join/engines/,
// one file each, and are listed once in Engines.
class Engine
{
public:
    virtual ~Engine() = default;

    virtual QString settingName() const = 0; // its value of [Join] Engine in Settings.ini
    virtual QString optionName() const = 0;  // its value of --engine
    virtual QString choiceText() const = 0;  // its line in Preferences' "Join with"
    virtual QString offerText() const = 0;   // the button that offers it in another engine's question
    virtual Carriage carriage() const = 0;
    // How many copies of the parts must fit on the output's drive.
    virtual int copiesNeeded() const = 0;
    // The kilobytes that must be free on the output's drive for a join of parts
    // whose sizes add up to kilobytes: copies of them, less what its file system shares.
    virtual double kilobytesNeeded(double kilobytes, const JoinPlan &, const QString &) const { return copiesNeeded() * kilobytes; }
    // What it runs, in the program folder: a missing one means a broken install.
    virtual QStringList programs() const = 0;
    // A file it makes beside the output (and removes), which must not be taken; empty: none.
    virtual QString workFileFor(const QString &) const { return QString(); }
    // The first row (1-based) whose path it cannot be given; 0: none.
    virtual int rowItCannotTake(const QStringList &) const { return 0; }

    // A join: put in place (the run holds the lock), then run and followed by a JoinRun.
    virtual Result prepareJoin(RunSession &run, const QStringList &inputs, const QString &output) const = 0;
    virtual std::unique_ptr<JoinRun> newJoin(std::shared_ptr<RunSession> run, const JoinPlan &plan) const = 0;

    // A repair of input into output, every stream it carries walked anew.
    virtual Result prepareRepair(RunSession &run, const QString &input, const QString &output) const = 0;
    virtual void startRepair(RunSession &run, const QString &input, const QString &output) const = 0;
    // How far a repair has come, in bytes of its input; -1: nothing to tell yet.
    virtual double repairProgress(RunSession &run, const QString &output) const = 0;
    // What its log says of a run: why it failed and how it ended (the outcome's writer, without the plan).
    virtual JoinOutcome::Writer reportIn(const QString &log) const = 0;
    virtual QString repairLog() const = 0;
};
