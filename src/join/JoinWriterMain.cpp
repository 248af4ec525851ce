// tapeweld-join: Tapeweld's own AVI writer, run as a process of the join (or
// the repair) so that a cancel can end it at once and a file that stalls or
// breaks it takes nothing else down.
//   tapeweld-join OUTPUT PART...       join the parts into OUTPUT
//   tapeweld-join --repair OUTPUT IN   index IN anew into OUTPUT, walking its chunks
// Standard output: "copy N" (bytes of the parts written), "index", "done".
// Standard error: "failed REASON" when it fails (exit status 1).
#include "AviJoiner.h"

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <unistd.h>

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
    const bool repair = !args.isEmpty() && args.first() == QStringLiteral("--repair");
    if (repair)
        args.removeFirst();
    if (args.size() < 2 || (repair && args.size() != 2)) {
        std::fprintf(stderr, "failed usage: tapeweld-join [--repair] OUTPUT PART...\n");
        return 2;
    }
    const QString output = args.takeFirst();
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    AviJoiner::Progress progress;
    progress.copied = [&](qint64 consumed) {
        if (last >= 0 && clock.elapsed() - last < 50)
            return;
        last = clock.elapsed();
        std::printf("copy %lld\n", static_cast<long long>(consumed));
        std::fflush(stdout);
    };
    progress.indexing = [] {
        std::printf("index\n");
        std::fflush(stdout);
    };
    const Result r = AviJoiner(args, output, repair ? AviJoiner::Source::Walk : AviJoiner::Source::Indexes).run(progress);
    if (!r.ok()) {
        std::fprintf(stderr, "failed %s\n", r.why().toUtf8().constData());
        return 1;
    }
    std::printf("done\n");
    return 0;
}
