#include "BatchInterpreter.h"
#include "platform/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Between two looks at the script: small enough that a cancel stops a copy at once.
constexpr size_t kCopyStep = 16u << 20;

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Words with their quotes kept, so that "+" inside quotes stays part of a name.
std::vector<std::string> rawWords(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        if ((c == ' ' || c == '\t') && !quoted) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

std::string unquote(const std::string &raw)
{
    std::string out;
    for (const char c : raw)
        if (c != '"')
            out += c;
    return out;
}

std::vector<std::string> splitSources(const std::string &raw)
{
    std::vector<std::string> parts;
    std::string part;
    bool quoted = false;
    for (const char c : raw) {
        if (c == '"')
            quoted = !quoted;
        if (c == '+' && !quoted) {
            if (!part.empty())
                parts.push_back(unquote(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(unquote(part));
    return parts;
}

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

BatchInterpreter::BatchInterpreter(std::string scriptPath) : m_script(std::move(scriptPath)) {}

void BatchInterpreter::report(int error, const std::string &what) const
{
    std::fprintf(stderr, "error %d %s\n", error, what.c_str());
    std::fflush(stderr);
}

bool BatchInterpreter::scriptStillOurs() const
{
    struct stat now;
    return m_fd >= 0 && ::stat(m_script.c_str(), &now) == 0 && now.st_dev == m_device && now.st_ino == m_inode;
}

BatchInterpreter::Command BatchInterpreter::parse(const std::string &line)
{
    Command c;
    const std::vector<std::string> raw = rawWords(line);
    if (raw.empty())
        return c;
    const std::string command = lower(unquote(raw.front()));
    if (command == "exit") {
        c.kind = Command::Exit;
    } else if (command == "copy") {
        std::vector<std::string> operands;
        for (size_t i = 1; i < raw.size(); ++i)
            if (raw[i][0] != '/')
                operands.push_back(raw[i]);
        if (operands.size() < 2)
            return c;
        std::string sources;
        for (size_t i = 0; i + 1 < operands.size(); ++i)
            sources += operands[i];
        c.kind = Command::Copy;
        c.sources = splitSources(sources);
        c.target = unquote(operands.back());
    } else if (command == "del" || command == "rmdir") {
        c.kind = command == "del" ? Command::Delete : Command::RemoveFolder;
        for (size_t i = 1; i < raw.size(); ++i)
            c.args.push_back(unquote(raw[i]));
    } else if (command != "echo" && command != "@echo" && command != "rem") {
        c.kind = Command::Program;
        c.args = CommandLine::split(line);
    }
    return c;
}

bool BatchInterpreter::copyAll(int in, int out)
{
    size_t sinceLook = 0;
    // False once the script is gone; looked at every kCopyStep bytes.
    const auto goOn = [&] {
        if (sinceLook < kCopyStep)
            return true;
        sinceLook = 0;
        if (cancelled())
            m_stopped = true;
        return !m_stopped;
    };
    for (;;) {
        if (!goOn())
            return false;
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyStep, 0);
        if (n == 0)
            return true;
        if (n > 0) {
            sinceLook += static_cast<size_t>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return report(errno, "write"), false;
        break; // the kernel cannot do it here: plain read/write
    }
    static char buffer[1 << 20];
    for (;;) {
        if (!goOn())
            return false;
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return report(errno, "read"), false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return report(errno, "write"), false;
            }
            done += w;
        }
        sinceLook += static_cast<size_t>(n);
    }
}

bool BatchInterpreter::copyFiles(const std::vector<std::string> &sources, const std::string &target)
{
    if (sources.empty())
        return false;
    std::vector<struct stat> info(sources.size());
    for (size_t i = 0; i < sources.size(); ++i)
        if (::stat(sources[i].c_str(), &info[i]) != 0 || !S_ISREG(info[i].st_mode)) {
            report(errno ? errno : EINVAL, "source " + sources[i]);
            return false;
        }
    struct stat dst;
    const bool dstExists = ::lstat(target.c_str(), &dst) == 0;
    if (dstExists && S_ISLNK(dst.st_mode)) {
        report(ELOOP, "target " + target);
        return false;
    }
    const bool inPlace = dstExists && sameFile(dst, info.front());
    // A source that is the target itself would be read while it grows, or lost to the truncation.
    for (size_t i = inPlace ? 1 : 0; i < sources.size(); ++i)
        if (dstExists && sameFile(dst, info[i])) {
            report(EINVAL, "source is target " + sources[i]);
            return false;
        }

    // Not O_APPEND: copy_file_range refuses an appending descriptor.
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (inPlace ? 0 : O_TRUNC), 0644);
    if (out < 0) {
        report(errno, "target " + target);
        return false;
    }
    if (inPlace && ::lseek(out, 0, SEEK_END) < 0) {
        report(errno, "target " + target);
        ::close(out);
        return false;
    }
    bool ok = true;
    for (size_t i = inPlace ? 1 : 0; i < sources.size() && ok; ++i) {
        const int in = ::open(sources[i].c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) {
            report(errno, "source " + sources[i]);
            ok = false;
            break;
        }
        ok = copyAll(in, out);
        ::close(in);
    }
    if (::close(out) != 0 && ok) {
        report(errno, "write");
        ok = false;
    }
    return ok;
}

int BatchInterpreter::runProgram(const std::vector<std::string> &words)
{
    if (words.empty())
        return -1;
    std::vector<char *> argv;
    for (const std::string &w : words)
        argv.push_back(const_cast<char *>(w.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    // Wait, but keep looking at the script: a cancel deletes it and the
    // program (our own child) must not outlive the run.
    int status = 0;
    for (;;) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return -1;
        if (cancelled()) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            m_stopped = true;
            break;
        }
        ::usleep(20000);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "exit %d %s\n", WEXITSTATUS(status), words.front().c_str());
    else if (WIFSIGNALED(status))
        std::fprintf(stderr, "signal %d %s\n", WTERMSIG(status), words.front().c_str());
    std::fflush(stderr);
    return status;
}

bool BatchInterpreter::nextLine(std::string *line)
{
    if (m_fd < 0) {
        m_fd = ::open(m_script.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
            return false;
        m_device = st.st_dev;
        m_inode = st.st_ino;
    }
    if (m_stopped || cancelled())
        return false; // deleted or replaced by another script, or the program is gone: stop at once
    line->clear();
    char chunk[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = ::pread(m_fd, chunk, sizeof chunk, m_offset);
        if (n <= 0)
            break;
        any = true;
        const char *nl = static_cast<const char *>(memchr(chunk, '\n', static_cast<size_t>(n)));
        if (nl) {
            line->append(chunk, static_cast<size_t>(nl - chunk));
            m_offset += (nl - chunk) + 1;
            break;
        }
        line->append(chunk, static_cast<size_t>(n));
        m_offset += n;
    }
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return any;
}

void BatchInterpreter::execute(const Command &c)
{
    switch (c.kind) {
    case Command::Copy: (void)copyFiles(c.sources, c.target); break; // a failure is in the error log; the next line runs
    case Command::Delete:
        for (const std::string &p : c.args)
            if (::unlink(p.c_str()) != 0)
                report(errno, "del " + p);
        break;
    case Command::RemoveFolder:
        for (const std::string &p : c.args)
            if (::rmdir(p.c_str()) != 0)
                report(errno, "rmdir " + p);
        break;
    case Command::Program: runProgram(c.args); break;
    case Command::Nothing:
    case Command::Exit: break;
    }
}

int BatchInterpreter::run()
{
    std::string line;
    while (nextLine(&line)) {
        const Command c = parse(line);
        if (c.kind == Command::Exit)
            break;
        execute(c);
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    return 0;
}
