#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "join/JoinScripts.h"
#include "join/JoinWizard.h"
#include "join/ScriptRun.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {
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

    explicit EndToEnd(int files)
    {
        NewList(list, false);
        for (int i = 1; i <= files; ++i)
            inputs << SampleMedia::make(SampleMedia::Kind::Xvid640, env.root(), QStringLiteral("part %1.avi").arg(i), 2);
        ListView_OLEDragDrop(list, inputs, nullptr);
        QDir().mkpath(env.path(QStringLiteral("out dir")));
        output = env.path(QStringLiteral("out dir/joined.avi"));
    }

    void run()
    {
        dialogs.files.enqueue({output});
        JoinHooks hooks;
        hooks.showWizard = [this](const QString &out, std::shared_ptr<ScriptRun> run, const QStringList &paths) {
            if (beforeLoad)
                beforeLoad();
            JoinWizard wizard(out, list.totals().size, nullptr, std::move(run), paths);
            QObject::connect(&wizard, &JoinWizard::operationChanged, [this](const QString &t) { operations << t; });
            wizard.show();
            wizard.Form_Load();
            if (whileRunning)
                whileRunning(wizard);
            EXPECT_TRUE(QTest::qWaitFor([&] { return wizard.ended(); }, 120000));
            if (atEnd)
                atEnd(wizard);
        };
        StartJoin(list, hooks);
    }
    QString temp() const { return output + JoinScripts::kTempSuffix; }
};
} // namespace

TEST(JoinEndToEnd, ThreeFilesBecomeOnePlayableFile)
{
    EndToEnd e(3);
    ASSERT_EQ(e.list.listStatus(), QStringLiteral("Green"));
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
        EXPECT_FALSE(QFile::exists(JoinScripts::workFolder()));
        // Scripts and the encoder copy stay until Close.
        EXPECT_TRUE(QFile::exists(JoinScripts::firstScript()));
        EXPECT_TRUE(QFile::exists(JoinScripts::secondScript()));
        EXPECT_TRUE(QFile::exists(JoinScripts::encoderCopy()));
        w.CancelButton_Click();
        EXPECT_FALSE(QFile::exists(JoinScripts::firstScript()));
        EXPECT_FALSE(QFile::exists(JoinScripts::secondScript()));
        EXPECT_FALSE(QFile::exists(JoinScripts::encoderCopy()));
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
    e.beforeLoad = [&] {
        QByteArray script = readAll(JoinScripts::firstScript());
        const qsizetype afterFirstCopy = script.indexOf("\r\n", script.indexOf("Copy /b")) + 2;
        script.insert(afterFirstCopy, "\"/bin/sleep\" 3\r\n");
        QFile f(JoinScripts::firstScript());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(script);
    };
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
    for (const QString &gone : {e.temp(), e.output, JoinScripts::workFolder(), JoinScripts::firstScript(),
                                JoinScripts::secondScript(), JoinScripts::encoderCopy()})
        EXPECT_FALSE(QFile::exists(gone)) << gone.toStdString();
    // The interpreter wakes up, finds its script gone and stops: nothing comes back.
    QTest::qWait(3500);
    EXPECT_FALSE(QFile::exists(e.temp()));
    EXPECT_FALSE(QFile::exists(JoinScripts::workFolder()));
    for (const QString &in : e.inputs)
        EXPECT_TRUE(QFile::exists(in));
}

TEST(JoinEndToEnd, AnEncoderThatFailsEndsAsFailed)
{
    EndToEnd e(2);
    // A program folder whose encoder exits at once without output.
    const QString folder = e.env.path(QStringLiteral("broken program"));
    QDir().mkpath(folder);
    QFile::link(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), folder + QStringLiteral("/tapeweld-cmd"));
    e.env.write(QStringLiteral("broken program/AVI.dll"), "#!/bin/sh\nexit 1\n");
    QFile::setPermissions(folder + QStringLiteral("/AVI.dll"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AppPaths::setProgramFolder(folder);
    e.atEnd = [&](JoinWizard &w) {
        EXPECT_EQ(w.operationText(), QStringLiteral("Failed!"));
        EXPECT_TRUE(w.optionsEnabled());
        EXPECT_FALSE(QFile::exists(e.temp())); // the second script deleted it
    };
    e.run();
    EXPECT_FALSE(QFile::exists(e.output));
    EXPECT_EQ(e.operations.last(), QStringLiteral("Failed!"));
}

TEST(JoinEndToEnd, AScriptThatCannotStartEndsAsFailed)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    AppPaths::setProgramFolder(env.path(QStringLiteral("interpreter went missing")));
    JoinWizard wizard(env.path(QStringLiteral("o.avi")), QStringLiteral("10 KB"));
    wizard.Form_Load();
    EXPECT_TRUE(QTest::qWaitFor([&] { return wizard.ended(); }, 5000));
    EXPECT_EQ(wizard.operationText(), QStringLiteral("Failed!"));
}

TEST(JoinEndToEnd, WizardDetails)
{
    TestEnvironment env;
    JoinWizard zero(env.path(QStringLiteral("o.avi")), QStringLiteral("0 KB"));
    zero.setElapsedSeconds(64);
    zero.ElapsedTimer_Timer();
    EXPECT_EQ(zero.elapsedText(), QStringLiteral("00:01:05"));
    zero.setElapsedSeconds(32767);
    zero.ElapsedTimer_Timer();
    EXPECT_EQ(zero.elapsedText(), QStringLiteral("09:06:07"));
    // A maximum of 0 shows 0 % rather than dividing by zero.
    env.write(QStringLiteral("o.avi.tpw.avi"), "data");
    QDir().mkpath(JoinScripts::workFolder());
    zero.Timer_Timer(); // tag is empty before load: switches to operation 2
    zero.Timer_Timer();
    EXPECT_EQ(zero.operationText(), QStringLiteral("Generating Index...(This may take a few minutes)"));
    EXPECT_TRUE(zero.bounceVisible());
    env.write(QStringLiteral("o.avi"), QByteArray(4096, 'o'));
    zero.Timer_Timer();
    EXPECT_EQ(zero.windowTitle(), QStringLiteral("Join Wizard (0%)"));
    EXPECT_EQ(zero.writtenSizeText(), QStringLiteral("4 KB"));
    QDir().rmdir(JoinScripts::workFolder());
}
