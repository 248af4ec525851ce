#pragma once
#include <string>
#include <vector>

// Splits a command line the way the batch interpreter does: blanks separate
// words, double quotes group and are removed, backslashes are plain text
// (a Linux name may hold one). Plain C++ so the interpreter shares it.
namespace CommandLine {
std::vector<std::string> split(const std::string &line);
}
