#pragma once
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

// Runs the few commands the join and repair scripts use. The script is read
// afresh before every line, from the offset after the previous one. It stops
// as soon as its script is deleted or replaced by another file, also in the
// middle of a copy or while a program it started runs (that program is killed):
// a cancel that deletes the script thus ends everything this run started.
//
// Failures go to standard error as "error ERRNO WHAT" and "exit STATUS" lines,
// which the program reads to tell the user why a run failed.
class BatchInterpreter
{
public:
    explicit BatchInterpreter(std::string scriptPath);
    int run();

    // Copy /b semantics: DST equal to the first source appends the rest in
    // place; otherwise DST is created or truncated and gets every source.
    // A missing source leaves DST untouched; DST is never opened through a
    // symbolic link and never gets itself appended. Returns false on failure.
    [[nodiscard]] bool copyFiles(const std::vector<std::string> &sources, const std::string &target);

    // A parsed script line; nothing is run (the fuzz harness checks it).
    struct Command
    {
        enum Kind { Nothing, Exit, Copy, Delete, RemoveFolder, Program } kind = Nothing;
        std::vector<std::string> sources; // Copy
        std::string target;               // Copy
        std::vector<std::string> args;    // Delete, RemoveFolder: paths; Program: argv
    };
    static Command parse(const std::string &line);

    // False once the script is gone or is another file than the one started.
    bool scriptStillOurs() const;
    // Running from a script that is no longer ours (never true outside run()),
    // or for a program that is gone: a killed program's run must not go on
    // holding its lock and writing its files.
    bool cancelled() const { return m_fd >= 0 && (!scriptStillOurs() || ::getppid() != m_parent); }

private:
    bool nextLine(std::string *line);
    void execute(const Command &command);
    int runProgram(const std::vector<std::string> &argv);
    bool copyAll(int in, int out);
    void report(int error, const std::string &what) const;

    std::string m_script;
    int m_fd = -1; // held open: its inode cannot be reused for a new script while we run
    dev_t m_device = 0;
    ino_t m_inode = 0;
    long long m_offset = 0;
    bool m_stopped = false;
    pid_t m_parent = ::getppid();
};
