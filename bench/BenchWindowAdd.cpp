// What the user waits for: Add Directory through the main window (offscreen,
// scripted dialogs) on folders of 1,000 and 10,000 small AVIs, against one
// mediainfo process asked for the same fields over the same files, in the same
// run; the checks a join makes of those rows before its output dialog; then opening a 32,767-row list, and the totals and status check on it.
#include "gui/MainWindow.h"
#include "compat/CarryCheck.h"
#include "BenchSupport.h"
#include "compat/ChunkCheck.h"
#include "join/Engines.h"
#include "list/ListFile.h"
#include "list/UpdateListTotals.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

namespace {
void readOnce(const QStringList &files) // the same warm page cache for both sides
{
    for (const QString &f : files)
        readAll(f);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchDefaults();
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const bool haveMediainfo = !QStandardPaths::findExecutable(QStringLiteral("mediainfo")).isEmpty();
    if (!haveMediainfo)
        std::printf("(the mediainfo command is not installed: apt-get install mediainfo)\n");
    const QString sample = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("sample.avi"), 1);
    const QString templ = env.write(QStringLiteral("template.txt"), "General;%PlayTime%|\r\nVideo;%Codec%|%Width%|%Height%\\n\r\n");

    // TW_BENCH_SIZES="1000" runs fewer sizes (for a profiler).
    QList<int> sizes{1000, 10000};
    if (qEnvironmentVariableIsSet("TW_BENCH_SIZES")) {
        sizes.clear();
        for (const QString &n : qEnvironmentVariable("TW_BENCH_SIZES").split(u','))
            sizes << n.toInt();
    }
    for (const int n : sizes) {
        const QString folder = env.path(QStringLiteral("clips%1").arg(n));
        QDir().mkpath(folder);
        QStringList files;
        for (int i = 0; i < n; ++i) {
            files << folder + QStringLiteral("/clip%1.avi").arg(i, 5, 10, QChar(u'0'));
            QFile::copy(sample, files.last());
        }
        readOnce(files);
        double mediainfoSeconds = -1;
        if (haveMediainfo) {
            QElapsedTimer t;
            t.start();
            QProcess mi;
            mi.setStandardOutputFile(QProcess::nullDevice());
            mi.start(QStringLiteral("mediainfo"), {QStringLiteral("--Legacy"), QStringLiteral("--Output=file://") + templ, folder});
            mi.waitForFinished(-1);
            mediainfoSeconds = t.elapsed() / 1000.0;
        }
        readOnce(files);
        // The program's and its helper processes' (reaped children: the probe
        // helpers end with the add; the mediainfo process, reaped, is counted here already).
        const double cpu0 = cpuSeconds(true);
        MainWindow window;
        window.startNewList();
        window.show();
        dialogs.files.enqueue({folder});
        QElapsedTimer t;
        t.start();
        window.action(QStringLiteral("EditAddDirectory"))->trigger();
        const double seconds = t.elapsed() / 1000.0;
        const double cpu = cpuSeconds(true) - cpu0;
        const bool right = window.list().count() == n && window.list().model().cell(n, FileListModel::VideoCodec) == QStringLiteral("XVID");
        std::printf("Add Directory, %5d files: program %6.2f s (%5.2f s CPU with its helpers), one mediainfo process %6.2f s, ratio %.2f, "
                    "peak resident %ld MB%s\n",
                    n, seconds, cpu, mediainfoSeconds, mediainfoSeconds > 0 ? seconds / mediainfoSeconds : 0.0, peakMegabytes(),
                    right ? "" : "  (ROWS WRONG)");
        std::fflush(stdout);

        QElapsedTimer c;
        c.start();
        const bool asks = !CarryCheck::check(window.list().model(), Engines::configured().carriage()).isEmpty()
                          || ChunkCheck::check(window.list().model(), Engines::configured().carriage()).row != 0;
        std::printf("Checks before the join's output dialog, %5d rows: %6.2f s%s\n", n, c.elapsed() / 1000.0,
                    asks ? "  (ASKED: the rows should agree)" : "");
        std::fflush(stdout);
    }

    // A full list file.
    QVector<FileListModel::Row> rows;
    for (int i = 0; i < FileListModel::kMaxRows; ++i)
        rows.append({QStringLiteral("clip%1.avi").arg(i), QStringLiteral("1,234 KB"), QStringLiteral("12/8/26 2:05:09 PM"),
                     QStringLiteral("/videos/holiday/clip%1.avi").arg(i), QStringLiteral("XVID"), QStringLiteral("640x480"),
                     QStringLiteral("60 seconds")});
    const QString list = env.path(QStringLiteral("full.tpw"));
    QString error;
    if (const Result written = ListFile::write(list, ListFile::format(QStringLiteral("AVI"), rows)); !written.ok())
        error = written.why();
    readAll(list);
    MainWindow window;
    window.startNewList();
    window.show();
    dialogs.files.enqueue({list});
    QElapsedTimer t;
    t.start();
    window.action(QStringLiteral("FileOpenList"))->trigger();
    QApplication::processEvents(); // the first paint of the full list
    const double openSeconds = t.elapsed() / 1000.0;
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer c;
        c.start();
        UpdateListTotals(window.list());
        best = qMin(best, c.nsecsElapsed() / 1e6);
    }
    std::printf("Open a %d-row list: %.2f s; totals and status check on it: %.1f ms (best of 5); peak resident %ld MB\n",
                window.list().count(), openSeconds, best, peakMegabytes());
    return 0;
}
