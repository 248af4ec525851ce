// Probing and adding files, against the mediainfo command run once per file;
// totals and the compatibility check on a full list.
#include "BenchSupport.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <cstdio>

namespace {
double msOf(const std::function<void()> &work, int repeat = 1)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < repeat; ++i)
        work();
    return static_cast<double>(t.nsecsElapsed()) / 1e6 / repeat;
}

QVector<FileListModel::Row> rows(int n)
{
    QVector<FileListModel::Row> out(n);
    for (int i = 0; i < n; ++i)
        out[i] = {QStringLiteral("f.avi"), QStringLiteral("12,345 KB"), QStringLiteral("d"), QStringLiteral("/v/f%1.avi").arg(i),
                  QStringLiteral("XVID"), QStringLiteral("640x480"), QStringLiteral("1234 seconds")};
    return out;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchDefaults();
    TestEnvironment env;
    const int files = 1000;
    const QString sample = SampleMedia::make(SampleMedia::Kind::Xvid640, env.root(), QStringLiteral("sample.avi"), 2);
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        paths << env.path(QStringLiteral("clip%1.avi").arg(i, 4, 10, QChar(u'0')));
        QFile::copy(sample, paths.last());
    }

    FileList list;
    const double addMs = msOf([&] { ListView_OLEDragDrop(list, paths, nullptr); });
    const double cliMs = msOf([&] {
        for (const QString &p : paths) {
            QProcess mi;
            mi.start(QStringLiteral("mediainfo"), {QStringLiteral("--Inform=Video;%Codec%|%Width%|%Height%"), p});
            mi.waitForFinished();
        }
    });
    std::printf("probe+add %d files: %.0f files/s in process, %.0f files/s with the mediainfo command per file, ratio %.1fx\n",
                files, files / (addMs / 1000), files / (cliMs / 1000), cliMs / addMs);

    for (int n : {8192, FileListModel::kMaxRows}) {
        FileList big;
        big.model().replaceAll(rows(n));
        const double totals = msOf([&] { big.setTotals(ListTotals::compute(big.model())); }, 20);
        const double compat = msOf([&] { CheckCompatibility(big); }, 20);
        std::printf("%5d rows: totals %.2f ms, compatibility check %.2f ms\n", n, totals, compat);
    }
    return 0;
}
