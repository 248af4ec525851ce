#pragma once
#include "compat/Carriage.h"
#include "avi/AviSummary.h"

#include <QString>

// What is settled before a repair runs, in the window and on the command line.
namespace RepairChecks {
// Why the input cannot be repaired at all, as the message to show; empty when it can.
QString inputProblem(const QString &input);

enum class Output { Free, Exists, Link };
// The output "<input>.fixed.avi" is free, an existing file to replace after a
// question, or a symbolic link, which is never written through.
Output outputState(const QString &output);
QString linkMessage(const QString &output);
inline QString replaceQuestion() { return QStringLiteral("Would you like to overwrite the existing file?"); }
inline QString replaceTitle() { return QStringLiteral("File Already Exists!"); }

// What the user is told when a repair ended.
QString repairedMessage(const QString &output);
QString notRepairedMessage(const QString &why);

// The question asked when the engine would not keep every stream of the input;
// empty when it keeps them all.
QString streamsQuestion(const Avi::Summary &input, const Carriage &carriage);
} // namespace RepairChecks
