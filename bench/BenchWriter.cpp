// Tapeweld's own writer against the floor of any lossless join (cat), the file
// system's own copy where it shares blocks (cp --reflink) and ffmpeg's concat,
// each the median and the fastest of alternating rounds (each round starts with
// another step, every other round runs them backwards, so none always pays for
// a cold start or for the step before it), with the ratios between them:
// - on a RAM disk, 2 to 256 parts of the same 1.36 GB, by the writer alone
//   (tapeweld-join) and by the whole command (tapeweld --join --engine builtin);
// - on the disk of the temporary folder, warm, then cold (caches dropped before
//   each step) and capped at 1,000 read requests a second (a USB stick, a hard
//   disk or a network share), when run as root;
// - on XFS with reflink: TW_BENCH_XFS=/a/mount, or a loop image when run as root;
// then the writer's memory for a million frames.
// TW_BENCH_ROUNDS sets the rounds (5 by default); TW_BENCH_ONLY=ram,disk,xfs,memory the sections run.
#include "BenchSupport.h"
#include "support/AviBytes.h"
#include "support/XfsImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QString q(const QString &p) { return u'\'' + p + u'\''; }

void sh(const QString &command) { QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}); }

double seconds(const QString &command)
{
    QElapsedTimer t;
    t.start();
    sh(command);
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

double fastest(QList<double> v) { return v.isEmpty() ? 0 : *std::min_element(v.begin(), v.end()); }

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

using Figures = QMap<QString, QList<double>>;

// Where a series runs: its folder, what settles the machine before each step
// (the output removed, and more), what wraps each step's command.
struct Place
{
    QString folder;
    bool sync = false; // on a disk: each step ends when its output is on the disk
    std::function<void()> settle = [] {};
    std::function<QString(const QString &)> wrap = [](const QString &c) { return c; };
};

class Bench
{
public:
    explicit Bench(const QString &program, int rounds) : m_program(program), m_rounds(rounds) {}

    // Each step of every round, in turn; the medians by step name.
    Figures run(const QStringList &parts, const Place &place, const QStringList &names)
    {
        const QString out = place.folder + QStringLiteral("/out.avi"), shared = place.folder + QStringLiteral("/shared");
        QString list, quoted;
        for (const QString &p : parts) {
            list += QStringLiteral("file ") + q(p) + u'\n';
            quoted += u' ' + q(p);
        }
        QFile concat(place.folder + QStringLiteral("/concat.txt"));
        concat.open(QIODevice::WriteOnly);
        concat.write(list.toUtf8());
        concat.close();
        const QString done = place.sync ? QStringLiteral("; sync -f ") + q(place.folder) : QString();
        const QMap<QString, QString> commands{
            {QStringLiteral("cat"), QStringLiteral("cat") + quoted + QStringLiteral(" > ") + q(out)},
            {QStringLiteral("cp --reflink"), QStringLiteral("mkdir ") + q(shared) + QStringLiteral(" && cp --reflink=always") + quoted + u' ' + q(shared)},
            {QStringLiteral("writer"), q(m_program + QStringLiteral("/tapeweld-join")) + u' ' + q(out) + quoted + QStringLiteral(" > /dev/null")},
            {QStringLiteral("command"), q(m_program + QStringLiteral("/tapeweld")) + QStringLiteral(" --join ") + q(out)
                                            + QStringLiteral(" --engine builtin --yes --quiet") + quoted + QStringLiteral(" > /dev/null")},
            {QStringLiteral("ffmpeg"), QStringLiteral("ffmpeg -v error -y -f concat -safe 0 -i ") + q(concat.fileName()) + QStringLiteral(" -map 0 -c copy ") + q(out)},
        };
        Figures f;
        for (int r = 0; r < m_rounds; ++r)
            for (qsizetype i = 0; i < names.size(); ++i) {
                // Turned one step and, every other round, reversed: no step always follows the same one.
                const qsizetype at = (r / 2 + i) % names.size();
                const QString &name = names[r % 2 ? names.size() - 1 - at : at];
                QFile::remove(out);
                QDir(shared).removeRecursively();
                ::sync();
                place.settle();
                f[name] << seconds(place.wrap(commands[name] + done));
            }
        QFile::remove(out);
        QDir(shared).removeRecursively();
        return f;
    }

private:
    QString m_program;
    int m_rounds;
};

void print(const QString &title, const Figures &f, const QList<std::pair<QString, QString>> &ratios)
{
    QString line = title + QStringLiteral(":");
    for (auto it = f.begin(); it != f.end(); ++it)
        line += QStringLiteral("  %1 %2 s").arg(it.key()).arg(median(it.value()), 0, 'f', 2);
    std::printf("%s\n", qPrintable(line));
    // On a machine that shares its memory and disks time only ever adds: the
    // fastest rounds say what each step costs, the medians what it usually takes.
    for (const auto &[measure, label] : {std::pair{&median, QStringLiteral("medians")}, std::pair{&fastest, QStringLiteral("fastest")}}) {
        QString r = QStringLiteral("    ") + label + u':';
        for (const auto &[a, b] : ratios)
            if (f.contains(a) && f.contains(b))
                r += QStringLiteral("  %1 / %2 = %3").arg(a, b).arg(measure(f[a]) / measure(f[b]), 0, 'f', 2);
        std::printf("%s\n", qPrintable(r));
    }
    std::fflush(stdout);
}

const QList<std::pair<QString, QString>> kRatios{{QStringLiteral("command"), QStringLiteral("cat")},
                                                 {QStringLiteral("writer"), QStringLiteral("cat")},
                                                 {QStringLiteral("command"), QStringLiteral("ffmpeg")},
                                                 {QStringLiteral("command"), QStringLiteral("cp --reflink")}};

// n parts holding 16 copies of master: masters joined (fewer parts) or cut at key frames (more).
QStringList partsOf(const QString &program, const QString &master, const QString &folder, int n)
{
    QDir().mkpath(folder);
    QStringList pieces;
    if (n <= 16) {
        const QString joined = folder + QStringLiteral("/piece.avi");
        QString masters;
        for (int i = 0; i < 16 / n; ++i)
            masters += u' ' + q(master);
        if (n == 16)
            QFile::copy(master, joined);
        else
            sh(q(program + QStringLiteral("/tapeweld-join")) + u' ' + q(joined) + masters + QStringLiteral(" > /dev/null"));
        pieces << joined;
    } else {
        QProcess::execute(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), master, QStringLiteral("-map"),
                                                     QStringLiteral("0"), QStringLiteral("-c"), QStringLiteral("copy"), QStringLiteral("-f"), QStringLiteral("segment"),
                                                     QStringLiteral("-segment_time"), QString::number(29.0 * 16 / n), QStringLiteral("-reset_timestamps"),
                                                     QStringLiteral("1"), folder + QStringLiteral("/piece%03d.avi")});
        for (const QString &name : QDir(folder).entryList({QStringLiteral("piece*.avi")}, QDir::Files, QDir::Name))
            pieces << folder + u'/' + name;
    }
    QStringList parts;
    while (parts.size() < n)
        for (const QString &piece : pieces)
            if (parts.size() < n) {
                parts << folder + QStringLiteral("/part%1.avi").arg(parts.size(), 3, 10, QChar(u'0'));
                QFile::copy(piece, parts.last());
            }
    for (const QString &piece : pieces)
        QFile::remove(piece);
    return parts;
}

QStringList copied(const QStringList &parts, const QString &folder)
{
    QDir().mkpath(folder);
    QStringList out;
    for (const QString &p : parts) {
        out << folder + u'/' + QFileInfo(p).fileName();
        QFile::copy(p, out.last());
    }
    return out;
}

// A cgroup whose processes read at most 1,000 requests a second from the device
// under folder; empty when none can be made (not root, no blkio or io controller).
QString cappedGroup(const QString &folder)
{
    struct stat st;
    if (::getuid() != 0 || ::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return {};
    const QString device = QStringLiteral("%1:%2").arg(major(st.st_dev)).arg(minor(st.st_dev));
    for (const auto &[group, file, limit] : {std::tuple{QStringLiteral("/sys/fs/cgroup/blkio/tapeweld-bench"), QStringLiteral("blkio.throttle.read_iops_device"), device + QStringLiteral(" 1000")},
                                             std::tuple{QStringLiteral("/sys/fs/cgroup/tapeweld-bench"), QStringLiteral("io.max"), device + QStringLiteral(" riops=1000")}}) {
        if (!QDir(QFileInfo(group).path()).exists() || !QDir().mkpath(group))
            continue;
        QFile f(group + u'/' + file);
        if (f.open(QIODevice::WriteOnly) && f.write(limit.toLatin1()) > 0)
            return group;
    }
    return {};
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchDefaults();
    const QString program = QStringLiteral(TW_PROGRAM_DIR);
    const int rounds = qEnvironmentVariableIsSet("TW_BENCH_ROUNDS") ? qEnvironmentVariableIntValue("TW_BENCH_ROUNDS") : 5;
    Bench bench(program, rounds);
    QTemporaryDir ram(QStringLiteral("/dev/shm/tapeweld-bench-XXXXXX"));
    const QString dir = ram.isValid() ? ram.path() : QDir::tempPath();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + QStringLiteral("/config")));
    sh(QStringLiteral("nproc | xargs printf 'machine: %s cores, '; uname -r; grep -m1 'model name' /proc/cpuinfo"));
    std::printf("%d alternating rounds, medians and fastest; RAM disk %s\n", rounds, qPrintable(dir));

    const QString master = dir + QStringLiteral("/master.avi");
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("testsrc=size=640x480:rate=25,noise=alls=60:allf=t+u"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("sine=frequency=440:sample_rate=44100"), QStringLiteral("-t"), QStringLiteral("29"),
                       QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID"), QStringLiteral("-q:v"),
                       QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), master});
    std::printf("parts: 16 x %.1f MB of XVID and MP3 in all (%.2f GB), cut into 2 to 256 parts\n\n", static_cast<double>(QFileInfo(master).size()) / 1e6,
                16.0 * static_cast<double>(QFileInfo(master).size()) / 1e9);
    const QStringList all{QStringLiteral("cat"), QStringLiteral("writer"), QStringLiteral("command"), QStringLiteral("ffmpeg")};
    const QStringList only = qEnvironmentVariable("TW_BENCH_ONLY", QStringLiteral("ram,disk,xfs,memory")).split(u',');

    for (const int n : only.contains(QStringLiteral("ram")) ? QList<int>{2, 16, 64, 256} : QList<int>{}) {
        const QString folder = dir + QStringLiteral("/n%1").arg(n);
        const QStringList parts = partsOf(program, master, folder, n);
        print(QStringLiteral("RAM disk, %1 parts").arg(n), bench.run(parts, Place{folder}, all), kRatios);
        QDir(folder).removeRecursively();
    }

    // The disk of the temporary folder.
    QTemporaryDir disk(QDir::tempPath() + QStringLiteral("/tapeweld-bench-XXXXXX"));
    const QStringList onDisk = only.contains(QStringLiteral("disk")) ? copied(partsOf(program, master, dir + QStringLiteral("/disk"), 16), disk.path()) : QStringList();
    QDir(dir + QStringLiteral("/disk")).removeRecursively();
    Place warm{disk.path(), true};
    if (!onDisk.isEmpty())
        print(QStringLiteral("\ndisk (%1), 16 parts, warm").arg(QDir::tempPath()), bench.run(onDisk, warm, all), kRatios);
    if (onDisk.isEmpty()) {
    } else if (::getuid() == 0) {
        Place cold = warm;
        cold.settle = [] { sh(QStringLiteral("echo 3 > /proc/sys/vm/drop_caches")); };
        print(QStringLiteral("disk, 16 parts, cold"), bench.run(onDisk, cold, all), kRatios);
        if (const QString group = cappedGroup(disk.path()); !group.isEmpty()) {
            Place capped = cold;
            capped.wrap = [group](const QString &c) -> QString { return QStringLiteral("echo $$ > ") + q(group + QStringLiteral("/cgroup.procs")) + QStringLiteral("; ") + c; };
            print(QStringLiteral("disk, 16 parts, cold, 1,000 read requests a second"), bench.run(onDisk, capped, all), kRatios);
            QDir().rmdir(group);
        } else {
            std::printf("(no cgroup could cap the disk's read requests)\n");
        }
    } else {
        std::printf("(cold and capped rounds need root: they drop the caches)\n");
    }
    for (const QString &p : onDisk)
        QFile::remove(p);

    // XFS with reflink: a mount given, or an image of its own.
    std::unique_ptr<XfsImage> image;
    QString xfs = qEnvironmentVariable("TW_BENCH_XFS");
    if (!only.contains(QStringLiteral("xfs"))) {
    } else if (xfs.isEmpty() && ::getuid() == 0) {
        image = std::make_unique<XfsImage>(disk.path(), 6LL << 30);
        xfs = image->ok() ? image->path() : QString();
        if (!image->ok())
            std::printf("(no XFS image: %s)\n", qPrintable(image->why()));
    }
    if (!only.contains(QStringLiteral("xfs"))) {
    } else if (!xfs.isEmpty()) {
        QTemporaryDir folder(xfs + QStringLiteral("/tapeweld-bench-XXXXXX"));
        const QStringList parts = copied(partsOf(program, master, dir + QStringLiteral("/xfs"), 16), folder.path());
        QDir(dir + QStringLiteral("/xfs")).removeRecursively();
        print(QStringLiteral("\nXFS with reflink (%1), 16 parts").arg(xfs),
              bench.run(parts, Place{folder.path(), true}, all + QStringList{QStringLiteral("cp --reflink")}), kRatios);
    } else {
        std::printf("(no XFS: run as root, or give TW_BENCH_XFS=/an/xfs/mount)\n");
    }

    if (!only.contains(QStringLiteral("memory")))
        return 0;
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
    const QString out = dir + QStringLiteral("/out.avi");
    QFile::remove(out);
    std::printf("\na million frames: writer peak %ld MB resident\n", peakOf({program + QStringLiteral("/tapeweld-join"), out, million, million}));
    std::printf("(two parts of a million frames each: the output's index, one RIFF at a time, and one part's chunks)\n");
    return 0;
}
