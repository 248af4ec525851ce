#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "join/JoinOutcome.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "gui/JoinWizard.h"
#include "join/RunSession.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "avi/AviFile.h"
#include "avi/AviSummary.h"
#include "compat/SyncPlan.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QByteArray digest(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Md5);
}

// Processes whose parent is parent (from /proc): how a test finds the encoder
// its own join started, and nothing else.
QList<pid_t> childrenOf(pid_t parent)
{
    QList<pid_t> out;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok)
            continue;
        const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == parent)
            out << pid;
    }
    return out;
}

// A join through StartJoin and the real wizard, the real interpreter and the real encoder.
struct EndToEnd
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    QStringList inputs;
    QStringList operations;
    QString output;
    std::function<void()> beforeLoad;            // e.g. slow the first script down
    std::function<void(JoinWizard &)> whileRunning; // e.g. press Cancel
    std::function<void(JoinWizard &)> atEnd;
    const Engine *engine = nullptr; // the setting's, when not given
    QString outcome, reason;          // what the wizard said at the end

    QList<QByteArray> digests;

    explicit EndToEnd(int files, SampleMedia::Kind kind = SampleMedia::Kind::Xvid640, int seconds = 2)
    {
        for (int i = 1; i <= files; ++i)
            inputs << SampleMedia::make(kind, env.root(), QStringLiteral("part %1.avi").arg(i), seconds);
        add();
    }
    // Each part made by ffmpeg from its arguments.
    explicit EndToEnd(const QList<QStringList> &parts)
    {
        for (int i = 0; i < parts.size(); ++i)
            inputs << SampleMedia::makeWith(env.root(), QStringLiteral("part %1.avi").arg(i + 1), parts[i]);
        add();
    }
    void add()
    {
        NewList(list, false);
        ListView_OLEDragDrop(list, inputs, nullptr);
        QDir().mkpath(env.path(QStringLiteral("out dir")));
        output = env.path(QStringLiteral("out dir/joined.avi"));
        for (const QString &in : inputs)
            digests << digest(in);
    }
    ~EndToEnd()
    {
        // Whatever happened to the join, no input was touched.
        for (int i = 0; i < inputs.size(); ++i) {
            if (QFile::exists(inputs[i])) {
                EXPECT_EQ(digest(inputs[i]), digests[i]) << inputs[i].toStdString();
            }
        }
    }
    int inputFrames() const
    {
        int frames = 0;
        for (const QString &in : inputs)
            frames += SampleMedia::videoFrames(in);
        return frames;
    }
    // A program folder whose encoder is a shell script, beside the real interpreter.
    void useEncoder(const QByteArray &shellScript)
    {
        const QString folder = env.path(QStringLiteral("stand-in program"));
        QDir().mkpath(folder);
        QFile::link(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), folder + QStringLiteral("/tapeweld-cmd"));
        env.write(QStringLiteral("stand-in program/AVI.dll"), "#!/bin/sh\n" + shellScript);
        QFile::setPermissions(folder + QStringLiteral("/AVI.dll"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        AppPaths::setProgramFolder(folder);
    }

    void run()
    {
        dialogs.files.enqueue({output});
        JoinHooks hooks;
        hooks.runJoin = [this](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
            if (beforeLoad)
                beforeLoad();
            JoinWizard wizard(plan, nullptr, std::move(run));
            QObject::connect(&wizard, &JoinWizard::operationChanged, [this](const QString &t) { operations << t; });
            wizard.show();
            wizard.Form_Load();
            if (whileRunning)
                whileRunning(wizard);
            EXPECT_TRUE(QTest::qWaitFor([&] { return wizard.ended(); }, 120000));
            outcome = wizard.operationText();
            reason = wizard.reasonText();
            if (atEnd)
                atEnd(wizard);
        };
        bool shown = false;
        const auto show = hooks.runJoin;
        hooks.runJoin = [&](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
            shown = true;
            show(plan, std::move(run));
        };
        hooks.engine = engine;
        StartJoin(list, hooks);
        EXPECT_TRUE(shown) << "no wizard; asked: " << dialogs.messageTexts().join(QStringLiteral(" | ")).toStdString();
    }
    QString temp() const { return output + JoinScripts::kTempSuffix; }
};
} // namespace

namespace {
// Slows operation 1 down: the interpreter runs a program line after the first copy.
void slowFirstScript(int seconds)
{
    QByteArray script = readAll(RunFiles::firstScript());
    const qsizetype afterFirstCopy = script.indexOf("\r\n", script.indexOf("Copy /b")) + 2;
    script.insert(afterFirstCopy, "\"/bin/sleep\" " + QByteArray::number(seconds) + "\r\n");
    // As a script is written: a new file renamed over the old.
    const QString fresh = RunFiles::firstScript() + QStringLiteral(".slow");
    QFile f(fresh);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(script);
    f.close();
    ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(RunFiles::firstScript()).constData()), 0);
}
} // namespace

TEST(JoinEndToEnd, ThreeFilesBecomeOnePlayableFile)
{
    EndToEnd e(3);
    ASSERT_EQ(e.list.listStatus(), ListStatus::Green);
    StartDebugLog(e.env.settingsPath() + QStringLiteral("/e2e.log"));
    int frames = 0;
    for (const QString &in : e.inputs)
        frames += SampleMedia::videoFrames(in);
    ASSERT_EQ(frames, 150);

    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Finished!"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Join Wizard"));
        EXPECT_EQ(w.headerSubText(), QStringLiteral("You may now close this wizard..."));
        EXPECT_EQ(w.cancelCaption(), QStringLiteral("&Close"));
        EXPECT_TRUE(w.optionsEnabled());
        EXPECT_TRUE(w.writtenSizeText().endsWith(QStringLiteral(" KB")));
        EXPECT_FALSE(QFile::exists(e.temp()));
        EXPECT_FALSE(QFile::exists(RunFiles::workFolder()));
        // Scripts and the encoder copy stay until Close.
        EXPECT_TRUE(QFile::exists(RunFiles::firstScript()));
        EXPECT_TRUE(QFile::exists(RunFiles::secondScript()));
        EXPECT_TRUE(QFile::exists(RunFiles::encoderCopy()));
        w.CancelButton_Click();
        EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
        EXPECT_FALSE(QFile::exists(RunFiles::secondScript()));
        EXPECT_FALSE(QFile::exists(RunFiles::encoderCopy()));
        EXPECT_FALSE(w.isVisible());
    };
    e.run();

    EXPECT_EQ(SampleMedia::videoFrames(e.output), frames);
    ASSERT_GE(e.operations.size(), 3);
    EXPECT_EQ(e.operations.first(), QStringLiteral("Operation 1 of 2"));
    EXPECT_TRUE(e.operations.contains(QStringLiteral("Generating Index...(This may take a few minutes)")));
    EXPECT_TRUE(e.operations.contains(QStringLiteral("Operation 2 of 2")));
    EXPECT_EQ(e.operations.last(), QStringLiteral("Finished!"));
    const QByteArray log = readAll(e.env.settingsPath() + QStringLiteral("/e2e.log"));
    const qsizetype launched = log.indexOf("BAT1 Launched."), out = log.indexOf("OutputFile="), size = log.indexOf("Operation2 Size=");
    EXPECT_TRUE(launched > 0 && launched < out && out < size);
}

TEST(JoinEndToEnd, CancelDuringTheCopyLeavesNothing)
{
    EndToEnd e(2);
    // Slow operation 1 down: the interpreter runs a program line after the first copy.
    e.beforeLoad = [&] { slowFirstScript(3); };
    e.whileRunning = [&](JoinWizard &w) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(e.temp()); }, 20000));
        EXPECT_EQ(w.operationText(), QStringLiteral("Operation 1 of 2"));
        w.CancelButton_Click();
    };
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Cancelled!"));
        EXPECT_EQ(w.writtenSizeText(), QStringLiteral("[Cancelled]"));
        EXPECT_FALSE(w.optionsEnabled());
        EXPECT_EQ(w.cancelCaption(), QStringLiteral("&Close"));
    };
    e.run();
    for (const QString &gone : {e.temp(), e.output, RunFiles::workFolder(), RunFiles::firstScript(),
                                RunFiles::secondScript(), RunFiles::encoderCopy()})
        EXPECT_FALSE(QFile::exists(gone)) << gone.toStdString();
    // Nothing of the run is left to bring anything back.
    EXPECT_TRUE(noProcessMentions(e.env.settingsPath(), 10000));
    EXPECT_FALSE(QFile::exists(e.temp()));
    EXPECT_FALSE(QFile::exists(RunFiles::workFolder()));
    for (const QString &in : e.inputs)
        EXPECT_TRUE(QFile::exists(in));
}

TEST(JoinEndToEnd, AnEncoderThatFailsEndsAsFailed)
{
    EndToEnd e(2);
    e.useEncoder("exit 1\n"); // exits at once without output
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
        EXPECT_EQ(w.reasonText(), QStringLiteral("The encoder wrote no output: the encoder stopped with exit code 1."));
        // The reason's line does not squeeze the frame of times and sizes.
        const QWidget *frame = w.findChild<QWidget *>(QStringLiteral("Frame1"));
        EXPECT_GE(frame->height(), frame->minimumSizeHint().height());
        EXPECT_TRUE(w.optionsEnabled());
        EXPECT_FALSE(QFile::exists(e.temp())); // the second script deleted it
    };
    e.run();
    EXPECT_FALSE(QFile::exists(e.output));
    EXPECT_EQ(e.operations.last(), QStringLiteral("Failed!"));
}

TEST(JoinEndToEnd, HalfAnOutputIsAFailureThatSaysSo)
{
    EndToEnd e(2);
    qint64 expected = 0;
    for (const QString &in : e.inputs)
        expected += Avi::summarize(in).frames();
    // Writes the first half of the intermediate file as the output, and exits as if all went well.
    e.useEncoder("head -c $(( $(stat -c %s \"$6\") / 2 )) \"$6\" > \"$8\"\nexit 0\n");
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
        EXPECT_TRUE(w.reasonText().startsWith(QStringLiteral("The output holds "))) << w.reasonText().toStdString();
        EXPECT_TRUE(w.reasonText().section(u'\n', 0, 0).endsWith(QStringLiteral(" of %1 frames.").arg(expected))) << w.reasonText().toStdString();
        // Half of two equal parts is a whole AVI file: kept, and where it is said.
        EXPECT_EQ(w.reasonText().section(u'\n', -1), QStringLiteral("The output was kept: ") + e.output);
    };
    e.run();
    EXPECT_TRUE(QFile::exists(e.output));
}

TEST(JoinEndToEnd, AKilledEncoderIsAFailureThatSaysSo)
{
    EndToEnd e(3);
    e.whileRunning = [&](JoinWizard &w) {
        // The encoder this join started: a child of the interpreter, which is a child of ours.
        pid_t encoder = 0;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            for (const pid_t interpreter : childrenOf(::getpid()))
                for (const pid_t child : childrenOf(interpreter))
                    if (readAll(QStringLiteral("/proc/%1/comm").arg(child)).startsWith("AVI.exe"))
                        encoder = child;
            return encoder != 0;
        }, 30000));
        ::kill(encoder, SIGKILL);
        Q_UNUSED(w);
    };
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
        EXPECT_TRUE(w.reasonText().contains(QStringLiteral("the encoder was stopped (signal 9)"))) << w.reasonText().toStdString();
    };
    e.run();
    EXPECT_FALSE(QFile::exists(e.output)); // cut short: removed
}

TEST(JoinEndToEnd, AFullDiskWhileCopyingOrEncodingIsAFailure)
{
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails with EFBIG instead of killing
    for (const bool duringCopy : {true, false}) {
        EndToEnd e(3);
        const qint64 total = QFileInfo(e.inputs[0]).size() * 3;
        struct rlimit limit = old;
        limit.rlim_cur = static_cast<rlim_t>(total / 2);
        // The limit reaches the scripts started after it is set: the first one, or only the second.
        if (duringCopy)
            e.beforeLoad = [&] { ::setrlimit(RLIMIT_FSIZE, &limit); };
        else
            e.whileRunning = [&](JoinWizard &) { ::setrlimit(RLIMIT_FSIZE, &limit); };
        e.atEnd = [&](JoinWizard &w) {
            ::setrlimit(RLIMIT_FSIZE, &old);
            EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
            if (duringCopy)
                EXPECT_TRUE(w.reasonText().startsWith(QStringLiteral("The file grew beyond the size this disk or a limit allows: "
                                                                     "the intermediate file holds ")))
                    << w.reasonText().toStdString();
            else
                EXPECT_TRUE(w.reasonText().contains(QStringLiteral("The output holds "))) << w.reasonText().toStdString();
        };
        e.run();
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(QFile::exists(e.temp()));
        EXPECT_FALSE(QFile::exists(e.output)); // the disk took no more: nothing half-written is left
    }
    ::signal(SIGXFSZ, SIG_DFL);
}

TEST(JoinEndToEnd, ASourceRemovedAfterAddingNamesItsRow)
{
    EndToEnd e(3);
    const QString moved = e.env.path(QStringLiteral("moved away.avi"));
    ASSERT_TRUE(QFile::rename(e.inputs[1], moved));
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
        EXPECT_EQ(w.reasonText(), QStringLiteral("Row 2 could not be read (the file is gone): ") + e.inputs[1]);
    };
    e.run();
    EXPECT_FALSE(QFile::exists(e.output)); // the encoder never ran on a part-missing file
    EXPECT_FALSE(QFile::exists(e.temp()));
}

TEST(JoinEndToEnd, RealMaterialJoinsWhole)
{
    using K = SampleMedia::Kind;
    for (const Engine *engine : {&encoderEngine(), &writerEngine()})
        for (const K kind : {K::Xvid320, K::XvidVbrMp3, K::Dx50, K::MjpgPcm, K::NoAudio, K::Mp42, K::H264, K::Ac3}) {
            EndToEnd e(2, kind, 1);
            e.engine = engine;
            const int frames = e.inputFrames();
            ASSERT_GT(frames, 0) << static_cast<int>(kind);
            // The encoder marks every H.264 frame key: it asks, and says so under "Finished!".
            const bool losesKeys = engine == &encoderEngine() && kind == K::H264;
            if (losesKeys)
                e.dialogs.answers.enqueue(Dialogs::Answer::Yes);
            e.atEnd = [&](JoinWizard &w) {
                EXPECT_EQ(w.operationText(), QStringLiteral("Finished!")) << static_cast<int>(kind) << ' ' << w.reasonText().toStdString();
                EXPECT_EQ(w.reasonText().contains(QStringLiteral("seeking in it will show damaged pictures. The writer keeps them.")), losesKeys)
                    << w.reasonText().toStdString();
                EXPECT_TRUE(losesKeys || w.reasonText().isEmpty());
                EXPECT_FALSE(w.bounceVisible()); // the full bar shows, not the index phase's track
            };
            e.run();
            EXPECT_EQ(e.dialogs.messages.size(), losesKeys ? 1 : 0) << e.dialogs.messageTexts().join(u'|').toStdString();
            EXPECT_EQ(SampleMedia::videoFrames(e.output), frames) << static_cast<int>(kind);
            if (engine == &writerEngine()) {
                // Every picture of every part in order, decodable, and read through the output's own index.
                EXPECT_EQ(SampleMedia::videoChecksums(e.output), SampleMedia::videoChecksums(e.inputs[0]) + SampleMedia::videoChecksums(e.inputs[1]))
                    << static_cast<int>(kind);
                EXPECT_EQ(SampleMedia::decoderErrors(e.output), 0) << static_cast<int>(kind);
                EXPECT_EQ(SampleMedia::encoderFrames(e.output), Avi::summarize(e.output).frames()) << static_cast<int>(kind);
            }
        }
}

TEST(JoinEndToEnd, TheWritersOperationsAndACancelInEitherLeavesNothing)
{
    // The real writer: both operations, then a whole output and nothing else of the run.
    {
        EndToEnd e(3, SampleMedia::Kind::Xvid320, 2);
        e.engine = &writerEngine();
        e.run();
        EXPECT_EQ(e.outcome, QStringLiteral("Finished!")) << e.reason.toStdString();
        EXPECT_EQ(e.operations.first(), QStringLiteral("Operation 1 of 2"));
        EXPECT_TRUE(e.operations.contains(QStringLiteral("Operation 2 of 2")));
        EXPECT_TRUE(e.operations.contains(QStringLiteral("Generating Index...(This may take a few minutes)")));
        EXPECT_FALSE(QFile::exists(e.temp())); // no intermediate file
        EXPECT_EQ(SampleMedia::videoFrames(e.output), e.inputFrames());
    }
    // A writer that stalls in either operation: Cancel ends it and leaves nothing.
    for (const QByteArray &phase : {QByteArray("copy 100"), QByteArray("index")}) {
        EndToEnd e(2, SampleMedia::Kind::Xvid320, 1);
        e.engine = &writerEngine();
        const QString folder = e.env.path(QStringLiteral("stand-in writer"));
        QDir().mkpath(folder);
        e.env.write(QStringLiteral("stand-in writer/tapeweld-join"),
                    "#!/bin/sh\nwhile [ \"$1\" != -- ]; do shift; done\nprintf 'partial' > \"$2\"\necho " + phase
                        + "\nexec sleep 30\n");
        QFile::setPermissions(folder + QStringLiteral("/tapeweld-join"), QFile::ReadOwner | QFile::ExeOwner);
        AppPaths::setProgramFolder(folder);
        e.whileRunning = [&](JoinWizard &w) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return e.operations.contains(phase == "index" ? QStringLiteral("Operation 2 of 2")
                                                                                            : QStringLiteral("Operation 1 of 2"))
                                                     && QFile::exists(e.output); }, 10000));
            QElapsedTimer clock;
            clock.start();
            w.CancelButton_Click();
            EXPECT_LT(clock.elapsed(), 2000); // ended at once, not waited for
        };
        e.run();
        EXPECT_EQ(e.outcome, QStringLiteral("Cancelled!"));
        for (const QString &gone : {e.output, e.temp(), RunFiles::workFolder(), RunFiles::writerLog()})
            EXPECT_FALSE(QFile::exists(gone)) << gone.toStdString();
    }
}

TEST(JoinEndToEnd, AScriptThatCannotStartEndsAsFailed)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    AppPaths::setProgramFolder(env.path(QStringLiteral("interpreter went missing")));
    JoinWizard wizard(JoinPlan{env.path(QStringLiteral("o.avi")), {}, 10 * 1024, &encoderEngine(), {}, -1, false, {}});
    wizard.Form_Load();
    EXPECT_TRUE(QTest::qWaitFor([&] { return wizard.ended(); }, 5000));
    EXPECT_EQ(wizard.operationText(), QStringLiteral("Failed!"));
}

TEST(JoinEndToEnd, WizardDetails)
{
    TestEnvironment env;
    // An interpreter that runs until the wizard ends it: the operation is under way throughout.
    const QString folder = env.path(QStringLiteral("program"));
    QDir().mkpath(folder);
    env.write(QStringLiteral("program/tapeweld-cmd"), "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(folder + QStringLiteral("/tapeweld-cmd"), QFile::ReadOwner | QFile::ExeOwner);
    AppPaths::setProgramFolder(folder);
    JoinWizard zero(JoinPlan{env.path(QStringLiteral("o.avi")), {}, 0, &encoderEngine(), {}, -1, false, {}});
    zero.setElapsedSeconds(64);
    zero.ElapsedTimer_Timer();
    EXPECT_EQ(zero.elapsedText(), QStringLiteral("00:01:05"));
    zero.setElapsedSeconds(32767);
    zero.ElapsedTimer_Timer();
    EXPECT_EQ(zero.elapsedText(), QStringLiteral("09:06:07"));
    // A maximum of 0 shows 0 % rather than dividing by zero.
    zero.Form_Load();
    env.write(QStringLiteral("o.avi.tpw.avi"), ""); // what a list of no parts makes
    QDir().rmdir(RunFiles::workFolder());           // the first script's last line
    zero.Timer_Timer();
    EXPECT_EQ(zero.operationText(), QStringLiteral("Generating Index...(This may take a few minutes)"));
    EXPECT_TRUE(zero.bounceVisible());
    env.write(QStringLiteral("o.avi"), QByteArray(4096, 'o'));
    zero.Timer_Timer();
    EXPECT_EQ(zero.windowTitle(), QStringLiteral("Join Wizard (0%)"));
    EXPECT_EQ(zero.writtenSizeText(), QStringLiteral("4 KB"));
    QDir().rmdir(RunFiles::workFolder());
}


TEST(JoinEndToEnd, ASecondInstanceIsRefusedAndTheFirstFinishesWhole)
{
    EndToEnd e(3);
    const int frames = e.inputFrames();
    e.beforeLoad = [] { slowFirstScript(2); };
    QProcess second;
    e.whileRunning = [&](JoinWizard &) {
        second.start(QStringLiteral(TW_SECOND_INSTANCE),
                     {e.env.settingsPath(), QStringLiteral(TW_PROGRAM_DIR), e.inputs[0], e.inputs[1],
                      e.env.path(QStringLiteral("second.avi"))});
        ASSERT_TRUE(second.waitForFinished(20000));
    };
    e.atEnd = [&](JoinWizard &w) { EXPECT_EQ(w.operationText(), QStringLiteral("Finished!")) << w.reasonText().toStdString(); };
    e.run();
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()).trimmed(), RunSession::busyMessage());
    EXPECT_FALSE(QFile::exists(e.env.path(QStringLiteral("second.avi"))));
    EXPECT_EQ(SampleMedia::videoFrames(e.output), frames);
}

TEST(JoinEndToEnd, AJoinAfterACancelIsWhole)
{
    EndToEnd e(3);
    const int frames = e.inputFrames();
    e.beforeLoad = [] { slowFirstScript(5); };
    e.whileRunning = [&](JoinWizard &w) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(e.temp()); }, 20000));
        w.CancelButton_Click();
    };
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Cancelled!"));
        w.CancelButton_Click(); // Close
    };
    e.run();
    // The cancelled run's interpreter is gone: the next join starts at once and is whole.
    e.beforeLoad = nullptr;
    e.whileRunning = nullptr;
    e.atEnd = [&](JoinWizard &w) { EXPECT_EQ(w.operationText(), QStringLiteral("Finished!")) << w.reasonText().toStdString(); };
    e.run();
    EXPECT_EQ(SampleMedia::videoFrames(e.output), frames);
}

TEST(JoinEndToEnd, AStrayByteJoinedAnywayIsNeverCalledFinishedWithFramesMissing)
{
    EndToEnd e(1, SampleMedia::Kind::Xvid320, 2);
    // A camera clip one byte longer than its RIFF chunk, and a copy of it.
    QFile f(e.inputs[0]);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("x");
    f.close();
    const QString copy = e.env.path(QStringLiteral("copy.avi"));
    ASSERT_TRUE(QFile::copy(e.inputs[0], copy));
    ListView_OLEDragDrop(e.list, {copy}, nullptr);
    e.inputs << copy;
    e.digests = {digest(e.inputs[0]), digest(copy)};
    qint64 expected = 0;
    for (const QString &in : e.inputs)
        expected += Avi::summarize(in).frames();
    e.dialogs.answers.enqueue(Dialogs::Answer::Yes); // join anyway
    e.atEnd = [&](JoinWizard &w) {
        const qint64 held = Avi::summarize(e.output).frames();
        if (held >= expected) {
            EXPECT_EQ(w.operationText(), QStringLiteral("Finished!"));
        } else {
            EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
            // Written to its end: kept, and where it is said.
            EXPECT_EQ(w.reasonText(), QStringLiteral("The output holds %1 of %2 frames.\nThe output was kept: %3").arg(held).arg(expected).arg(e.output));
        }
    };
    e.run();
    EXPECT_TRUE(e.dialogs.messages[0].text.startsWith(QStringLiteral("Row 1 (part 1.avi) holds 1 byte more than its AVI chunks.")));
}

TEST(JoinEndToEnd, OpenDmlOverTwoGibibytesJoinsWhole)
{
    TestEnvironment env;
    if (QStorageInfo(env.root()).bytesAvailable() < 10LL << 30)
        GTEST_SKIP() << "needs 10 GiB free for an output over 2 GiB";
    // A 1.1 GiB OpenDML part (RIFF AVIX after the first GiB), joined with a copy of itself.
    const QString big = SampleMedia::makeOpenDml(env.root(), QStringLiteral("opendml.avi"));
    ASSERT_FALSE(big.isEmpty());
    ScriptedDialogs dialogs;
    FileList list;
    NewList(list, false);
    ListView_OLEDragDrop(list, {big, big}, nullptr);
    for (const Engine *engine : {&encoderEngine(), &writerEngine()}) {
        const QString output = env.path(QStringLiteral("joined.avi"));
        dialogs.files.enqueue({output});
        JoinHooks hooks;
        hooks.engine = engine;
        hooks.freeBytes = [](const QString &) { return 1e15; };
        QString outcome, reason;
        hooks.runJoin = [&](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
            JoinWizard wizard(plan, nullptr, std::move(run));
            wizard.Form_Load();
            EXPECT_TRUE(QTest::qWaitFor([&] { return wizard.ended(); }, 600000));
            outcome = wizard.operationText();
            reason = wizard.reasonText();
        };
        StartJoin(list, hooks);
        EXPECT_EQ(outcome, QStringLiteral("Finished!")) << reason.toStdString();
        EXPECT_GT(QFileInfo(output).size(), 2LL << 30);
        const Avi::File joined = Avi::read(output, Avi::Detail::Counts);
        EXPECT_EQ(joined.frames(), 760);
        if (engine == &writerEngine()) { // OpenDML through its own indexes, RIFFs of at most 1 GiB
            EXPECT_EQ(joined.index, Avi::IndexSource::OpenDml);
            EXPECT_GE(joined.riffs, 3);
            EXPECT_EQ(SampleMedia::videoFrames(output), 760);
        }
        QFile::remove(output);
    }
}

TEST(JoinEndToEnd, EveryStreamIsJudgedWhenJoinedAnyway)
{
    using SampleMedia::picture;
    using SampleMedia::sine;
    const auto args = [](std::initializer_list<const char *> words) {
        QStringList l;
        for (const char *w : words)
            l << QString::fromLatin1(w);
        return l;
    };
    const QStringList xvid = args({"-c:v", "mpeg4", "-vtag", "XVID"}), mjpg = args({"-c:v", "mjpeg"}), mp3 = args({"-c:a", "libmp3lame"}),
                      ac3 = args({"-c:a", "ac3"}), pcm16 = args({"-c:a", "pcm_s16le"}), pcm8 = args({"-c:a", "pcm_u8"}),
                      oneSecond = args({"-t", "1"}), twoSeconds = args({"-t", "2"});
    const QStringList av = picture() + sine() + xvid + mp3 + twoSeconds, pcm = picture() + sine() + mjpg + pcm16 + twoSeconds;
    const QStringList twoTracks = picture() + sine() + sine() + args({"-map", "0", "-map", "1", "-map", "2"}) + xvid + mp3 + oneSecond;
    struct Case
    {
        QList<QStringList> parts;
        QString outcome, reason;               // the encoder's, after its question
        QString builtinOutcome, builtinReason; // the writer's; it asks only where it cannot carry
    };
    const QString finished = QStringLiteral("Finished!"), failed = QStringLiteral("Failed!");
    const QList<Case> cases{
        {{picture() + sine() + xvid + ac3 + twoSeconds, picture() + sine() + args({"-map", "1", "-map", "0"}) + xvid + ac3 + twoSeconds},
         failed, QStringLiteral("The output suffers what the question named: Row 2 (part 2.avi) differs from row 1 (part 1.avi) in its order of streams"),
         finished, QString()},
        // Asked, answered Yes, delivered exactly: finished, with the accepted loss said.
        {{twoTracks, twoTracks}, finished, QStringLiteral("The output keeps the first of 2 sound tracks, as asked."), finished, QString()},
        {{picture() + sine() + mjpg + pcm16 + oneSecond, picture() + sine() + mjpg + pcm8 + oneSecond, picture() + sine() + mjpg + pcm16 + oneSecond},
         // The real cause, not a symptom ("filed under the wrong stream", or a sound length).
         failed, QStringLiteral("The output suffers what the question named: Row 2 (part 2.avi) differs from row 1 (part 1.avi) in its sound sample size"),
         failed, QStringLiteral("The output suffers what the question named: Row 2 (part 2.avi) differs from row 1 (part 1.avi) in its sound sample size")},
        {{av, picture() + sine(44100, 0.5) + xvid + mp3 + twoSeconds, av}, finished,
         QStringLiteral("Part 3's sound starts 1.5 s before its picture."), finished, QStringLiteral("Before part 3 the writer put in 1.")},
        {{pcm, picture() + sine(44100, 0.5) + mjpg + pcm16 + twoSeconds, pcm}, finished,
         QStringLiteral("Part 3's sound starts 1.5 s before its picture."), finished, QStringLiteral("Before part 3 the writer put in 1.")},
    };
    for (const Case &c : cases)
        for (const Engine *engine : {&encoderEngine(), &writerEngine()}) {
        const bool builtin = engine == &writerEngine();
        const QString outcome = builtin ? c.builtinOutcome : c.outcome, reason = builtin ? c.builtinReason : c.reason;
        EndToEnd e(c.parts);
        e.engine = engine;
        const bool asks = !builtin || c.builtinOutcome == failed;
        if (asks)
            e.dialogs.answers.enqueue(Dialogs::Answer::Yes); // the question named it: join anyway
        e.run();
        ASSERT_EQ(e.dialogs.messages.size(), asks ? 1 : 0) << c.reason.toStdString() << builtin;
        EXPECT_EQ(e.outcome, outcome) << c.reason.toStdString() << " / " << e.reason.toStdString() << builtin;
        EXPECT_TRUE(reason.isEmpty() ? e.reason.isEmpty() : e.reason.startsWith(reason)) << e.reason.toStdString();
        if (outcome == finished) {
            // Whole, as ffprobe reads it: every frame (and the writer's held ones, which are frames too), and the parts' sound to its end.
            QVector<Avi::Summary> rows;
            for (const QString &in : e.inputs)
                rows << Avi::summarize(in);
            qint64 held = 0;
            for (const SyncPlan::Seam &seam : SyncPlan::plan(rows, builtin))
                held += seam.dropFrames;
            EXPECT_EQ(SampleMedia::videoFrames(e.output), e.inputFrames() + held);
            double sound = 0;
            for (const QString &in : e.inputs)
                sound += SampleMedia::soundSeconds(in);
            // The writer pads the sound that was missing; the encoder's output lacks it.
            EXPECT_NEAR(SampleMedia::soundSeconds(e.output), builtin ? Avi::summarize(e.output).frames() / 25.0 : sound, 0.1);
        }
        }
}
