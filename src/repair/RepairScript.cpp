#include "RepairScript.h"
#include "app/Version.h"
#include "join/JoinScripts.h"

#include <cmath>

QByteArray RepairScript::text(const QString &settingsPath, const QString &input)
{
    const QString lines[] = {QStringLiteral("@echo off"),
                             QStringLiteral("echo Generated with Tapeweld"),
                             QStringLiteral("echo Visit us at: ") + Version::kWebAddress,
                             QStringLiteral("echo Fixing AVI File..."),
                             JoinScripts::encoderLine(settingsPath, input, outputFor(input)),
                             QStringLiteral("echo AVI File has been fixed!"),
                             QStringLiteral("rmdir \"") + settingsPath + QStringLiteral("/JoinTemp\""),
                             QStringLiteral("exit")};
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + "\r\n";
    return out;
}

int RepairScript::percent(double value, double max)
{
    if (max <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<float>(value / max * 100)));
}
