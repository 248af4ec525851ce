#include "StartJoin.h"
#include "JoinScripts.h"
#include "RunFiles.h"
#include "ScriptRun.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "app/SystemServices.h"
#include "JoinChecks.h"
#include "list/FileList.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QFile>
#include <cmath>
#include <sys/stat.h>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

Dialogs::FileRequest outputRequest(const QString &start)
{
    return {QStringLiteral("Where would you like to save the output file?"), start, QStringLiteral("AVI File|*.avi")};
}

// The output is a row's file under this text or under another spelling
// (a link, "./", a doubled separator): same device and inode.
bool isPartOfList(const FileList &list, const QString &output)
{
    for (const FileListModel::Row &row : list.model().rows())
        if (row[FileListModel::Filepath] == output || FileSystem::sameFile(row[FileListModel::Filepath], output))
            return true;
    return false;
}

int rowThatScriptsCannotCarry(const QStringList &paths)
{
    for (int i = 0; i < paths.size(); ++i)
        if (!PathRules::canCarryInScript(paths[i]))
            return i + 1;
    return 0;
}

// Anything at the path, a dangling symbolic link included: the encoder would write through it.
bool somethingAt(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}
} // namespace

StartJoinResult StartJoin(FileList &list, const JoinHooks &hooks)
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

    // One join or repair at a time per user: taken before the dialogs, so that
    // nothing here can touch the files of a run in another window.
    auto run = std::make_shared<ScriptRun>(AppPaths::applicationSettingsPath());
    if (!run->acquire()) {
        Dialogs::message(ScriptRun::busyMessage(), Dialogs::Icon::Exclamation);
        return StartJoinResult::Busy;
    }
    if (const QString problem = ScriptRun::settingsFolderProblem(QStringLiteral("join"), QStringLiteral("a join script"));
        !problem.isEmpty()) {
        Dialogs::message(problem, Dialogs::Icon::Critical);
        return StartJoinResult::Failed;
    }

    // The facts of rows not probed in this process (a list opened from a file),
    // or whose files changed, are read first, off the window's thread and through
    // the probe's helper processes, as an add reads them.
    const QVector<qint64> sizes = RefreshRowFacts(list, hooks.whileBusy);
    JoinPlan plan;
    plan.engine = hooks.engine.value_or(JoinEngines::configured());
    plan.totalBytes = list.totals().bytes();
    QStringList paths;
    for (int i = 1; i <= list.count(); ++i) {
        const FileListModel::Row &row = list.model().row(i);
        paths << row[FileListModel::Filepath];
        plan.parts.append({row[FileListModel::Filepath], sizes[i - 1], row.facts.avi});
    }

    // What the light does not look at but a stream copy cannot carry, then parts
    // that do not end where their chunks end: each asked once, before any dialog.
    for (const QString &question : JoinChecks::streamQuestions(list, plan.engine))
        if (Dialogs::message(question, Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
            return StartJoinResult::Declined;

    const QString start = Settings::startFolder(SettingsKeys::kJoinFiles);
    QString output = Dialogs::saveFile(outputRequest(start));
    if (output.isEmpty())
        return StartJoinResult::Declined;
    Settings::rememberFolder(SettingsKeys::kJoinFiles, start, output);

    for (;;) {
        const QString temp = output + JoinScripts::kTempSuffix;
        bool askAgain = false;
        if (!PathRules::canCarryInScript(output)) {
            Dialogs::message(QStringLiteral("The name you've chosen holds ") + PathRules::scriptProblem(output)
                                 + QStringLiteral(", which a join script cannot carry.") + kCrLf
                                 + QStringLiteral("Please, choose a different filename."),
                             Dialogs::Icon::Critical);
            askAgain = true;
        } else if (somethingAt(output)) {
            if (isPartOfList(list, output)) {
                Dialogs::message(QStringLiteral("The file you've selected is part of your list.") + kCrLf
                                     + QStringLiteral("Please, choose a different filename."),
                                 Dialogs::Icon::Critical);
                askAgain = true;
            } else if (Dialogs::message(QStringLiteral("Would you like to overwrite the existing file?"), Dialogs::Icon::Exclamation,
                                        Dialogs::Buttons::YesNo, QStringLiteral("File Already Exists!"))
                       == Dialogs::Answer::Yes) {
                QFile::remove(output); // a link goes, not its target; a failed delete is asked about again
                continue;
            } else {
                askAgain = true;
            }
        } else if (plan.engine == JoinEngine::Encoder && somethingAt(temp)) {
            // The intermediate file's name is taken: by a row (it would be copied onto
            // itself), or by a file the user never asked to replace.
            if (isPartOfList(list, temp)) {
                Dialogs::message(QStringLiteral("The join needs the temporary file") + kCrLf + temp + kCrLf
                                     + QStringLiteral("which is part of your list.") + kCrLf
                                     + QStringLiteral("Please, choose a different filename."),
                                 Dialogs::Icon::Critical);
                askAgain = true;
            } else if (Dialogs::message(QStringLiteral("The join needs the temporary file") + kCrLf + temp + kCrLf
                                            + QStringLiteral("but a file of that name already exists.") + kCrLf + kCrLf
                                            + QStringLiteral("Would you like to delete it?"),
                                        Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo, QStringLiteral("File Already Exists!"))
                       == Dialogs::Answer::Yes) {
                QFile::remove(temp);
                continue;
            } else {
                askAgain = true;
            }
        }
        if (!askAgain)
            break;
        output = Dialogs::saveFile(outputRequest(start));
        if (output.isEmpty())
            return StartJoinResult::Declined;
    }

    // The encoder's join writes every byte twice (the intermediate file, then the
    // output); the built-in writer once.
    const bool encoder = plan.engine == JoinEngine::Encoder;
    const double required = std::nearbyint((encoder ? 2 : 1) * list.totals().kilobytes);
    const double freeBytes = hooks.freeBytes ? hooks.freeBytes(output) : GetFreeDiskSpace(output);
    const double available = std::nearbyint(freeBytes / 1024);
    if (required > available
        && Dialogs::message(QStringLiteral("You do not have enough free diskspace on drive ") + FileSystem::mountPointOf(output)
                                + QStringLiteral(".") + kCrLf + QStringLiteral("Would you like to continue?"),
                            Dialogs::Icon::Critical, Dialogs::Buttons::YesNo)
               != Dialogs::Answer::Yes)
        return StartJoinResult::Declined;

    if (encoder ? !PathExists(RunFiles::shippedEncoder()) || !PathExists(RunFiles::interpreter()) : !PathExists(RunFiles::writer())) {
        Dialogs::message(QStringLiteral("An error occurred!") + kCrLf + QStringLiteral("Tapeweld cannot load one or more required files.")
                             + kCrLf + kCrLf + QStringLiteral("Please, re-install Tapeweld to fix this problem."),
                         Dialogs::Icon::Critical);
        return StartJoinResult::Failed;
    }

    // Possible from a hand-edited list file.
    if (const int row = encoder ? rowThatScriptsCannotCarry(paths) : 0) {
        Dialogs::message(QStringLiteral("Row %1 cannot be joined: its file path holds %2, which a join script cannot carry.")
                                 .arg(row)
                                 .arg(PathRules::scriptProblem(paths[row - 1]))
                             + kCrLf + kCrLf + paths[row - 1],
                         Dialogs::Icon::Critical);
        return StartJoinResult::Refused;
    }

    if (IsDebugLogActive())
        for (const FileListModel::Row &row : list.model().rows()) {
            QString text;
            for (const QString &cell : row)
                text += cell + u'|';
            WriteDebugLog(text);
        }
    if (const Result written = encoder ? WriteJoinScripts(*run, paths, output) : run->prepare({}); !written.ok()) {
        Dialogs::message(QStringLiteral("The join could not start: ") + ErrorText::sentence(written.why()), Dialogs::Icon::Critical);
        return StartJoinResult::Failed;
    }
    plan.output = output;
    if (hooks.showWizard)
        hooks.showWizard(plan, run); // the dialogs above were modal: the rows are those read
    return StartJoinResult::Started;
}
