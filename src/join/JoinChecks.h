#pragma once
#include "app/JoinEngine.h"

#include <QString>
#include <QStringList>
class FileList;

// The questions a join asks before its output dialog, shared by the window's
// join command and the command line's --check, with the same words.
namespace JoinChecks {
// Asked when the status light is Red.
QString redQuestion();
// What the rows' facts say a join cannot carry, and parts that do not end where
// their chunks end: each a question, in the order they are asked. The facts must
// be up to date (RefreshRowFacts).
QStringList streamQuestions(const FileList &list, JoinEngine engine);
} // namespace JoinChecks
