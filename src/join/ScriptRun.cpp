#include "ScriptRun.h"
#include "app/AppPaths.h"
#include "platform/PathRules.h"
#include "platform/Processes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

ScriptRun::ScriptRun(const QString &settingsPath) : m_lock(settingsPath) {}

ScriptRun::~ScriptRun() { stop(); } // the lock is released after, with its member

bool ScriptRun::acquire() { return m_lock.tryAcquire(); }

QString ScriptRun::errorLogOf(const QString &script)
{
    QString log = script;
    if (log.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive))
        log.chop(4);
    return log + QStringLiteral(".log");
}

QString ScriptRun::busyMessage()
{
    return QStringLiteral("Tapeweld is already joining or repairing files, in this or another window.\r\n"
                          "Please, wait until it has finished, then try again.");
}

QString ScriptRun::settingsFolderProblem(const QString &command, const QString &script)
{
    const QString folder = AppPaths::applicationSettingsPath();
    const QString problem = PathRules::scriptProblem(folder);
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("Tapeweld cannot %1 files: the path of its settings folder holds %2, which %3 cannot carry.\r\n\r\n%4")
        .arg(command, problem, script, folder);
}

bool ScriptRun::start(const QString &script)
{
    stop();
    const QString program = AppPaths::programFolder();
    m_child = Processes::startScript(program + QStringLiteral("/tapeweld-cmd"), script, errorLogOf(script),
                                     m_lock.descriptor(), program);
    return m_child > 0;
}

bool ScriptRun::running()
{
    if (m_child > 0 && Processes::hasEnded(m_child))
        m_child = -1;
    return m_child > 0;
}

void ScriptRun::stop()
{
    if (m_child > 0)
        Processes::endGroup(m_child);
    m_child = -1;
}

bool ScriptRun::waitForEnd(int waitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (running() && waited.elapsed() < waitMs) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return !running();
}
