#include "RepairChecks.h"
#include "compat/CarryCheck.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QFile>
#include <sys/stat.h>

QString RepairChecks::inputProblem(const QString &input)
{
    // A pipe or a device would keep the encoder waiting; a folder is no file.
    if (!FileSystem::isRegularFile(input))
        return QStringLiteral("Please, choose a valid AVI File.");
    if (const QString problem = PathRules::scriptProblem(input); !problem.isEmpty())
        return QStringLiteral("This file's name holds ") + problem
               + QStringLiteral(", which the repair script cannot carry.\r\nPlease, rename the file and try again.");
    return QString();
}

RepairChecks::Output RepairChecks::outputState(const QString &output)
{
    struct stat st;
    if (::lstat(QFile::encodeName(output).constData(), &st) != 0)
        return Output::Free;
    return S_ISLNK(st.st_mode) ? Output::Link : Output::Exists;
}

QString RepairChecks::linkMessage(const QString &output)
{
    return QStringLiteral("The repaired file would be written to\r\n") + output
           + QStringLiteral("\r\nbut that name is a link to another file, which Tapeweld will not write through.\r\n"
                            "Please, rename or remove the link and try again.");
}

QString RepairChecks::streamsQuestion(const Avi::Summary &input, const Carriage &carriage)
{
    if (!input.isAvi())
        return QString();
    QStringList lost;
    const int sound = input.countOf(Avi::Kind::Audio);
    if (sound > 1 && !carriage.everySoundTrack)
        lost << QStringLiteral("This file has %1 sound tracks, and the %2 keeps one: the repaired file will have only the first.")
                    .arg(sound)
                    .arg(carriage.who);
    if (input.countOf(Avi::Kind::Text) > 0 && !carriage.text)
        lost << QStringLiteral("This file has a text stream, which the %1 does not keep: the repaired file will have none.").arg(carriage.who);
    if (CarryCheck::rowLosingKeyFrames({input}, carriage))
        lost << QStringLiteral("This file's video is coded in a way whose key frames the %1 cannot tell: the repaired file will mark every frame as one, "
                               "and seeking in it will show damaged pictures.")
                    .arg(carriage.who);
    if (lost.isEmpty())
        return QString();
    return lost.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\nWould you like to repair it anyway?");
}

QString RepairChecks::repairedMessage(const QString &output)
{
    return QStringLiteral("The selected AVI File has been repaired successfully!\r\n\r\nThe repaired file has been saved to:\r\n") + output;
}

QString RepairChecks::notRepairedMessage(const QString &why)
{
    return QStringLiteral("An error occured while repairing your AVI File!\r\nThe selected AVI File was not repaired.")
           + (why.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + why);
}
