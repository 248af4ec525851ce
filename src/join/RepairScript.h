#pragma once
#include <QByteArray>
#include <QString>

namespace RepairScript {
inline QString outputFor(const QString &input) { return input + QStringLiteral(".fixed.avi"); }
// The eight lines that run the encoder on input into output and then remove the work folder.
QByteArray text(const QString &settingsPath, const QString &input, const QString &output);
// Writing-phase percentage: value/max x 100 in single precision, ties to even; 0 for max 0.
int percent(double value, double max);
} // namespace RepairScript
