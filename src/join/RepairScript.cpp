#include "RepairScript.h"
#include "join/JoinScripts.h"

#include <cmath>

QByteArray RepairScript::text(const QString &settingsPath, const QString &input, const QString &output)
{
    return JoinScripts::text(JoinScripts::header()
                             + QStringList{QStringLiteral("echo Fixing AVI File..."),
                                           JoinScripts::encoderLine(settingsPath, input, output),
                                           QStringLiteral("echo AVI File has been fixed!"), JoinScripts::rmdirLine(settingsPath),
                                           QStringLiteral("exit")});
}

int RepairScript::percent(double value, double max)
{
    if (max <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<float>(value / max * 100)));
}
