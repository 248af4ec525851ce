#pragma once
#include <QString>

// What a path must not hold to travel through a script line or a list row
// unchanged. Below the list, the join and the repair, which all ask here.
namespace PathRules {
// Why a script line cannot carry the path ("a double quote", ...); empty when it can.
// A double quote would split the line, CR or LF would add a line that runs as a
// program, NUL would cut the name, and U+FFFD stands for bytes that were not
// valid UTF-8: the name it makes may be another file's.
QString scriptProblem(const QString &path);
inline bool canCarryInScript(const QString &path) { return scriptProblem(path).isEmpty(); }
// The same, and no "|", which would split a list-file or clipboard row.
QString listProblem(const QString &path);
inline bool canCarryInList(const QString &path) { return listProblem(path).isEmpty(); }
} // namespace PathRules
