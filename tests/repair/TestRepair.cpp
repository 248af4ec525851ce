#include "avi/AviFile.h"
#include "app/AppPaths.h"
#include "app/Settings.h"
#include "avi/AviSummary.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "platform/RunLock.h"
#include "gui/RepairAVIFile.h"
#include "join/RepairScript.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// Renames the idx1 chunk so that the file has no index any more.
QString damagedCopy(const TestEnvironment &env, const QString &source, const QString &name)
{
    QByteArray data = readAll(source);
    const qsizetype at = data.lastIndexOf("idx1");
    EXPECT_GT(at, 0);
    data.replace(at, 4, "JUNK");
    return env.write(name, data);
}

// A program folder whose encoder is replaced: the real interpreter beside it.
void programFolderWithEncoder(const TestEnvironment &env, const QString &encoder)
{
    const QString folder = env.path(QStringLiteral("program"));
    QDir().mkpath(folder);
    QFile::link(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-cmd"), folder + QStringLiteral("/tapeweld-cmd"));
    QFile::copy(encoder, folder + QStringLiteral("/AVI.dll"));
    QFile::setPermissions(folder + QStringLiteral("/AVI.dll"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AppPaths::setProgramFolder(folder);
}

// The spy goes with the call: nothing outlives it (a lambda capturing a local would).
bool runToEnd(RepairAVIFile &w)
{
    QSignalSpy finished(&w, &RepairAVIFile::finished);
    return finished.wait(120000);
}
} // namespace

TEST(Repair, ScriptText)
{
    EXPECT_EQ(RepairScript::text(QStringLiteral("/cfg/Tapeweld"), QStringLiteral("/v/movie.avi"),
                                 RepairScript::outputFor(QStringLiteral("/v/movie.avi"))),
              QByteArray("@echo off\r\necho Generated with Tapeweld\r\necho Visit us at: https://tapeweld.larkvane.example\r\n"
                         "echo Fixing AVI File...\r\n"
                         "\"/cfg/Tapeweld/AVI.exe\" -forceidx -oac copy -ovc copy \"/v/movie.avi\" -o \"/v/movie.avi.fixed.avi\"\r\n"
                         "echo AVI File has been fixed!\r\nrmdir \"/cfg/Tapeweld/JoinTemp\"\r\nexit\r\n"));
    EXPECT_EQ(RepairScript::outputFor(QStringLiteral("movie.avi.fixed.avi")), QStringLiteral("movie.avi.fixed.avi.fixed.avi"));
    EXPECT_EQ(RepairScript::percent(37, 100), 37);
    EXPECT_EQ(RepairScript::percent(5, 0), 0);
}

TEST(Repair, RebuildsADamagedIndex)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString original = SampleMedia::make(SampleMedia::Kind::Xvid640, env.root(), QStringLiteral("source.avi"), 2);
    const QString damaged = damagedCopy(env, original, QStringLiteral("my movies/movie.avi"));
    const QByteArray before = readAll(damaged);

    RepairAVIFile w;
    w.show();
    dialogs.files.enqueue({damaged});
    w.cmdChooseInputFile_Click();
    EXPECT_EQ(w.inputFile()->text(), damaged);
    EXPECT_EQ(Settings::read(SettingsKeys::kAddFiles), env.path(QStringLiteral("my movies/")));
    w.cmdRepair_Click();
    EXPECT_EQ(w.cancelCaption(), QStringLiteral("&Cancel"));
    ASSERT_TRUE(runToEnd(w));

    const QString fixed = damaged + QStringLiteral(".fixed.avi");
    EXPECT_EQ(SampleMedia::videoFrames(fixed), SampleMedia::videoFrames(original));
    EXPECT_EQ(readAll(damaged), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    // Under the message, how many frames the repair recovered.
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The selected AVI File has been repaired successfully!\r\n\r\n"
                                                       "The repaired file has been saved to:\r\n") + fixed
                                            + QStringLiteral("\r\n\r\n%1 frames were recovered.").arg(Avi::read(fixed).frames()));
    EXPECT_EQ(w.cancelCaption(), QStringLiteral("&Close"));
    EXPECT_EQ(w.statusText(), QStringLiteral("Initializing..."));

    // Repairing the result names its output after it.
    w.inputFile()->setText(fixed);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    EXPECT_TRUE(QFile::exists(fixed + QStringLiteral(".fixed.avi")));

    // Close removes the encoder copy and the script.
    EXPECT_TRUE(QFile::exists(RunFiles::encoderCopy()));
    w.cmdCancel_Click();
    EXPECT_FALSE(QFile::exists(RunFiles::encoderCopy()));
    EXPECT_FALSE(QFile::exists(RunFiles::secondScript()));
}

TEST(Repair, MissingInputStartsNothing)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    RepairAVIFile w;
    w.inputFile()->setText(env.path(QStringLiteral("typed/but/missing.avi")));
    w.cmdRepair_Click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("Please, choose a valid AVI File.")});
    EXPECT_FALSE(w.running());
    EXPECT_FALSE(QFile::exists(RunFiles::secondScript()));
    // An existing file whose name would break the script line starts nothing either.
    w.inputFile()->setText(env.write(QStringLiteral("evil\nrm -rf x.avi"), "x"));
    w.cmdRepair_Click();
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(QStringLiteral("This file's name holds a line break")));
    EXPECT_FALSE(w.running());
    EXPECT_FALSE(QFile::exists(RunFiles::secondScript()));
    // A cancelled dialog changes neither the box nor the settings.
    const QByteArray settings = readAll(env.settingsFile());
    const QString typed = w.inputFile()->text();
    w.cmdChooseInputFile_Click();
    EXPECT_EQ(w.inputFile()->text(), typed);
    EXPECT_EQ(readAll(env.settingsFile()), settings);
}

TEST(Repair, FailingEncoderAndEmptyOutputFail)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString failing = env.write(QStringLiteral("fail.sh"), "#!/bin/sh\n: > \"$8\"\nexit 1\n"); // leaves an empty output
    QFile::setPermissions(failing, QFile::ReadOwner | QFile::ExeOwner);
    programFolderWithEncoder(env, failing);
    const QString input = env.write(QStringLiteral("empty.avi"), "");
    RepairAVIFile w;
    w.show();
    w.inputFile()->setText(input);
    w.cmdRepair_Click();
    EXPECT_EQ(w.progressPercent(), 0); // a size of 0 divides nothing
    ASSERT_TRUE(runToEnd(w));
    EXPECT_FALSE(QFile::exists(input + QStringLiteral(".fixed.avi"))); // a failed repair leaves no partial output
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("An error occured while repairing your AVI File!\r\n"
                                                                 "The selected AVI File was not repaired.\r\n\r\n"
                                                                 "The encoder wrote no output: the encoder stopped with exit code 1.")});
}

TEST(Repair, CancelDuringTheIndexPhaseNeverReportsSuccess)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    programFolderWithEncoder(env, QStringLiteral(TW_SLOW_ENCODER));
    const QString input = SampleMedia::make(SampleMedia::Kind::Dx50, env.root(), QStringLiteral("in.avi"), 1);
    RepairAVIFile w;
    w.show();
    w.inputFile()->setText(input);
    w.cmdRepair_Click();
    QStringList seen;
    QObject::connect(&w, &RepairAVIFile::statusChanged, [&](const QString &s) { seen << s; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.statusText() == QStringLiteral("Fixing Index..."); }, 5000))
        << seen.join(u',').toStdString() << " messages: " << dialogs.messageTexts().join(u',').toStdString();
    EXPECT_TRUE(w.bounceVisible());
    // A partial output as the encoder would leave it.
    const QString output = input + QStringLiteral(".fixed.avi");
    env.write(QStringLiteral("in.avi.fixed.avi"), QByteArray(100000, 'p'));
    w.close(); // the title bar's close acts as Cancel while a repair runs
    ASSERT_TRUE(runToEnd(w));
    EXPECT_FALSE(QFile::exists(output));
    for (const QString &gone : {RunFiles::encoderCopy(), RunFiles::secondScript(), RunFiles::workFolder()})
        EXPECT_FALSE(QFile::exists(gone)) << gone.toStdString();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("An error occured while repairing your AVI File!\r\n"
                                                                 "The selected AVI File was not repaired.")});
    EXPECT_FALSE(w.running());
}

// An encoder that reads and writes nothing for the limit is stopped, and the repair says why.
TEST(Repair, AStuckEncoderIsStoppedWithItsReason)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    programFolderWithEncoder(env, QStringLiteral(TW_SLOW_ENCODER));
    const int limit = std::exchange(RunSession::stallLimitMs, 2000);
    const QString input = SampleMedia::make(SampleMedia::Kind::Dx50, env.root(), QStringLiteral("in.avi"), 1);
    RepairAVIFile w;
    w.show();
    w.inputFile()->setText(input);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    RunSession::stallLimitMs = limit;
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("An error occured while repairing your AVI File!\r\n"
                                                                 "The selected AVI File was not repaired.\r\n\r\n"
                                                                 "The encoder did nothing for 2 seconds and was stopped. "
                                                                 "The unfinished repaired file was removed.")});
    EXPECT_FALSE(QFile::exists(input + QStringLiteral(".fixed.avi")));
}

TEST(Repair, OnlyAWholeResultIsASuccess)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString original = SampleMedia::make(SampleMedia::Kind::Xvid640, env.root(), QStringLiteral("source.avi"), 4);
    const QString damaged = damagedCopy(env, original, QStringLiteral("movie.avi"));

    // An encoder that stops a quarter of the way, but exits as if all went well.
    const QString quarter = env.write(QStringLiteral("quarter.sh"),
                                      "#!/bin/sh\nhead -c $(( $(stat -c %s \"$6\") / 4 )) \"$6\" > \"$8\"\nexit 0\n");
    QFile::setPermissions(quarter, QFile::ReadOwner | QFile::ExeOwner);
    programFolderWithEncoder(env, quarter);
    RepairAVIFile w;
    w.show();
    w.inputFile()->setText(damaged);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("An error occured while repairing your AVI File!\r\n"
                                                                   "The selected AVI File was not repaired.\r\n\r\nThe repaired file holds ")));
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Exclamation);

    // A file cut short in the middle of its movi list is what a user repairs: its whole frames are the result.
    AppPaths::setProgramFolder(QStringLiteral(TW_PROGRAM_DIR));
    const QByteArray data = readAll(original);
    const QString cut = env.write(QStringLiteral("cut.avi"), data.left(data.size() / 2));
    dialogs.messages.clear();
    w.inputFile()->setText(cut);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The selected AVI File has been repaired successfully!")))
        << dialogs.messages[0].text.toStdString();
    EXPECT_GT(SampleMedia::videoFrames(cut + QStringLiteral(".fixed.avi")), 0);
}

TEST(Repair, WaitsForAnotherWindowsRun)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString input = env.write(QStringLiteral("in.avi"), "x");
    RunLock other(env.settingsPath()); // another instance's join
    ASSERT_TRUE(other.tryAcquire());
    env.write(QStringLiteral("config/Larkvane/Tapeweld/AVI.bat"), "theirs");
    RepairAVIFile w;
    w.inputFile()->setText(input);
    w.cmdRepair_Click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{RunSession::busyMessage()});
    EXPECT_FALSE(w.running());
    w.cmdCancel_Click(); // Close: the other run's files stay
    EXPECT_EQ(readAll(RunFiles::secondScript()), QByteArray("theirs"));
}

TEST(Repair, AsksBeforeItDropsAStreamOrReplacesAFileAndNeverWritesThroughALink)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    RepairAVIFile w;
    w.show();
    // Two sound tracks: the encoder keeps one, so it asks; run anyway, the outcome says so.
    const QString two = SampleMedia::makeWith(env.root(), QStringLiteral("two.avi"),
                                              SampleMedia::picture() + SampleMedia::sine() + SampleMedia::sine()
                                                  + QStringList{QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-map"), QStringLiteral("1"),
                                                                QStringLiteral("-map"), QStringLiteral("2"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                                                QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-t"), QStringLiteral("1")});
    w.inputFile()->setText(two);
    dialogs.answers.enqueue(Dialogs::Answer::No);
    w.cmdRepair_Click();
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(QStringLiteral("This file has 2 sound tracks, and the encoder keeps one")));
    EXPECT_FALSE(w.running());
    dialogs.answers.enqueue(Dialogs::Answer::Yes);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    // Asked, accepted, delivered exactly: repaired, with the accepted loss said.
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(QStringLiteral("The selected AVI File has been repaired successfully!")));
    EXPECT_TRUE(dialogs.messages.last().text.endsWith(QStringLiteral("The repaired file keeps the first of 2 sound tracks, as asked.")))
        << dialogs.messages.last().text.toStdString();
    EXPECT_TRUE(QFile::exists(two + QStringLiteral(".fixed.avi")));

    // An output name that is a link: refused, its target untouched.
    const QString input = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("x.avi"), 1);
    const QString victim = env.write(QStringLiteral("victim.txt"), "keep me");
    ASSERT_TRUE(QFile::link(victim, input + QStringLiteral(".fixed.avi")));
    w.inputFile()->setText(input);
    w.cmdRepair_Click();
    EXPECT_TRUE(dialogs.messages.last().text.contains(QStringLiteral("is a link to another file"))) << dialogs.messages.last().text.toStdString();
    EXPECT_FALSE(w.running());
    EXPECT_EQ(readAll(victim), QByteArray("keep me"));

    // An existing output is replaced only after a Yes.
    QFile::remove(input + QStringLiteral(".fixed.avi"));
    const QString existing = env.write(QStringLiteral("x.avi.fixed.avi"), "older");
    dialogs.answers.enqueue(Dialogs::Answer::No);
    w.cmdRepair_Click();
    EXPECT_EQ(dialogs.messages.last().title, QStringLiteral("File Already Exists!"));
    EXPECT_EQ(readAll(existing), QByteArray("older"));

    // What is no regular file answers at once.
    for (const QString &odd : env.notRegularFiles(QStringLiteral(".avi"))) {
        w.inputFile()->setText(odd);
        w.cmdRepair_Click();
        EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Please, choose a valid AVI File.")) << odd.toStdString();
        EXPECT_FALSE(w.running());
    }
}

TEST(Repair, TheWriterRebuildsTheIndexKeepingEveryTrack)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    Engines::configure(writerEngine());
    const QString two = SampleMedia::makeWith(env.root(), QStringLiteral("two.avi"),
                                              SampleMedia::picture() + SampleMedia::sine() + SampleMedia::sine(48000)
                                                  + QStringList{QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-map"), QStringLiteral("1"),
                                                                QStringLiteral("-map"), QStringLiteral("2"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                                                QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-t"), QStringLiteral("2")});
    const QString damaged = damagedCopy(env, two, QStringLiteral("damaged.avi"));
    RepairAVIFile w;
    w.show();
    w.inputFile()->setText(damaged);
    w.cmdRepair_Click();
    ASSERT_TRUE(runToEnd(w));
    ASSERT_EQ(dialogs.messages.size(), 1); // nothing asked: every track is kept
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The selected AVI File has been repaired successfully!"))) << dialogs.messages[0].text.toStdString();
    const QString fixed = damaged + QStringLiteral(".fixed.avi");
    EXPECT_EQ(SampleMedia::packets(fixed), SampleMedia::packets(two));
    EXPECT_EQ(SampleMedia::videoChecksums(fixed), SampleMedia::videoChecksums(two));
    EXPECT_EQ(Avi::summarize(fixed).chainDifference(), 0);
}
