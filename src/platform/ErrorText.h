#pragma once
#include <QString>

// What went wrong, in a user's words, for an errno value: "the disk is full",
// "permission denied", "the disk is read-only", ... never "Unknown error".
namespace ErrorText {
QString of(int error);
// The same as a sentence: capital first letter, full stop.
QString sentence(const QString &text);
} // namespace ErrorText
