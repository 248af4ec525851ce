#include "Processes.h"
#include "CommandLine.h"
#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <unistd.h>
#include <sys/stat.h>

QString Processes::imageNameOf(pid_t pid)
{
    const QString base = QStringLiteral("/proc/%1/").arg(pid);
    QString target = QFile::symLinkTarget(base + QStringLiteral("exe"));
    if (!target.isEmpty()) {
        if (target.endsWith(QStringLiteral(" (deleted)")))
            target.chop(10);
        return target.mid(target.lastIndexOf(u'/') + 1);
    }
    QFile comm(base + QStringLiteral("comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromUtf8(comm.readAll()).trimmed();
    return QString();
}

void Processes::terminateByName(const QString &name)
{
    if (name.isEmpty())
        return;
    const QString wanted = name.toLower();
    const uid_t me = ::getuid();
    const pid_t self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok || pid == self)
            continue;
        struct stat st;
        if (::stat(QFile::encodeName(QStringLiteral("/proc/") + entry).constData(), &st) != 0 || st.st_uid != me)
            continue;
        if (imageNameOf(pid).toLower().endsWith(wanted))
            ::kill(pid, SIGKILL);
    }
}

bool Processes::launchHidden(const QString &commandLine, const QString &interpreterFolder,
                             const QString &workingFolder)
{
    const std::vector<std::string> words = CommandLine::split(commandLine.toStdString());
    if (words.empty())
        return false;
    QString program = QString::fromStdString(words.front());
    QStringList arguments;
    for (size_t i = 1; i < words.size(); ++i)
        arguments << QString::fromStdString(words[i]);
    if (program.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive)) {
        arguments.prepend(program);
        program = interpreterFolder + FileSystem::kSeparator + QStringLiteral("tapeweld-cmd");
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    // startDetached double-forks and calls setsid(): no terminal, no zombie.
    return process.startDetached();
}
