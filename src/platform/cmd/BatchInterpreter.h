#pragma once
#include <string>
#include <vector>

// Runs the few commands the join and repair scripts use. The script is read
// afresh before every line, from the offset after the previous one, so that a
// script deleted by a cancel stops after the command that is running.
class BatchInterpreter
{
public:
    explicit BatchInterpreter(std::string scriptPath);
    int run();

    // Copy /b semantics: DST equal to the first source appends the rest in
    // place; otherwise DST is created or truncated and gets every source.
    // A missing source leaves DST untouched. Returns false on any failure.
    static bool copyFiles(const std::vector<std::string> &sources, const std::string &target);

private:
    bool nextLine(std::string *line);
    void execute(const std::string &line);

    std::string m_script;
    long long m_offset = 0;
};
