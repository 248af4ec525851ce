#include "BatchInterpreter.h"
#include "../CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

bool isRegularFile(const std::string &path, struct stat *st)
{
    return ::stat(path.c_str(), st) == 0 && S_ISREG(st->st_mode);
}

bool copyAll(int in, int out)
{
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break; // the kernel cannot do it here: plain read/write
    }
    static char buffer[1 << 20];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += w;
        }
    }
}

int runProgram(const std::vector<std::string> &words)
{
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
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

BatchInterpreter::BatchInterpreter(std::string scriptPath) : m_script(std::move(scriptPath)) {}

bool BatchInterpreter::copyFiles(const std::vector<std::string> &sources, const std::string &target)
{
    if (sources.empty())
        return false;
    struct stat st;
    for (const std::string &s : sources)
        if (!isRegularFile(s, &st))
            return false;
    struct stat first, dst;
    isRegularFile(sources.front(), &first);
    const bool inPlace = ::stat(target.c_str(), &dst) == 0 && dst.st_dev == first.st_dev && dst.st_ino == first.st_ino;

    // Not O_APPEND: copy_file_range refuses an appending descriptor.
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | (inPlace ? 0 : O_TRUNC), 0644);
    if (out < 0)
        return false;
    if (inPlace && ::lseek(out, 0, SEEK_END) < 0) {
        ::close(out);
        return false;
    }
    bool ok = true;
    for (size_t i = inPlace ? 1 : 0; i < sources.size() && ok; ++i) {
        const int in = ::open(sources[i].c_str(), O_RDONLY);
        if (in < 0) {
            ok = false;
            break;
        }
        ok = copyAll(in, out);
        ::close(in);
    }
    return ::close(out) == 0 && ok;
}

bool BatchInterpreter::nextLine(std::string *line)
{
    const int fd = ::open(m_script.c_str(), O_RDONLY);
    if (fd < 0)
        return false; // the script is gone: stop at once
    line->clear();
    char chunk[4096];
    bool any = false;
    for (;;) {
        const ssize_t n = ::pread(fd, chunk, sizeof chunk, m_offset);
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
    ::close(fd);
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    return any;
}

void BatchInterpreter::execute(const std::string &line)
{
    const std::vector<std::string> raw = rawWords(line);
    if (raw.empty())
        return;
    const std::string command = lower(unquote(raw.front()));
    if (command == "copy") {
        std::vector<std::string> operands;
        for (size_t i = 1; i < raw.size(); ++i)
            if (raw[i][0] != '/')
                operands.push_back(raw[i]);
        if (operands.size() < 2)
            return;
        std::string sources;
        for (size_t i = 0; i + 1 < operands.size(); ++i)
            sources += operands[i];
        copyFiles(splitSources(sources), unquote(operands.back()));
    } else if (command == "del") {
        for (size_t i = 1; i < raw.size(); ++i)
            ::unlink(unquote(raw[i]).c_str());
    } else if (command == "rmdir") {
        for (size_t i = 1; i < raw.size(); ++i)
            ::rmdir(unquote(raw[i]).c_str());
    } else if (command != "echo" && command != "@echo" && command != "rem") {
        runProgram(CommandLine::split(line));
    }
}

int BatchInterpreter::run()
{
    std::string line;
    while (nextLine(&line)) {
        const std::vector<std::string> raw = rawWords(line);
        if (!raw.empty() && lower(raw.front()) == "exit")
            break;
        execute(line);
    }
    return 0;
}
