#include "StartRepair.h"
#include "RepairChecks.h"
#include "app/AppPaths.h"
#include "app/Dialogs.h"
#include "join/Engines.h"
#include "join/RunSession.h"

StartRepairResult StartRepair(const QString &input, const QString &output, const Engine *&engine, const BusyRunner &whileBusy,
                              std::unique_ptr<RunSession> &lock)
{
    switch (RepairChecks::outputState(output)) {
    case RepairChecks::Output::Link: Dialogs::message(RepairChecks::linkMessage(output), Dialogs::Icon::Critical); return StartRepairResult::Refused;
    case RepairChecks::Output::Exists:
        if (Dialogs::message(RepairChecks::replaceQuestion(), Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo, RepairChecks::replaceTitle())
            != Dialogs::Answer::Yes)
            return StartRepairResult::Declined;
        break;
    case RepairChecks::Output::Free: break;
    }
    // What the encoder would not keep is asked about.
    Avi::Summary summary;
    const auto read = [&] { summary = Avi::summarize(input); };
    whileBusy ? whileBusy(read) : read();
    if (const QString question = RepairChecks::streamsQuestion(summary, engine->carriage()); !question.isEmpty()) {
        // An engine that keeps every stream of it is offered beside Yes and No.
        const Engine *better =
            Engines::otherThat(*engine, [&](const Engine &e) { return RepairChecks::streamsQuestion(summary, e.carriage()).isEmpty(); });
        const Dialogs::Answer answer = Engines::ask(question, better);
        if (answer == Dialogs::Answer::Other)
            engine = better;
        else if (answer != Dialogs::Answer::Yes)
            return StartRepairResult::Declined;
    }
    if (const QString problem = RunSession::settingsFolderProblem(QStringLiteral("repair"), QStringLiteral("the repair script"));
        !problem.isEmpty()) {
        Dialogs::message(problem, Dialogs::Icon::Critical);
        return StartRepairResult::Failed;
    }
    // One join or repair at a time per user, across windows and instances.
    lock = std::make_unique<RunSession>(AppPaths::applicationSettingsPath());
    if (!lock->acquire()) {
        lock.reset();
        Dialogs::message(RunSession::busyMessage(), Dialogs::Icon::Exclamation);
        return StartRepairResult::Busy;
    }
    return StartRepairResult::Ready;
}
