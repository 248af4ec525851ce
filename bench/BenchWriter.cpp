// Tapeweld's own writer on a RAM disk: 16 parts of about 85 MB joined by the
// writer (tapeweld-join), by the whole command (tapeweld --join --engine builtin),
// by a plain cat of the same parts (the floor of any lossless join) and by
// ffmpeg's concat; then an output of 4 GiB; then the writer's memory for a
// million frames. Figures from five rounds, each step from a settled cache.
#include "BenchSupport.h"
#include "support/AviBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QString q(const QString &p) { return u'\'' + p + u'\''; }

double seconds(const QString &shell)
{
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), shell});
    return static_cast<double>(t.elapsed()) / 1000;
}

// Peak resident size of a command, in MB (its own, as the kernel counted it).
long peakOf(const QStringList &argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<QByteArray> words;
        for (const QString &a : argv)
            words.push_back(QFile::encodeName(a));
        std::vector<char *> args;
        for (QByteArray &w : words)
            args.push_back(w.data());
        args.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage u{};
    ::wait4(pid, &status, 0, &u);
    return u.ru_maxrss / 1024;
}

struct Figures
{
    QList<double> cat, writer, command, ffmpeg;
};

QString median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    QStringList all;
    for (const double x : v)
        all << QString::number(x, 'f', 2);
    return QStringLiteral("%1 s (rounds: %2)").arg(v[v.size() / 2], 0, 'f', 2).arg(all.join(QStringLiteral(", ")));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchDefaults();
    const QString program = QStringLiteral(TW_PROGRAM_DIR);
    QTemporaryDir ram(QStringLiteral("/dev/shm/tapeweld-bench-XXXXXX"));
    const QString dir = ram.isValid() ? ram.path() : QDir::tempPath();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + QStringLiteral("/config")));
    std::printf("working in %s%s\n", qPrintable(dir), ram.isValid() ? " (RAM disk)" : "");

    const QString master = dir + QStringLiteral("/master.avi");
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("testsrc=size=640x480:rate=25,noise=alls=60:allf=t+u"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("sine=frequency=440:sample_rate=44100"), QStringLiteral("-t"), QStringLiteral("29"),
                       QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID"), QStringLiteral("-q:v"),
                       QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), master});
    const auto partsOf = [&](int n) {
        QStringList parts;
        for (int i = 0; i < n; ++i) {
            parts << dir + QStringLiteral("/part%1.avi").arg(i);
            if (!QFileInfo::exists(parts.last()))
                QFile::copy(master, parts.last());
        }
        return parts;
    };
    const auto quoted = [&](const QStringList &parts) {
        QString s;
        for (const QString &p : parts)
            s += u' ' + q(p);
        return s;
    };
    const QString out = dir + QStringLiteral("/out.avi");
    const auto run = [&](const QStringList &parts, int rounds) {
        Figures f;
        QString list;
        for (const QString &p : parts)
            list += QStringLiteral("file ") + q(p) + u'\n';
        QFile concat(dir + QStringLiteral("/concat.txt"));
        concat.open(QIODevice::WriteOnly);
        concat.write(list.toUtf8());
        concat.close();
        const auto settle = [&] {
            QFile::remove(out);
            ::sync();
        };
        // Each round starts with another of the four, so none always pays for a cold start.
        const QList<std::pair<QList<double> *, QString>> steps{
            {&f.cat, QStringLiteral("cat") + quoted(parts) + QStringLiteral(" > ") + q(out)},
            {&f.writer, q(program + QStringLiteral("/tapeweld-join")) + u' ' + q(out) + quoted(parts) + QStringLiteral(" > /dev/null")},
            {&f.command, q(program + QStringLiteral("/tapeweld")) + QStringLiteral(" --join ") + q(out) + QStringLiteral(" --engine builtin --yes --quiet")
                             + quoted(parts)},
            {&f.ffmpeg, QStringLiteral("ffmpeg -v error -y -f concat -safe 0 -i ") + q(concat.fileName()) + QStringLiteral(" -map 0 -c copy ") + q(out)},
        };
        for (int r = 0; r < rounds; ++r)
            for (qsizetype i = 0; i < steps.size(); ++i) {
                const auto &step = steps[(r + i) % steps.size()];
                settle();
                *step.first << seconds(step.second);
            }
        QFile::remove(out);
        return f;
    };

    const QStringList sixteen = partsOf(16);
    std::printf("parts: 16 x %.1f MB\n", static_cast<double>(QFileInfo(master).size()) / 1e6);
    const Figures f = run(sixteen, 5);
    std::printf("cat (the floor):      %s\n", qPrintable(median(f.cat)));
    std::printf("writer:               %s\n", qPrintable(median(f.writer)));
    std::printf("tapeweld --join:      %s\n", qPrintable(median(f.command)));
    std::printf("ffmpeg concat:        %s\n", qPrintable(median(f.ffmpeg)));
    const auto ratio = [](const QList<double> &a, const QList<double> &b) {
        QList<double> x = a, y = b;
        std::sort(x.begin(), x.end());
        std::sort(y.begin(), y.end());
        return x[x.size() / 2] / y[y.size() / 2];
    };
    std::printf("writer / cat %.2f, command / cat %.2f, writer / ffmpeg %.2f, command / ffmpeg %.2f\n", ratio(f.writer, f.cat),
                ratio(f.command, f.cat), ratio(f.writer, f.ffmpeg), ratio(f.command, f.ffmpeg));

    // An output of 4 GiB: 51 parts.
    const QStringList many = partsOf(static_cast<int>((4LL << 30) / QFileInfo(master).size()) + 1);
    const Figures big = run(many, 1);
    std::printf("4 GiB output (%lld parts): cat %.2f s, writer %.2f s, ffmpeg %.2f s\n", static_cast<long long>(many.size()), big.cat.first(),
                big.writer.first(), big.ffmpeg.first());
    for (const QString &p : many)
        QFile::remove(p);

    // Memory for a million frames: one part of a million small video chunks and its index.
    QByteArray movi;
    QByteArray idx1;
    movi.reserve(1000000 * 24);
    idx1.reserve(1000000 * 16);
    for (int i = 0; i < 1000000; ++i) {
        idx1 += AviBytes::chunk("00dc", {}).left(4) + AviBytes::u32(0x10) + AviBytes::u32(static_cast<quint32>(4 + movi.size()))
                + AviBytes::u32(16);
        movi += AviBytes::chunk("00dc", QByteArray(16, 'f'));
    }
    const QString million = dir + QStringLiteral("/million.avi");
    QFile m(million);
    m.open(QIODevice::WriteOnly);
    m.write(AviBytes::withMovi(movi, AviBytes::chunk("idx1", idx1)));
    m.close();
    std::printf("a million frames: writer peak %ld MB resident\n",
                peakOf({program + QStringLiteral("/tapeweld-join"), out, million, million}));
    std::printf("(two parts of a million frames each: the output's index, one RIFF at a time, and one part's chunks)\n");
    return 0;
}
