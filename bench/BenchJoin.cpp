// Ten files of about 85 MB: the program's join from StartJoin to "Finished!"
// against the same work by hand (cat, then the encoder) and ffmpeg's concat.
#include "BenchSupport.h"
#include "join/Engines.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "gui/JoinWizard.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {
double seconds(const QString &shell)
{
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), shell});
    return static_cast<double>(t.elapsed()) / 1000;
}

QString q(const QString &p) { return u'\'' + p + u'\''; }
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchDefaults();
    TestEnvironment env;
    ScriptedDialogs dialogs;

    // One ~85 MB file (noise keeps it from compressing) made once, copied ten times.
    const QString master = env.path(QStringLiteral("master.avi"));
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("testsrc=size=640x480:rate=25,noise=alls=60:allf=t+u"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("sine=frequency=440:sample_rate=44100"), QStringLiteral("-t"),
                       QStringLiteral("29"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"),
                       QStringLiteral("XVID"), QStringLiteral("-q:v"), QStringLiteral("2"), QStringLiteral("-c:a"),
                       QStringLiteral("libmp3lame"), master});
    QStringList inputs;
    QString concatList;
    for (int i = 0; i < 10; ++i) {
        inputs << env.path(QStringLiteral("in%1.avi").arg(i));
        QFile::copy(master, inputs.last());
        concatList += QStringLiteral("file ") + q(inputs.last()) + u'\n';
    }
    env.write(QStringLiteral("concat.txt"), concatList.toUtf8());
    std::printf("inputs: 10 x %.1f MB\n", static_cast<double>(QFileInfo(master).size()) / 1e6);

    QString catLine = QStringLiteral("cat");
    for (const QString &in : inputs)
        catLine += u' ' + q(in);
    // Each timed part starts with nothing left to write back and the inputs cached,
    // or whichever runs first pays for the copies.
    auto settle = [&] {
        ::sync();
        seconds(catLine + QStringLiteral(" > /dev/null"));
    };

    FileList list;
    NewList(list, false);
    ListView_OLEDragDrop(list, inputs, nullptr);
    const QString output = env.path(QStringLiteral("joined.avi"));
    const QString t = env.path(QStringLiteral("byhand.tpw.avi"));
    double programSeconds = 1e9, phase1Seconds = 1e9, programCpu = 0, catSeconds = 1e9, encoderSeconds = 1e9, ffmpegSeconds = 1e9;
    for (int round = 0; round < 2; ++round) {
        settle();
        dialogs.files.enqueue({output});
        JoinHooks hooks;
        hooks.runJoin = [&](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
            JoinWizard wizard(plan, nullptr, std::move(run));
            QElapsedTimer clock;
            double phase1 = 0;
            const double cpu0 = cpuSeconds();
            QObject::connect(&wizard, &JoinWizard::operationChanged, [&](const QString &op) {
                if (qEnvironmentVariableIsSet("TW_BENCH_TRACE"))
                    std::printf("  %.3f s %s\n", static_cast<double>(clock.elapsed()) / 1000, qPrintable(op));
                if (phase1 == 0 && op != QStringLiteral("Operation 1 of 2"))
                    phase1 = static_cast<double>(clock.elapsed()) / 1000;
            });
            clock.start();
            wizard.Form_Load();
            if (!QTest::qWaitFor([&] { return wizard.ended(); }, 30 * 60 * 1000))
                std::printf("program: the join did not end within 30 minutes\n");
            const double total = static_cast<double>(clock.elapsed()) / 1000;
            if (total < programSeconds) {
                programSeconds = total;
                phase1Seconds = phase1;
                programCpu = cpuSeconds() - cpu0;
            }
            if (round == 0)
                std::printf("program: %s, %s\n", qPrintable(wizard.operationText()), qPrintable(wizard.writtenSizeText()));
            wizard.CancelButton_Click();
        };
        StartJoin(list, hooks);
        QFile::remove(output);

        settle();
        catSeconds = qMin(catSeconds, seconds(catLine + QStringLiteral(" > ") + q(t)));
        // The same work as the second script: the encoder, then deleting the intermediate file.
        encoderSeconds = qMin(encoderSeconds, seconds(QStringLiteral("mencoder -forceidx -oac copy -ovc copy ") + q(t)
                                                      + QStringLiteral(" -o ") + q(env.path(QStringLiteral("byhand.avi")))
                                                      + QStringLiteral(" >/dev/null 2>&1; rm ") + q(t)));
        QFile::remove(env.path(QStringLiteral("byhand.avi")));

        settle();
        ffmpegSeconds = qMin(ffmpegSeconds, seconds(QStringLiteral("ffmpeg -v error -y -f concat -safe 0 -i ")
                                                     + q(env.path(QStringLiteral("concat.txt"))) + QStringLiteral(" -c copy ")
                                                     + q(env.path(QStringLiteral("ffmpeg.avi")))));
        QFile::remove(env.path(QStringLiteral("ffmpeg.avi")));
    }
    const double byHand = catSeconds + encoderSeconds;
    std::printf("best of 2 rounds\n");
    std::printf("program join: %.2f s (phase 1 %.2f s), CPU of the program %.2f s = %.2f %% of one core\n", programSeconds,
                phase1Seconds, programCpu, 100 * programCpu / programSeconds);
    std::printf("by hand: cat %.2f s + encoder %.2f s = %.2f s; ffmpeg concat %.2f s\n", catSeconds, encoderSeconds, byHand,
                ffmpegSeconds);
    std::printf("ratios: program / by hand %.2f, phase 1 / cat %.2f, program / ffmpeg %.2f\n", programSeconds / byHand,
                phase1Seconds / catSeconds, programSeconds / ffmpegSeconds);

    // The 10 ms tick alone: operation 1 with the intermediate file growing elsewhere.
    {
        QDir().mkpath(RunFiles::workFolder());
        const QString out = env.path(QStringLiteral("tick.avi"));
        env.write(QStringLiteral("tick.avi.tpw.avi"), QByteArray(1 << 20, 't'));
        JoinWizard wizard(JoinPlan{out, {}, list.totals().bytes(), &Engines::byName(QStringLiteral("Encoder")), {}, -1, false, {}});
        wizard.Form_Load(); // its script is gone already: nothing runs
        const int ticks = 20000;
        const double cpu0 = cpuSeconds();
        for (int i = 0; i < ticks; ++i)
            wizard.Timer_Timer();
        const double perTick = (cpuSeconds() - cpu0) / ticks;
        std::printf("tick: %.1f us of CPU each, %.3f %% of one core at 100 ticks a second\n", perTick * 1e6, perTick * 100 * 100);
        QDir().rmdir(RunFiles::workFolder());
    }
    return 0;
}
