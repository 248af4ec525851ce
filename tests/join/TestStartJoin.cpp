#include "avi/AviSummary.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "app/Settings.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "platform/RunLock.h"
#include "join/StartJoin.h"
#include "list/FileList.h"
#include "list/ProbeListItem.h"
#include "list/UpdateListTotals.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
// A RIFF "AVI " chunk and nothing else: whole, and no different from its neighbours.
const QByteArray kEmptyAvi("RIFF\x04\0\0\0AVI ", 12);

struct JoinFixture
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    QStringList wizards;
    double freeBytes = 1e15;
    JoinHooks hooks;

    JoinFixture(int rows = 2, const QString &codec2 = QStringLiteral("XVID"))
    {
        for (int i = 1; i <= rows; ++i)
            list.model().appendRow({QStringLiteral("f%1.avi").arg(i), QStringLiteral("500 KB"), QStringLiteral("d"),
                                    env.write(QStringLiteral("in/f%1.avi").arg(i), kEmptyAvi), i == 2 ? codec2 : QStringLiteral("XVID"),
                                    QStringLiteral("640x480"), QStringLiteral("1 seconds")});
        UpdateListTotals(list);
        hooks.freeBytes = [this](const QString &) { return freeBytes; };
        hooks.runJoin = [this](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
            EXPECT_TRUE(run && run->held());
            wizards << plan.output;
        };
    }
    void run() { StartJoin(list, hooks); }
};
} // namespace

TEST(StartJoin, RefusesBusyAndShortLists)
{
    JoinFixture busy;
    busy.hooks.adding = true;
    busy.run();
    EXPECT_EQ(busy.dialogs.messageTexts(), QStringList{QStringLiteral("Adding Files. Please be patient!")});

    JoinFixture one(1);
    one.run();
    EXPECT_EQ(one.dialogs.messageTexts(), QStringList{QStringLiteral("Please, Add at least 2 files to your list.")});
    EXPECT_TRUE(one.dialogs.fileRequests.isEmpty());
}

TEST(StartJoin, RedListAsksFirst)
{
    JoinFixture red(2, QStringLiteral("DX50"));
    red.dialogs.answers.enqueue(Dialogs::Answer::No);
    red.run();
    EXPECT_TRUE(red.dialogs.fileRequests.isEmpty());
    EXPECT_TRUE(red.dialogs.messages[0].text.startsWith(QStringLiteral("The files in your list appear to be incompatible")));

    red.dialogs.answers.enqueue(Dialogs::Answer::Yes);
    red.run(); // then the output dialog is cancelled: nothing written
    ASSERT_EQ(red.dialogs.fileRequests.size(), 1);
    EXPECT_EQ(red.dialogs.fileRequests[0].title, QStringLiteral("Where would you like to save the output file?"));
    EXPECT_EQ(red.dialogs.fileRequests[0].filter, QStringLiteral("AVI File|*.avi"));
    EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
    EXPECT_TRUE(red.wizards.isEmpty());
}

TEST(StartJoin, OutputThatIsPartOfTheListUnderAnySpelling)
{
    JoinFixture f;
    const QString row1 = f.list.model().cell(1, FileListModel::Filepath);
    const QString link = f.env.path(QStringLiteral("link.avi"));
    QFile::link(row1, link);
    f.dialogs.files.enqueue({row1});
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("in/./f2.avi"))});
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("in//f1.avi"))});
    f.dialogs.files.enqueue({link});
    f.run(); // the fifth dialog is cancelled
    EXPECT_EQ(f.dialogs.messages.size(), 4);
    for (const auto &m : f.dialogs.messages) {
        EXPECT_EQ(m.text, QStringLiteral("The file you've selected is part of your list.\r\nPlease, choose a different filename."));
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
    }
    EXPECT_EQ(readAll(row1), kEmptyAvi); // no input was touched
    EXPECT_TRUE(f.wizards.isEmpty());
    EXPECT_EQ(Settings::read(SettingsKeys::kJoinFiles), f.env.path(QStringLiteral("in/")));
}

TEST(StartJoin, ExistingOutputIsOverwrittenOnlyOnYes)
{
    JoinFixture f;
    const QString existing = f.env.write(QStringLiteral("out/old.avi"), "old");
    f.dialogs.files.enqueue({existing});
    f.dialogs.answers.enqueue(Dialogs::Answer::No); // then the dialog again, cancelled
    f.run();
    EXPECT_EQ(readAll(existing), QByteArray("old"));
    EXPECT_EQ(f.dialogs.messages.last().title, QStringLiteral("File Already Exists!"));
    EXPECT_EQ(f.dialogs.fileRequests.size(), 2);

    f.dialogs.files.enqueue({existing});
    f.dialogs.answers.enqueue(Dialogs::Answer::Yes);
    f.freeBytes = 0;
    f.dialogs.answers.enqueue(Dialogs::Answer::No); // not enough free space: stop
    f.run();
    EXPECT_FALSE(QFile::exists(existing)); // deleted before the space check
    EXPECT_TRUE(f.dialogs.messages.last().text.startsWith(QStringLiteral("You do not have enough free diskspace on drive /")));
    EXPECT_TRUE(f.wizards.isEmpty());

    // What no output can replace is refused and the dialog asked again: never "overwrite?" without end.
    for (const QString &odd : f.env.notRegularFiles(QStringLiteral(".avi"))) {
        f.dialogs.messages.clear();
        f.dialogs.files.enqueue({odd});
        f.dialogs.files.enqueue({QString()});
        f.run();
        ASSERT_EQ(f.dialogs.messages.size(), 1) << odd.toStdString();
        EXPECT_EQ(f.dialogs.messages[0].text, odd + QStringLiteral(" is not a file: a join cannot write its output there.\r\nPlease, choose a different filename."));
    }
    EXPECT_TRUE(f.wizards.isEmpty());
}

TEST(StartJoin, FreeSpaceBoundary)
{
    // 2 rows of 500 KB: 1,000 KB in all, 2,000 KB needed.
    JoinFixture f;
    const QString out = f.env.path(QStringLiteral("out.avi"));
    f.freeBytes = 1999.0 * 1024;
    f.dialogs.files.enqueue({out});
    f.dialogs.answers.enqueue(Dialogs::Answer::No);
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].text.endsWith(QStringLiteral(".\r\nWould you like to continue?")));

    f.freeBytes = 2000.0 * 1024;
    f.dialogs.files.enqueue({out});
    f.run();
    EXPECT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_EQ(f.wizards, QStringList{out});
    EXPECT_TRUE(readAll(RunFiles::firstScript()).contains(QFile::encodeName(out + QStringLiteral(".tpw.avi"))));
}

TEST(StartJoin, MissingEncoderAfterTheDialogs)
{
    JoinFixture f;
    AppPaths::setProgramFolder(f.env.path(QStringLiteral("empty-program-folder")));
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_EQ(f.dialogs.messages[0].text, QStringLiteral("An error occurred!\r\nTapeweld cannot load one or more required files.\r\n\r\n"
                                                         "Please, re-install Tapeweld to fix this problem."));
    EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
}

TEST(StartJoin, OutputNamesThatScriptsCannotCarryAreAskedAgain)
{
    JoinFixture f;
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("a\"b.avi"))});
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("two\nlines.avi"))});
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("fine.avi"))});
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 2);
    EXPECT_TRUE(f.dialogs.messages[0].text.startsWith(QStringLiteral("The name you've chosen holds a double quote")));
    EXPECT_EQ(f.wizards, QStringList{f.env.path(QStringLiteral("fine.avi"))});
}

TEST(StartJoin, MissingInterpreterIsAMissingRequiredFile)
{
    JoinFixture f;
    const QString folder = f.env.path(QStringLiteral("no-interpreter"));
    QDir().mkpath(folder);
    QFile::copy(QStringLiteral(TW_PROGRAM_DIR "/DefaultSettings.ini"), folder + QStringLiteral("/AVI.dll"));
    AppPaths::setProgramFolder(folder);
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].text.startsWith(QStringLiteral("An error occurred!")));
    EXPECT_TRUE(f.wizards.isEmpty());
}

TEST(StartJoin, AScriptThatCannotBeWrittenStopsTheJoinAndNoStaleScriptRuns)
{
    JoinFixture f;
    // A killed join's first script is still there; the settings disk is then full.
    f.env.write(QStringLiteral("config/Larkvane/Tapeweld/TempFile.bat"), "Copy /b \"/v/old.avi\" \"/v/old.avi.tpw.avi\"\r\n");
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit full = old;
    full.rlim_cur = 16;
    ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead of killing
    ::setrlimit(RLIMIT_FSIZE, &full);
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_DFL);
    // (The remembered folder could not be saved either, and said so.)
    const QString said = f.dialogs.messages.last().text;
    EXPECT_TRUE(said.startsWith(QStringLiteral("The join could not start: "))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("the file grew beyond the size this disk or a limit allows"))) << said.toStdString();
    EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
    EXPECT_TRUE(f.wizards.isEmpty());
}

TEST(StartJoin, RowsThatWouldRunAsCommandsStopTheJoin)
{
    JoinFixture f;
    f.list.model().setCell(2, FileListModel::Filepath, QStringLiteral("/v/x\" & rm -rf ~ & \".avi"));
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].text.startsWith(QStringLiteral("Row 2 cannot be joined")));
    EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
    EXPECT_TRUE(f.wizards.isEmpty());
}

TEST(StartJoin, DebugLogRowsBeforeTheScripts)
{
    JoinFixture f(3);
    f.list.model().setCell(2, FileListModel::VideoCodec, QString());
    StartDebugLog(f.env.path(QStringLiteral("d.log")));
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    QStringList entries;
    for (const QByteArray &line : readAll(f.env.path(QStringLiteral("d.log"))).split('\n'))
        if (line.contains("Tapeweld: "))
            entries << QString::fromUtf8(line.mid(line.indexOf("Tapeweld: ") + 10)).trimmed();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries[0], QStringLiteral("f1.avi|500 KB|d|") + f.list.model().cell(1, FileListModel::Filepath)
                              + QStringLiteral("|XVID|640x480|1 seconds|"));
    EXPECT_TRUE(entries[1].endsWith(QStringLiteral("||640x480|1 seconds|")));
    EXPECT_TRUE(entries[3].startsWith(QStringLiteral("TempFile=")));
    EXPECT_TRUE(entries[6].startsWith(QStringLiteral("1BAT=")));
}

TEST(StartJoin, TheIntermediateFileNeverHarmsAnotherFile)
{
    // A symbolic link at T: only the link goes, on Yes; its target stays as it was.
    {
        JoinFixture f;
        const QString out = f.env.path(QStringLiteral("out.avi"));
        const QString victim = f.env.write(QStringLiteral("precious.avi"), "precious");
        ASSERT_TRUE(QFile::link(victim, out + QStringLiteral(".tpw.avi")));
        f.dialogs.files.enqueue({out});
        f.dialogs.answers.enqueue(Dialogs::Answer::Yes);
        f.run();
        EXPECT_TRUE(f.dialogs.messages.last().text.startsWith(QStringLiteral("The join needs the temporary file")));
        EXPECT_EQ(readAll(victim), QByteArray("precious"));
        EXPECT_FALSE(QFileInfo(out + QStringLiteral(".tpw.avi")).isSymLink());
        EXPECT_EQ(f.wizards, QStringList{out});
    }
    // An unrelated file at T: No keeps it and asks for another name.
    {
        JoinFixture f;
        const QString out = f.env.path(QStringLiteral("out.avi"));
        const QString temp = f.env.write(QStringLiteral("out.avi.tpw.avi"), "mine");
        f.dialogs.files.enqueue({out});
        f.dialogs.answers.enqueue(Dialogs::Answer::No); // then the dialog again, cancelled
        f.run();
        EXPECT_EQ(readAll(temp), QByteArray("mine"));
        EXPECT_EQ(f.dialogs.fileRequests.size(), 2);
        EXPECT_TRUE(f.wizards.isEmpty());
        EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
    }
    // T is a row (a left-over added back): refused before any script is written.
    {
        JoinFixture f;
        const QString out = f.env.path(QStringLiteral("in/f1.avi.x"));
        f.list.model().setCell(2, FileListModel::Filepath, f.env.write(QStringLiteral("in/f1.avi.x.tpw.avi"), kEmptyAvi));
        f.dialogs.files.enqueue({out});
        f.run();
        ASSERT_EQ(f.dialogs.messages.size(), 1);
        EXPECT_TRUE(f.dialogs.messages[0].text.endsWith(QStringLiteral("which is part of your list.\r\nPlease, choose a different filename.")));
        EXPECT_EQ(readAll(f.env.path(QStringLiteral("in/f1.avi.x.tpw.avi"))), kEmptyAvi);
        EXPECT_TRUE(f.wizards.isEmpty());
        EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
    }
    // A dangling link at the output leads nowhere a file could be: refused, and the encoder never writes through it.
    {
        JoinFixture f;
        const QString out = f.env.path(QStringLiteral("dangling.avi"));
        ASSERT_TRUE(QFile::link(f.env.path(QStringLiteral("elsewhere/target.avi")), out));
        f.dialogs.files.enqueue({out});
        f.run(); // refused, then the dialog is cancelled
        EXPECT_TRUE(f.dialogs.messages.last().text.startsWith(out + QStringLiteral(" is not a file")));
        EXPECT_TRUE(f.wizards.isEmpty());
        EXPECT_FALSE(QFile::exists(f.env.path(QStringLiteral("elsewhere/target.avi"))));
    }
}

TEST(StartJoin, OneRunAtATimeAndOnlyFromACarriableFolder)
{
    JoinFixture f;
    RunLock other(f.env.settingsPath()); // as another instance would hold it
    ASSERT_TRUE(other.tryAcquire());
    f.dialogs.files.enqueue({f.env.path(QStringLiteral("out.avi"))});
    f.run();
    EXPECT_EQ(f.dialogs.messageTexts(), QStringList{RunSession::busyMessage()});
    EXPECT_TRUE(f.dialogs.fileRequests.isEmpty()); // refused before any dialog
    other.release();

    f.dialogs.messages.clear();
    const QString odd = f.env.path(QStringLiteral("cfg \"quoted\""));
    QDir().mkpath(odd);
    AppPaths::setApplicationSettingsPath(odd);
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].text.startsWith(QStringLiteral("Tapeweld cannot join files: the path of its settings folder holds a double quote")));
    EXPECT_FALSE(QFile::exists(odd + QStringLiteral("/TempFile.bat")));
}

TEST(StartJoin, RowsAreReadOffTheWindowsThreadOnceAndTheChecksFindThem)
{
    JoinFixture f(3); // rows never probed here, as in a list opened from a file
    const auto current = [&] {
        int n = 0;
        for (const FileListModel::Row &row : f.list.model().rows())
            n += row.facts.streamsCurrent(row[FileListModel::Filepath]);
        return n;
    };
    int calls = 0, opensAfterwards = -1;
    f.hooks.whileBusy = [&](const std::function<void()> &work) {
        ++calls;
        work();
        opensAfterwards = MediaProbe::libraryOpens();
    };
    EXPECT_EQ(current(), 0);
    f.dialogs.files.enqueue({QString()}); // the output dialog is cancelled
    f.run();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(MediaProbe::libraryOpens(), opensAfterwards); // the checks read no file again
    EXPECT_EQ(f.dialogs.fileRequests.size(), 1);
    for (const FileListModel::Row &row : f.list.model().rows()) // as this process would have read them
        EXPECT_EQ(row.facts.avi, Avi::summarize(row[FileListModel::Filepath]));

    // The next join of the same rows reads nothing.
    const int opens = MediaProbe::libraryOpens();
    f.dialogs.files.enqueue({QString()});
    f.run();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(MediaProbe::libraryOpens(), opens);
}
