// tapeweld-join: Tapeweld's own AVI writer, run as a process of the join (or
// the repair) so that a cancel can end it at once and a file that stalls or
// breaks it takes nothing else down. Its arguments and lines: WriterProtocol.
#include "AviJoiner.h"
#include "WriterProtocol.h"

#include <QElapsedTimer>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
void say(FILE *to, const QByteArray &line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), to);
    std::fflush(to);
}
} // namespace

int main(int argc, char **argv)
{
    // A killed program's join must not go on writing and holding its lock.
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        return 1;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const WriterProtocol::Request request = WriterProtocol::parse(args);
    if (!request.error.isEmpty()) {
        say(stderr, WriterProtocol::failureLine(request.error));
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    AviJoiner::Progress progress;
    progress.copied = [&](qint64 consumed) {
        if (last >= 0 && clock.elapsed() - last < 50)
            return;
        last = clock.elapsed();
        say(stdout, WriterProtocol::copyLine(consumed));
    };
    progress.indexing = [] { say(stdout, WriterProtocol::indexLine()); };
    const Avi::Index source = request.repair ? Avi::Index::Ignored : Avi::Index::Trusted;
    const Result r = AviJoiner(request.parts, request.output, request.seams, source).run(progress);
    if (!r.ok()) {
        say(stderr, WriterProtocol::failureLine(r.why()));
        return 1;
    }
    say(stdout, WriterProtocol::doneLine());
    return 0;
}
