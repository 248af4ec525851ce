// The interpreter's line and word splitting and its command parsing, with all
// effects left out: any line parses without harm, and a Copy line written the
// way the join writes it gives back exactly its sources and its target.
#include "FuzzCheck.h"
#include "platform/CommandLine.h"
#include "platform/cmd/BatchInterpreter.h"

#include <string>
#include <vector>

namespace {
std::vector<std::string> pathsIn(const std::string &s)
{
    std::vector<std::string> out;
    std::string cur;
    for (const char c : s) {
        if (c == '\x01') {
            out.push_back(cur);
            cur.clear();
        } else if (c != '"' && c != '\r' && c != '\n' && c != '\0') {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    BatchInterpreter::parse(text);
    const std::vector<std::string> words = CommandLine::split(text);
    for (const std::string &w : words)
        FUZZ_CHECK(w.find('"') == std::string::npos);

    // Paths as the join script carries them: quoted, no quote, CR, LF or NUL inside.
    std::vector<std::string> paths = pathsIn(text);
    for (const std::string &p : paths)
        if (p.empty())
            return 0;
    if (paths.size() < 2)
        return 0;
    const std::string target = paths.back();
    paths.pop_back();
    std::string line = "Copy /b ";
    for (size_t i = 0; i < paths.size(); ++i)
        line += (i ? "+\"" : "\"") + paths[i] + "\"";
    line += " \"" + target + "\"";
    const BatchInterpreter::Command c = BatchInterpreter::parse(line);
    FUZZ_CHECK(c.kind == BatchInterpreter::Command::Copy);
    FUZZ_CHECK(c.sources == paths);
    FUZZ_CHECK(c.target == target);

    // A program line: quoted words come back as they were.
    std::string program;
    for (const std::string &p : paths)
        program += "\"" + p + "\" ";
    FUZZ_CHECK(CommandLine::split(program) == paths);
    return 0;
}
