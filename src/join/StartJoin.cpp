#include "StartJoin.h"
#include "Engines.h"
#include "JoinChecks.h"
#include "compat/CarryCheck.h"
#include "RunSession.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "app/SystemServices.h"
#include "list/FileList.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QFile>
#include <cerrno>
#include <cmath>
#include <unistd.h>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString chooseAgain() { return kCrLf + QStringLiteral("Please, choose a different filename."); }

Dialogs::FileRequest outputRequest(const QString &start)
{
    return {QStringLiteral("Where would you like to save the output file?"), start, QStringLiteral("AVI File|*.avi")};
}

using FileSystem::Occupant;
using FileSystem::occupantOf;

// A name the join will make (the output, or the engine's work file): Free, or
// Again after a message or a No; Removed after the user let it go.
enum class Look { Free, Removed, Again };

Look replaceIfAsked(const QString &path, const QString &question)
{
    if (Dialogs::message(question, Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo, QStringLiteral("File Already Exists!"))
        != Dialogs::Answer::Yes)
        return Look::Again;
    // A link goes, not its target.
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        Dialogs::message(QStringLiteral("%1 could not be replaced: %2.").arg(path, ErrorText::of(errno)) + chooseAgain(), Dialogs::Icon::Critical);
        return Look::Again;
    }
    return Look::Removed;
}

Look lookAtOutput(const FileList &list, const QString &output)
{
    if (!PathRules::canCarryInScript(output)) {
        Dialogs::message(QStringLiteral("The name you've chosen holds ") + PathRules::scriptProblem(output)
                             + QStringLiteral(", which a join script cannot carry.") + chooseAgain(),
                         Dialogs::Icon::Critical);
        return Look::Again;
    }
    switch (occupantOf(output)) {
    case Occupant::None: return Look::Free;
    case Occupant::Other:
        Dialogs::message(QStringLiteral("%1 is not a file: a join cannot write its output there.").arg(output) + chooseAgain(), Dialogs::Icon::Critical);
        return Look::Again;
    case Occupant::File: break;
    }
    if (list.holds(output)) {
        Dialogs::message(QStringLiteral("The file you've selected is part of your list.") + chooseAgain(), Dialogs::Icon::Critical);
        return Look::Again;
    }
    return replaceIfAsked(output, QStringLiteral("Would you like to overwrite the existing file?"));
}

// The engine's work file beside the output must be free: a row would be copied
// onto itself, and a file the user never asked to replace would be lost.
Look lookAtWorkFile(const FileList &list, const QString &work)
{
    if (occupantOf(work) == Occupant::None)
        return Look::Free;
    const QString needs = QStringLiteral("The join needs the temporary file") + kCrLf + work + kCrLf;
    if (list.holds(work) || occupantOf(work) == Occupant::Other) {
        Dialogs::message(needs + (list.holds(work) ? QStringLiteral("which is part of your list.") : QStringLiteral("which is not a file."))
                             + chooseAgain(),
                         Dialogs::Icon::Critical);
        return Look::Again;
    }
    return replaceIfAsked(work, needs + QStringLiteral("but a file of that name already exists.") + kCrLf + kCrLf
                                    + QStringLiteral("Would you like to delete it?"));
}

// The output dialog until a name is free; empty when the user gave up.
QString chooseOutput(const FileList &list, const Engine &engine)
{
    const QString start = Settings::startFolder(SettingsKeys::kJoinFiles);
    QString output = Dialogs::saveFile(outputRequest(start));
    if (output.isEmpty())
        return QString();
    Settings::rememberFolder(SettingsKeys::kJoinFiles, start, output);
    for (;;) {
        Look look = lookAtOutput(list, output);
        if (look == Look::Free)
            look = lookAtWorkFile(list, engine.workFileFor(output));
        if (look == Look::Free)
            return output;
        if (look == Look::Again && (output = Dialogs::saveFile(outputRequest(start))).isEmpty())
            return QString();
    }
}

// What stops a join before anything is asked: an add running, too few rows, a Red light declined.
std::optional<StartJoinResult> refusal(const FileList &list, const JoinHooks &hooks)
{
    if (hooks.adding) {
        Dialogs::message(QStringLiteral("Adding Files. Please be patient!"), Dialogs::Icon::Information);
        return StartJoinResult::Refused;
    }
    if (list.count() < 2) {
        Dialogs::message(QStringLiteral("Please, Add at least 2 files to your list."), Dialogs::Icon::Exclamation);
        return StartJoinResult::Refused;
    }
    if (list.listStatus() == ListStatus::Red
        && Dialogs::message(JoinChecks::redQuestion(), Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return StartJoinResult::Declined;
    return std::nullopt;
}

// The parts as the rows' facts say, read again where a file changed, and the plan of the seams.
JoinPlan planOf(FileList &list, const JoinHooks &hooks)
{
    // Rows not probed in this process (a list opened from a file), or whose files
    // changed, are read first, off the window's thread and through the probe's
    // helper processes, as an add reads them.
    const QVector<qint64> sizes = refreshRowFacts(list, hooks.whileBusy);
    JoinPlan plan;
    plan.engine = hooks.engine ? hooks.engine : &Engines::configured();
    plan.totalBytes = list.totals().bytes();
    for (int i = 1; i <= list.count(); ++i) {
        const FileListModel::Row &row = list.model().row(i);
        plan.parts.append({row[FileListModel::Filepath], sizes[i - 1], row.facts.avi});
    }
    plan.seams = JoinChecks::planOf(list, plan.engine->carriage());
    return plan;
}

bool enoughRoom(const FileList &list, const JoinPlan &plan, const QString &output, const JoinHooks &hooks)
{
    const double required = std::nearbyint(plan.engine->kilobytesNeeded(list.totals().kilobytes, plan, output));
    const double freeBytes = hooks.freeBytes ? hooks.freeBytes(output) : GetFreeDiskSpace(output);
    return required <= std::nearbyint(freeBytes / 1024)
           || Dialogs::message(QStringLiteral("You do not have enough free diskspace on drive ") + FileSystem::mountPointOf(output)
                                   + QStringLiteral(".") + kCrLf + QStringLiteral("Would you like to continue?"),
                               Dialogs::Icon::Critical, Dialogs::Buttons::YesNo)
                  == Dialogs::Answer::Yes;
}

// The engine's programs are installed and it can be given every row.
std::optional<StartJoinResult> engineProblem(const Engine &engine, const QStringList &paths)
{
    for (const QString &program : engine.programs())
        if (!PathExists(program)) {
            Dialogs::message(QStringLiteral("An error occurred!") + kCrLf + QStringLiteral("Tapeweld cannot load one or more required files.")
                                 + kCrLf + kCrLf + QStringLiteral("Please, re-install Tapeweld to fix this problem."),
                             Dialogs::Icon::Critical);
            return StartJoinResult::Failed;
        }
    // Possible from a hand-edited list file.
    if (const int row = engine.rowItCannotTake(paths)) {
        Dialogs::message(QStringLiteral("Row %1 cannot be joined: its file path holds %2, which a join script cannot carry.")
                                 .arg(row)
                                 .arg(PathRules::scriptProblem(paths[row - 1]))
                             + kCrLf + kCrLf + paths[row - 1],
                         Dialogs::Icon::Critical);
        return StartJoinResult::Refused;
    }
    return std::nullopt;
}

// Another engine that would join this list without a question, to offer in the question; null when none would.
const Engine *engineThatAsksNothing(const FileList &list, const Engine &chosen)
{
    return Engines::otherThat(chosen, [&](const Engine &e) {
        return JoinChecks::streamQuestions(list, e.carriage(), JoinChecks::planOf(list, e.carriage())).isEmpty();
    });
}

// What the engine cannot carry and parts that do not end where their chunks end,
// each asked once; an engine that carries it all is offered beside Yes and No
// (for this join: the preference stays). Yes accepts the losses the question named.
std::optional<StartJoinResult> askAboutStreams(const FileList &list, JoinPlan &plan)
{
    const QStringList questions = JoinChecks::streamQuestions(list, plan.engine->carriage(), plan.seams);
    if (questions.isEmpty())
        return std::nullopt;
    const Engine *better = engineThatAsksNothing(list, *plan.engine);
    for (const QString &question : questions) {
        const Dialogs::Answer answer = Engines::ask(question, better);
        if (answer == Dialogs::Answer::Other) {
            plan.engine = better;
            plan.seams = JoinChecks::planOf(list, better->carriage());
            return std::nullopt;
        }
        if (answer != Dialogs::Answer::Yes)
            return StartJoinResult::Declined;
    }
    const Carriage carriage = plan.engine->carriage();
    plan.acceptedCauses = JoinChecks::causes(list, carriage, plan.seams);
    const Avi::Summary &first = plan.parts.first().avi;
    if (!carriage.everySoundTrack && first.countOf(Avi::Kind::Audio) > 1)
        plan.keptSoundTracks = 1;
    plan.textDropped = !carriage.text && first.countOf(Avi::Kind::Text) > 0;
    plan.keyFramesAccepted = CarryCheck::rowLosingKeyFrames(plan.summaries(), carriage) > 0;
    return std::nullopt;
}

void logRows(const FileList &list)
{
    if (!IsDebugLogActive())
        return;
    for (const FileListModel::Row &row : list.model().rows()) {
        QString text;
        for (const QString &cell : row)
            text += cell + u'|';
        WriteDebugLog(text);
    }
}
} // namespace

StartJoinResult StartJoin(FileList &list, const JoinHooks &hooks)
{
    if (const std::optional<StartJoinResult> refused = refusal(list, hooks))
        return *refused;
    // One join or repair at a time per user: taken before the dialogs, so that
    // nothing here can touch the files of a run in another window.
    auto run = std::make_shared<RunSession>(AppPaths::applicationSettingsPath());
    if (!run->acquire()) {
        Dialogs::message(RunSession::busyMessage(), Dialogs::Icon::Exclamation);
        return StartJoinResult::Busy;
    }
    if (const QString problem = RunSession::settingsFolderProblem(QStringLiteral("join"), QStringLiteral("a join script"));
        !problem.isEmpty()) {
        Dialogs::message(problem, Dialogs::Icon::Critical);
        return StartJoinResult::Failed;
    }
    JoinPlan plan = planOf(list, hooks);
    // What the light does not look at, asked before any dialog.
    if (const std::optional<StartJoinResult> declined = askAboutStreams(list, plan))
        return *declined;
    const Engine &engine = *plan.engine;
    plan.output = chooseOutput(list, engine);
    if (plan.output.isEmpty() || !enoughRoom(list, plan, plan.output, hooks))
        return StartJoinResult::Declined;
    if (const std::optional<StartJoinResult> problem = engineProblem(engine, plan.inputs()))
        return *problem;
    logRows(list);
    if (const Result prepared = engine.prepareJoin(*run, plan.inputs(), plan.output); !prepared.ok()) {
        Dialogs::message(QStringLiteral("The join could not start: ") + ErrorText::sentence(prepared.why()), Dialogs::Icon::Critical);
        return StartJoinResult::Failed;
    }
    if (hooks.runJoin)
        hooks.runJoin(plan, run); // the dialogs above were modal: the rows are those read
    return StartJoinResult::Started;
}
