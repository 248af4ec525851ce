#include "RunSession.h"
#include "RunFiles.h"
#include "app/AppPaths.h"
#include "platform/ErrorText.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/UniqueFd.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Writes a script as a new file renamed over the old: an interpreter still
// reading the old script sees another file and stops instead of reading on.
Result writeScript(const QString &path, const QByteArray &content)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray fresh = target + ".new";
    ::unlink(fresh.constData());
    UniqueFd fd(::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd)
        return Result::failure(ErrorText::of(errno));
    if (!FileSystem::writeAll(fd.get(), content.constData(), content.size())) {
        const int e = errno;
        fd.reset();
        ::unlink(fresh.constData());
        return Result::failure(ErrorText::of(e));
    }
    if (fd.close() != 0 || ::rename(fresh.constData(), target.constData()) != 0) {
        const int e = errno;
        ::unlink(fresh.constData());
        return Result::failure(ErrorText::of(e));
    }
    return {};
}

// Copies a shipped program over an older copy, runnable by its owner.
Result copyExecutable(const QString &from, const QString &to)
{
    const UniqueFd in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (!in)
        return Result::failure(ErrorText::of(errno));
    ::unlink(QFile::encodeName(to).constData());
    UniqueFd out(::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
    if (!out)
        return Result::failure(ErrorText::of(errno));
    int error = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        if (!FileSystem::writeAll(out.get(), buffer, n)) {
            error = errno;
            break;
        }
    }
    if (out.close() != 0 && error == 0)
        error = errno;
    if (error) {
        ::unlink(QFile::encodeName(to).constData());
        return Result::failure(ErrorText::of(error));
    }
    return {};
}

bool removeFile(const QString &path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}
} // namespace

RunSession::RunSession(const QString &settingsPath) : m_lock(settingsPath), m_settingsPath(settingsPath) {}

RunSession::~RunSession() { stop(); } // the lock is released after, with its member

bool RunSession::acquire() { return m_lock.tryAcquire(); }

QString RunSession::busyMessage()
{
    return QStringLiteral("Tapeweld is already joining or repairing files, in this or another window.\r\n"
                          "Please, wait until it has finished, then try again.");
}

QString RunSession::settingsFolderProblem(const QString &command, const QString &script)
{
    const QString folder = AppPaths::applicationSettingsPath();
    const QString problem = PathRules::scriptProblem(folder);
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("Tapeweld cannot %1 files: the path of its settings folder holds %2, which %3 cannot carry.\r\n\r\n%4")
        .arg(command, problem, script, folder);
}

Result RunSession::prepare(const QList<ScriptFile> &scripts)
{
    if (!held())
        return Result::failure(busyMessage().section(u'\r', 0, 0));
    removeWorkFiles();
    m_scripts.clear();
    if (scripts.isEmpty())
        return {}; // the built-in writer needs no script and no encoder
    for (const QString &old : {RunFiles::firstScript(), RunFiles::secondScript()})
        if (QFileInfo::exists(old) || QFileInfo(old).isSymLink())
            return Result::failure(QStringLiteral("the script of an earlier run could not be removed: ") + old);
    if (const Result copied = copyExecutable(RunFiles::shippedEncoder(), RunFiles::encoderCopy()); !copied.ok())
        return Result::failure(QStringLiteral("the encoder could not be copied to %1 (%2)").arg(RunFiles::encoderCopy(), copied.why()));
    // Nothing is shipped under the thread library's name here: its copy fails, as any failed copy, without a word.
    (void)copyExecutable(RunFiles::shippedThreadLib(), RunFiles::threadLibCopy());
    for (const ScriptFile &script : scripts) {
        m_scripts << script.path;
        if (const Result written = writeScript(script.path, script.content); !written.ok())
            return Result::failure(QStringLiteral("the script %1 could not be written (%2)").arg(script.path, written.why()));
    }
    return {};
}

bool RunSession::launch(bool program, const std::function<pid_t()> &spawn)
{
    stop();
    m_end = {End::Running, 0, m_runner};
    m_program = program;
    m_pending.clear();
    m_child = held() ? spawn() : -1;
    if (m_child > 0)
        return true;
    m_child = -1;
    m_end.kind = End::NotStarted;
    return false;
}

void RunSession::startProgram(const QStringList &argv, const QString &errorLog, const QString &what)
{
    m_runner = what;
    launch(true, [&] { return Processes::startProgram(argv, errorLog, m_lock.descriptor(), AppPaths::programFolder(), &m_output); });
}

QList<QByteArray> RunSession::readLines()
{
    char buffer[4096];
    for (ssize_t n; m_output >= 0 && (n = ::read(m_output, buffer, sizeof buffer)) > 0;)
        m_pending.append(buffer, n);
    QList<QByteArray> lines;
    for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1))
        lines << m_pending.left(end);
    return lines;
}

void RunSession::start(const QString &script)
{
    m_runner = QStringLiteral("the interpreter tapeweld-cmd");
    const bool started = launch(false, [&] {
        if (!FileSystem::folderExists(RunFiles::workFolder()))
            QDir().mkdir(RunFiles::workFolder());
        return Processes::startScript(RunFiles::interpreter(), script, RunFiles::errorLogOf(script), m_lock.descriptor(),
                                      AppPaths::programFolder());
    });
    if (!started && held())
        QDir().rmdir(RunFiles::workFolder()); // ours, and nothing will remove it
}

bool RunSession::scriptEnded()
{
    if (m_end.kind != End::Running)
        return true;
    const Processes::ChildStatus child = Processes::poll(m_child);
    if (child.ended()) {
        m_child = -1;
        if (child.kind == Processes::ChildStatus::Signalled)
            m_end = {End::Signalled, child.code, m_runner};
        else if (child.kind == Processes::ChildStatus::Exited && child.code != 0)
            m_end = {End::Exited, child.code, m_runner};
        else
            m_end = {End::Completed, 0, m_runner};
        return true;
    }
    if (!m_program && !FileSystem::pathExists(RunFiles::workFolder())) {
        m_end = {End::Completed, 0, m_runner}; // its last line ran; the interpreter is about to exit
        return true;
    }
    return false;
}

bool RunSession::stalled()
{
    if (m_child <= 0 || m_end.kind != End::Running)
        return false;
    if (m_sinceLook.isValid() && m_sinceLook.elapsed() < std::min(1000, stallLimitMs / 4))
        return false;
    m_sinceLook.start();
    const qint64 activity = Processes::groupInputOutput(m_child);
    if (activity != m_activity || !m_sinceActivity.isValid()) {
        m_activity = activity;
        m_sinceActivity.start();
        return false;
    }
    return m_sinceActivity.elapsed() >= stallLimitMs;
}

QString RunSession::stalledReason(const QString &who)
{
    const int seconds = stallLimitMs / 1000;
    return QStringLiteral("The %1 did nothing for %2 and was stopped.")
        .arg(who, seconds % 60 == 0 ? QStringLiteral("%1 minutes").arg(seconds / 60) : QStringLiteral("%1 seconds").arg(seconds));
}

QString RunSession::End::failure() const
{
    switch (kind) {
    case NotStarted: return QStringLiteral("%1 could not be run").arg(runner);
    case Exited: return QStringLiteral("%1 stopped with exit code %2").arg(runner).arg(code);
    case Signalled: return QStringLiteral("%1 was stopped (signal %2)").arg(runner).arg(code);
    case Running:
    case Completed:
    case Cancelled: break;
    }
    return QString();
}

void RunSession::stop()
{
    if (m_child > 0)
        Processes::endGroup(m_child);
    m_child = -1;
    if (m_output >= 0)
        ::close(m_output);
    m_output = -1;
}

bool RunSession::waitForEnd(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (m_child > 0 && !Processes::poll(m_child).ended() && waited.elapsed() < waitMs) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    const bool ended = m_child <= 0 || Processes::poll(m_child).kind != Processes::ChildStatus::Running;
    if (ended)
        m_child = -1;
    return ended;
}

void RunSession::removeWorkFiles()
{
    QDir().rmdir(RunFiles::workFolder());
    for (const QString &script : {RunFiles::firstScript(), RunFiles::secondScript()}) {
        removeFile(script);
        removeFile(script + QStringLiteral(".new"));
        removeFile(RunFiles::errorLogOf(script));
    }
    removeFile(RunFiles::writerLog());
    removeFile(RunFiles::encoderCopy());
    removeFile(RunFiles::threadLibCopy());
}

void RunSession::cancel(const QStringList &partialFiles, const std::function<void()> &whileWaiting)
{
    if (held()) {
        // A deleted script stops its interpreter after the step it is in (a copy
        // is cut short), and the interpreter ends the program it runs; a program
        // of our own is simply ended.
        for (const QString &script : std::as_const(m_scripts))
            removeFile(script);
        if (!m_program)
            waitForEnd(kStopWaitMs);
        stop(); // whatever of our own run is still there
        removeWorkFiles();
    }
    m_end = {End::Cancelled, 0, m_runner};
    // A file another program keeps open is left behind rather than waited for forever.
    removeWithin(partialFiles, kCancelWaitMs, whileWaiting);
}

void RunSession::close()
{
    if (held()) {
        stop();
        removeWorkFiles();
    }
    m_lock.release();
}

void RunSession::release()
{
    stop();
    m_lock.release();
}

void RunSession::removeLeftovers(const QString &settingsPath)
{
    RunSession cleanup(settingsPath);
    if (cleanup.acquire())
        cleanup.removeWorkFiles();
}

bool RunSession::removeWithin(const QStringList &files, int waitMs, const std::function<void()> &beforeEachTry)
{
    auto anyLeft = [&] { return std::any_of(files.begin(), files.end(), [](const QString &f) { return FileSystem::pathExists(f); }); };
    QElapsedTimer waited;
    waited.start();
    while (anyLeft() && waited.elapsed() < waitMs) {
        if (beforeEachTry)
            beforeEachTry();
        for (const QString &f : files)
            removeFile(f);
        QCoreApplication::processEvents();
        if (anyLeft())
            QThread::msleep(20);
    }
    return !anyLeft();
}
