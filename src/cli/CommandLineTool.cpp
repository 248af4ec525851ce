#include "CommandLineTool.h"
#include "list/ProbeListItem.h"
#include "ConsoleDialogs.h"
#include "app/AppPaths.h"
#include "app/StartUp.h"
#include "app/TextFormats.h"
#include "app/Version.h"
#include "compat/CheckCompatibility.h"
#include "join/Engines.h"
#include "join/JoinChecks.h"
#include "join/JoinRun.h"
#include "join/RunSession.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/RowFactsReader.h"
#include "list/UpdateListTotals.h"
#include "platform/FileSystem.h"
#include "repair/RepairChecks.h"
#include "repair/StartRepair.h"
#include "repair/RepairRun.h"
#include "join/RepairScript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <optional>
#include <utility>
#include <unistd.h>

namespace {

using CommandLineTool::Exit;

volatile std::sig_atomic_t g_signal = 0;
void onSignal(int signo) { g_signal = signo; }
int signalExit() { return g_signal == SIGTERM ? Exit::Terminated : g_signal == SIGHUP ? Exit::HungUp : Exit::Interrupted; }

struct Options
{
    enum Mode { None, Join, Repair, Check, Help, Version } mode = None;
    QString output, input, listFile;
    QStringList files;
    bool yes = false, quiet = false, debug = false;
    const Engine *engine = nullptr; // null: the setting's
    QString error;
};

Options parse(const QStringList &args)
{
    Options o;
    auto setMode = [&](Options::Mode mode) {
        if (o.mode != Options::None && o.mode != mode && o.error.isEmpty())
            o.error = QStringLiteral("Give one of --join, --repair and --check.");
        o.mode = mode;
    };
    auto value = [&](int &i, const QString &option) {
        if (i + 1 >= args.size()) {
            if (o.error.isEmpty())
                o.error = QStringLiteral("%1 needs a value.").arg(option);
            return QString();
        }
        return args[++i];
    };
    bool positionalOnly = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (positionalOnly || !a.startsWith(u'-') || a == QStringLiteral("-")) {
            o.files << a;
        } else if (a == QStringLiteral("--")) {
            positionalOnly = true;
        } else if (a == QStringLiteral("--join")) {
            setMode(Options::Join);
            o.output = value(i, a);
        } else if (a == QStringLiteral("--repair")) {
            setMode(Options::Repair);
            o.input = value(i, a);
        } else if (a == QStringLiteral("--check")) {
            setMode(Options::Check);
        } else if (a == QStringLiteral("--list")) {
            o.listFile = value(i, a);
        } else if (a == QStringLiteral("--engine")) {
            const QString e = value(i, a);
            o.engine = Engines::byOption(e);
            if (!o.engine && o.error.isEmpty()) {
                QStringList names;
                for (const Engine *known : Engines::all())
                    names << known->optionName();
                o.error = QStringLiteral("--engine takes %1, not \"%2\".").arg(names.join(QStringLiteral(" or ")), e);
            }
        } else if (a == QStringLiteral("--yes") || a == QStringLiteral("-y")) {
            o.yes = true;
        } else if (a == QStringLiteral("--quiet") || a == QStringLiteral("-q")) {
            o.quiet = true;
        } else if (a == QStringLiteral("--debug")) {
            o.debug = true;
        } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
            setMode(Options::Help);
        } else if (a == QStringLiteral("--version")) {
            setMode(Options::Version);
        } else if (o.error.isEmpty()) {
            o.error = QStringLiteral("Unknown option: %1").arg(a);
        }
    }
    if (!o.error.isEmpty() || o.mode == Options::Help || o.mode == Options::Version)
        return o;
    if (o.mode == Options::None)
        o.error = QStringLiteral("Give one of --join, --repair and --check.");
    else if (o.mode == Options::Repair && o.files.size() > 1)
        o.error = QStringLiteral("--repair takes one file and, after it, where the repaired file goes.");
    else if (o.mode == Options::Repair && !o.listFile.isEmpty())
        o.error = QStringLiteral("--repair takes no --list.");
    else if (o.mode != Options::Repair && !o.listFile.isEmpty() && !o.files.isEmpty())
        o.error = QStringLiteral("Give the files or --list, not both.");
    else if (o.mode != Options::Repair && o.listFile.isEmpty() && o.files.isEmpty())
        o.error = QStringLiteral("No files to %1.").arg(o.mode == Options::Join ? QStringLiteral("join") : QStringLiteral("check"));
    return o;
}

void say(const QString &text) { ConsoleDialogs::print(text); }
void sayError(const QString &text) { ConsoleDialogs::printError(text); }
void sayVerdict(const QString &text) { ConsoleDialogs::printVerdict(text); }

// A file the run must read: it is there and can be opened.
QString unreadable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("No such file: %1").arg(path);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("Not a readable file: %1").arg(path);
    return QString();
}

// The list to join or check, read as the window reads it: files probed, a list
// file's rows taken from its texts; the refresh cascade sets the light.
std::optional<int> fillList(FileList &list, const Options &o)
{
    NewList(list, false);
    if (!o.listFile.isEmpty()) {
        if (const QString why = unreadable(o.listFile); !why.isEmpty()) {
            sayError(why);
            return Exit::Usage;
        }
        if (!LoadListFile(list, o.listFile))
            return Exit::Usage; // its message was printed
        if (list.listPath().isEmpty()) { // opened in part: which rows stayed out was printed
            sayError(QStringLiteral("Not every row of %1 could be taken: nothing was done.").arg(o.listFile));
            return Exit::Usage;
        }
        if (const int gone = Compatibility::goneRow(list.model())) {
            sayError(Compatibility::goneLine(list.model(), gone));
            return Exit::Usage;
        }
        return std::nullopt;
    }
    QStringList paths;
    for (const QString &f : o.files) {
        if (const QString why = unreadable(f); !why.isEmpty()) {
            sayError(why);
            return Exit::Usage;
        }
        paths << QFileInfo(f).absoluteFilePath();
    }
    AddPathsToList(list, paths, QStringLiteral("Adding Files..."), nullptr);
    UpdateListTotals(list);
    if (list.count() != paths.size())
        return Exit::Usage; // a name no list or script can carry: its message was printed
    return std::nullopt;
}

// Progress as the wizard shows it: a line that updates on a terminal, a line
// a phase otherwise.
class Progress
{
public:
    explicit Progress(bool quiet) : m_quiet(quiet), m_terminal(::isatty(STDERR_FILENO)) { m_clock.start(); }
    void show(const QString &caption, double value, double max, const QString &written)
    {
        if (m_quiet)
            return;
        if (caption != m_caption) {
            m_caption = caption;
            m_phaseClock.start();
            if (!m_terminal)
                say(caption);
        }
        if (!m_terminal || (m_lastDraw.isValid() && m_lastDraw.elapsed() < 200))
            return;
        m_lastDraw.start();
        const double f = max > 0 ? std::min(1.0, value / max) : 0;
        const qint64 elapsed = m_clock.elapsed() / 1000;
        const qint64 left = f > 0.01 ? static_cast<qint64>(m_phaseClock.elapsed() / 1000.0 * (1 - f) / f) : -1;
        std::fprintf(stderr, "\r%s  %3d%%  %s  %s elapsed%s\033[K", caption.toLocal8Bit().constData(), static_cast<int>(f * 100),
                     written.toLocal8Bit().constData(), TextFormats::timeOfDay(elapsed).toLatin1().constData(),
                     left >= 0 ? (QStringLiteral("  ") + TextFormats::timeOfDay(left) + QStringLiteral(" left")).toLatin1().constData() : "");
        std::fflush(stderr);
    }
    void end()
    {
        if (m_terminal && !m_quiet && m_lastDraw.isValid())
            std::fprintf(stderr, "\r\033[K");
    }

private:
    bool m_quiet, m_terminal;
    QString m_caption;
    QElapsedTimer m_clock, m_phaseClock, m_lastDraw;
};

int exitFor(const RunStatus &status)
{
    switch (status.state) {
    case RunStatus::State::Finished: return Exit::Whole;
    case RunStatus::State::Cancelled: return signalExit();
    default: return Exit::Failed;
    }
}

void sayOutcome(const RunStatus &status, bool quiet)
{
    const QString words = status.words();
    if (quiet && status.state == RunStatus::State::Finished && status.detail.isEmpty())
        return;
    sayVerdict(status.detail.isEmpty() ? words : words + u'\n' + status.detail);
}

int followJoin(const JoinPlan &plan, std::shared_ptr<RunSession> run, const Options &o)
{
    const std::unique_ptr<JoinRun> job = JoinRun::create(std::move(run), plan);
    if (g_signal) { // interrupted while the checks ran: nothing was started
        job->close();
        return signalExit();
    }
    Progress progress(o.quiet);
    QElapsedTimer clock;
    clock.start();
    job->start();
    // Shown before each look at the run, so a phase that ends before the first
    // look is still named; operation 2 is named as it begins, whatever it does first.
    bool second = false;
    while (job->phase() != JoinRun::Phase::Ended) {
        if (job->phase() != JoinRun::Phase::Copying && !std::exchange(second, true))
            progress.show(JoinRun::caption(JoinRun::Phase::Writing), job->progress(), job->maximum(), job->writtenText());
        progress.show(JoinRun::caption(job->phase()), job->progress(), job->maximum(), job->writtenText());
        if (g_signal) {
            job->cancel({});
            break;
        }
        job->pause(10);
        job->tick();
    }
    progress.end();
    const RunStatus status = job->status();
    job->close();
    sayOutcome(status, o.quiet);
    if (status.state == RunStatus::State::Finished)
        sayVerdict(QStringLiteral("%1: %2 in %3")
                       .arg(plan.output, TextFormats::kilobytesOfBytes(static_cast<double>(FileSystem::fileSize(plan.output))),
                            TextFormats::timeOfDay(clock.elapsed() / 1000)));
    return exitFor(status);
}

int join(const Options &o)
{
    if (FileSystem::folderPart(QFileInfo(o.output).absoluteFilePath()).isEmpty()
        || !FileSystem::folderExists(QFileInfo(o.output).absolutePath())) {
        sayError(QStringLiteral("No such folder for the output: %1").arg(QFileInfo(o.output).absolutePath()));
        return Exit::Usage;
    }
    const QString output = QFileInfo(o.output).absoluteFilePath();
    ConsoleDialogs dialogs(o.yes, o.quiet); // before the list is read: what its loading says is printed
    if (FileSystem::occupantOf(output) == FileSystem::Occupant::Other) {
        sayError(QStringLiteral("The output is not a file, and no output can take its place: %1").arg(output));
        return Exit::Usage;
    }
    FileList list;
    if (const std::optional<int> failed = fillList(list, o))
        return *failed;
    if (list.holds(output)) {
        sayError(QStringLiteral("The output file is one of the files to join: %1").arg(output));
        return Exit::Usage;
    }
    dialogs.setOutput(output);
    JoinHooks hooks;
    hooks.engine = o.engine;
    int result = Exit::Failed;
    hooks.runJoin = [&](const JoinPlan &plan, std::shared_ptr<RunSession> run) { result = followJoin(plan, std::move(run), o); };
    switch (StartJoin(list, hooks)) {
    case StartJoinResult::Started: return result;
    case StartJoinResult::Declined: return g_signal ? signalExit() : Exit::Asked;
    case StartJoinResult::Refused: return Exit::Usage;
    case StartJoinResult::Busy: return Exit::Busy;
    case StartJoinResult::Failed: break;
    }
    return Exit::Failed;
}

int repair(const Options &o)
{
    ConsoleDialogs dialogs(o.yes, o.quiet);
    const QString input = QFileInfo(o.input).absoluteFilePath();
    if (const QString why = unreadable(o.input); !why.isEmpty()) {
        sayError(why);
        return Exit::Usage;
    }
    if (const QString problem = RepairChecks::inputProblem(input); !problem.isEmpty()) {
        sayError(problem);
        return Exit::Usage;
    }
    const QString output = o.files.isEmpty() ? RepairScript::outputFor(input) : QFileInfo(o.files.first()).absoluteFilePath();
    if (output == input || FileSystem::sameFile(output, input)) {
        sayError(QStringLiteral("The repaired file cannot replace the file it is made from: %1").arg(output));
        return Exit::Usage;
    }
    const Engine *engine = o.engine ? o.engine : &Engines::configured();
    std::unique_ptr<RunSession> lock;
    switch (StartRepair(input, output, engine, nullptr, lock)) {
    case StartRepairResult::Ready: break;
    case StartRepairResult::Refused: return Exit::Usage;
    case StartRepairResult::Declined: return Exit::Asked;
    case StartRepairResult::Busy: return Exit::Busy;
    case StartRepairResult::Failed: return Exit::Failed;
    }
    RepairRun job(std::move(lock), input, *engine, output);
    Progress progress(o.quiet);
    job.start();
    while (job.phase() != RepairRun::Phase::Ended) {
        if (job.phase() == RepairRun::Phase::Writing)
            progress.show(QStringLiteral("Repairing AVI File"), job.progress(), job.maximum(), QString());
        else
            progress.show(QStringLiteral("Fixing Index..."), 0, 0, QString());
        if (g_signal)
            job.cancel({}); // the next tick ends the run
        else
            job.pause(20);
        job.tick();
    }
    progress.end();
    RunSession::removeLeftovers(AppPaths::applicationSettingsPath());
    const RunStatus status = job.status();
    if (status.state == RunStatus::State::Finished && !o.quiet)
        sayVerdict(RepairChecks::repairedMessage(output) + (status.detail.isEmpty() ? QString() : QStringLiteral("\r\n") + status.detail));
    else if (status.state == RunStatus::State::Failed)
        sayVerdict(RepairChecks::notRepairedMessage(status.detail));
    return exitFor(status);
}

int check(const Options &o)
{
    ConsoleDialogs dialogs(o.yes, o.quiet);
    FileList list;
    if (const std::optional<int> failed = fillList(list, o))
        return *failed;
    const Compatibility::Explanation e = Compatibility::explain(list.listStatus(), list.count());
    QStringList questions;
    if (list.listStatus() == ListStatus::Red)
        questions << JoinChecks::redQuestion();
    refreshRowFacts(list, nullptr);
    const Carriage carriage = (o.engine ? *o.engine : Engines::configured()).carriage();
    questions += JoinChecks::streamQuestions(list, carriage, JoinChecks::planOf(list, carriage));
    if (!o.quiet || !questions.isEmpty() || list.listStatus() != ListStatus::Green) {
        sayVerdict(e.text);
        if (list.listStatus() == ListStatus::Green && !questions.isEmpty())
            sayVerdict(QStringLiteral("\n") + Compatibility::alsoAskedHeading());
        for (const QString &q : std::as_const(questions))
            sayVerdict(QStringLiteral("\r\n") + q);
    }
    return list.listStatus() == ListStatus::Green && questions.isEmpty() ? Exit::Whole : Exit::Asked;
}

} // namespace

QStringList CommandLineTool::argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

std::optional<int> CommandLineTool::runIfWanted(int argc, char *argv[])
{
    const QStringList arguments = argumentsOf(argc, argv);
    if (!wanted(arguments))
        return std::nullopt;
    QCoreApplication app(argc, argv); // no display is needed, nor the GUI's application
    QCoreApplication::setApplicationName(QStringLiteral("Tapeweld"));
    return run(arguments);
}

bool CommandLineTool::wanted(const QStringList &arguments)
{
    // Qt's own options are the window's: "-platform offscreen", "-style fusion".
    static const QStringList qtOptions{QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"), QStringLiteral("-platformtheme"),
                                       QStringLiteral("-plugin"), QStringLiteral("-style"), QStringLiteral("-stylesheet"),
                                       QStringLiteral("-session"), QStringLiteral("-display"), QStringLiteral("-geometry"),
                                       QStringLiteral("-title"), QStringLiteral("-name"), QStringLiteral("-qwindowgeometry"),
                                       QStringLiteral("-qwindowtitle"), QStringLiteral("-qwindowicon"), QStringLiteral("-reverse"),
                                       QStringLiteral("-widgetcount"), QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                       QStringLiteral("-sync"), QStringLiteral("-qmljsdebugger")};
    for (const QString &a : arguments) {
        if (a.startsWith(QStringLiteral("--")))
            return true;
        if (a.size() > 1 && a.startsWith(u'-') && !qtOptions.contains(a.section(u'=', 0, 0)))
            return true; // -h, -V, -q, -y and any unknown option: the command line says what it makes of it
    }
    return false;
}

namespace {
QString helpText()
{
    return QStringLiteral(
        "Usage:\n"
        "  tapeweld --join OUTPUT FILE...       join the files, in this order, into OUTPUT\n"
        "  tapeweld --join OUTPUT --list LIST   join the rows of a .tpw list file\n"
        "  tapeweld --repair INPUT [OUTPUT]     rebuild the index of INPUT into OUTPUT\n"
        "                                       (INPUT.fixed.avi when no OUTPUT is given)\n"
        "  tapeweld --check FILE...             print the status light and the questions a join would ask\n"
        "  tapeweld [/debug]                    start the window\n"
        "\n"
        "Options (before or after the files):\n"
        "  -y, --yes               go on past the checks' questions and replace an existing output\n"
        "  --engine encoder|builtin\n"
        "                          who writes the output (the setting [Join] Engine otherwise)\n"
        "  --debug                 write a debug log to the settings folder\n"
        "  -q, --quiet             print only questions, failures and their reasons\n"
        "  -h, --help              print this help\n"
        "  --version               print the version\n"
        "\n"
        "Exit status:\n"
        "  0    the output is whole (--check: the light is Green and nothing would be asked)\n"
        "  1    the join or repair failed; the reason was printed\n"
        "  2    usage: an unknown option, or a missing or unreadable file; nothing was written\n"
        "  3    a check asked, or the output exists, and --yes was not given; nothing was written\n"
        "  4    another join or repair of this user is running\n"
        "  130  interrupted (SIGINT), 143 terminated (SIGTERM), 129 the terminal closed (SIGHUP):\n"
        "       cancelled, nothing left behind\n");
}
} // namespace

int CommandLineTool::run(const QStringList &arguments)
{
    const Options o = parse(arguments);
    if (!o.error.isEmpty()) {
        sayError(o.error + QStringLiteral("\nTry: tapeweld --help"));
        return Exit::Usage;
    }
    if (o.mode == Options::Help) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return Exit::Whole;
    }
    if (o.mode == Options::Version) {
        std::printf("%s %s\n", Version::kTitle.toLatin1().constData(), Version::full().toLatin1().constData());
        return Exit::Whole;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr); // the terminal closed: the same clean end
    {
        ConsoleDialogs startup(false, o.quiet);
        StartUp::run(o.debug ? QStringList{QStringLiteral("/debug")} : QStringList());
    }
    setStatusCheck(&CheckCompatibility); // the refresh cascade ends in the status light, as in the window
    // Rows read in this process where Tapeweld reads them as AVI: no helper to start, no second reading.
    struct ReadItself
    {
        bool before = MediaProbe::readsAviItself();
        ReadItself() { MediaProbe::setReadAviItself(true); }
        ~ReadItself() { MediaProbe::setReadAviItself(before); }
    } readItself;
    switch (o.mode) {
    case Options::Join: return join(o);
    case Options::Repair: return repair(o);
    case Options::Check: return check(o);
    default: return Exit::Usage;
    }
}
