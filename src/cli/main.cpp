#include "cli/CommandLineTool.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

// The program users start. A join, a repair or a check runs here, in a process
// that loads neither the window libraries nor the media library, so that it
// starts in a few milliseconds; the window is the window program beside it,
// which takes this process's place (same process, same arguments).
int main(int argc, char *argv[])
{
    if (const std::optional<int> exit = CommandLineTool::runIfWanted(argc, argv))
        return *exit;
    // Beside this program's file, however it was reached (the launcher in bin is a link);
    // never a program of that name in the current folder.
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        std::fprintf(stderr, "tapeweld: the program's own folder could not be found (/proc/self/exe): %s\n", std::strerror(errno));
        return 127;
    }
    const std::string window = path.substr(0, slash + 1) + "tapeweld-window";
    ::execv(window.c_str(), argv);
    std::fprintf(stderr, "tapeweld: the window program %s could not be started: %s\n", window.c_str(), std::strerror(errno));
    return 127;
}
