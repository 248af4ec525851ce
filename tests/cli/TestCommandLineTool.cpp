#include "avi/AviFile.h"
#include "join/JoinChecks.h"
#include "list/FileList.h"
#include "list/ListFile.h"
#include "list/ListFunctions.h"
#include "list/RowFactsReader.h"
#include "platform/RunLock.h"
#include "support/AviBytes.h"
#include "support/SampleMedia.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QDeadlineTimer>
#include <csignal>
#include <utility>
#include <gtest/gtest.h>

namespace {
// The program as a script runs it: no display, no platform plugin named, the
// test's own settings folder.
struct Cli
{
    TestEnvironment env;
    QString program = QStringLiteral(TW_PROGRAM_DIR "/tapeweld");
    QProcess process;
    QString err, out; // standard error (progress, questions, errors) and output (verdicts, reports)

    void start(const QStringList &args)
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove(QStringLiteral("DISPLAY"));
        e.remove(QStringLiteral("WAYLAND_DISPLAY"));
        e.remove(QStringLiteral("QT_QPA_PLATFORM"));
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.configHome());
        process.setProcessEnvironment(e);
        process.start(program, args);
        EXPECT_TRUE(process.waitForStarted());
    }
    int finish()
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        err += QString::fromLocal8Bit(process.readAllStandardError());
        out += QString::fromLocal8Bit(process.readAllStandardOutput());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    int run(const QStringList &args)
    {
        start(args);
        return finish();
    }
    // Reads standard error until it holds text.
    bool waitFor(const QString &text)
    {
        const QDeadlineTimer deadline(30000);
        while (!err.contains(text) && !deadline.hasExpired() && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(50);
            err += QString::fromLocal8Bit(process.readAllStandardError());
        }
        return err.contains(text);
    }
    QStringList clips(int n, SampleMedia::Kind kind = SampleMedia::Kind::Xvid320)
    {
        QStringList out;
        for (int i = 1; i <= n; ++i)
            out << SampleMedia::make(kind, env.root(), QStringLiteral("clip %1.avi").arg(i), 1);
        return out;
    }
    // A copy of the program folder whose encoder or writer never ends: a run
    // that stays in the phase it is in until it is cancelled.
    void useStalledFolder(const QByteArray &writer)
    {
        const QString folder = env.path(QStringLiteral("stalled program"));
        QDir().mkpath(folder);
        for (const char *f : {"tapeweld", "tapeweld-cmd", "tapeweld-probe", "DefaultSettings.ini"})
            QFile::copy(QStringLiteral(TW_PROGRAM_DIR "/") + QString::fromLatin1(f), folder + u'/' + QString::fromLatin1(f));
        QFile::copy(QStringLiteral(TW_SLOW_ENCODER), folder + QStringLiteral("/AVI.dll"));
        env.write(QStringLiteral("stalled program/tapeweld-join"), "#!/bin/sh\nprintf 'partial' > \"$1\"\n" + writer + "\nexec sleep 60\n");
        for (const char *f : {"tapeweld", "tapeweld-cmd", "tapeweld-probe", "AVI.dll", "tapeweld-join"})
            QFile::setPermissions(folder + u'/' + QString::fromLatin1(f), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        program = folder + QStringLiteral("/tapeweld");
    }
    // Nothing of a run is left in the settings folder.
    QStringList leftOvers() const
    {
        return QDir(env.settingsPath()).entryList({QStringLiteral("*.bat"), QStringLiteral("AVI.exe"), QStringLiteral("JoinTemp"),
                                                   QStringLiteral("*.log")},
                                                  QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};
} // namespace

TEST(CommandLineTool, JoinsWithoutADisplayAndSaysSo)
{
    Cli c;
    const QStringList parts = c.clips(3);
    const QString out = c.env.path(QStringLiteral("joined.avi"));
    EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), out} + parts), 0) << c.err.toStdString();
    EXPECT_TRUE(c.err.contains(QStringLiteral("Operation 1 of 2")));
    EXPECT_TRUE(c.err.contains(QStringLiteral("Operation 2 of 2")));
    // The verdict on standard output, its last line the output, its size and the time taken.
    const QStringList said = c.out.trimmed().split(u'\n');
    ASSERT_EQ(said.size(), 2) << c.out.toStdString();
    EXPECT_EQ(said[0], QStringLiteral("Finished!"));
    EXPECT_TRUE(said[1].startsWith(out + QStringLiteral(": ")) && said[1].contains(QStringLiteral(" KB in 00:00:"))) << said[1].toStdString();
    EXPECT_EQ(SampleMedia::videoFrames(out), SampleMedia::videoFrames(parts[0]) * 3);
    EXPECT_TRUE(c.leftOvers().isEmpty()) << c.leftOvers().join(u',').toStdString();

    // The output exists: exit 3 and nothing written; --yes replaces it, options after the files.
    c.err.clear();
    const QByteArray before = readAll(out);
    EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), out} + parts + QStringList{QStringLiteral("--engine"), QStringLiteral("builtin")}), 3);
    EXPECT_TRUE(c.err.contains(QStringLiteral("Would you like to overwrite the existing file?")));
    EXPECT_EQ(readAll(out), before);
    EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), out} + parts + QStringList{QStringLiteral("--yes"), QStringLiteral("--engine"),
                                                                                     QStringLiteral("builtin"), QStringLiteral("--quiet")}),
              0);
    EXPECT_EQ(SampleMedia::videoChecksums(out),
              SampleMedia::videoChecksums(parts[0]) + SampleMedia::videoChecksums(parts[1]) + SampleMedia::videoChecksums(parts[2]));

    // A list file, its rows in order.
    FileList list;
    NewList(list, false);
    for (const QString &p : parts)
        list.model().appendRow({QFileInfo(p).fileName(), QStringLiteral("1 KB"), QString(), p, QStringLiteral("XVID"), QStringLiteral("320x240"),
                                QStringLiteral("1 seconds")});
    const QString tpw = c.env.path(QStringLiteral("three.tpw"));
    ASSERT_TRUE(ListFile::write(tpw, ListFile::format(QStringLiteral("AVI"), list.model().rows())).ok());
    const QString fromList = c.env.path(QStringLiteral("from list.avi"));
    EXPECT_EQ(c.run({QStringLiteral("--join"), fromList, QStringLiteral("--list"), tpw}), 0) << c.err.toStdString();
    EXPECT_EQ(SampleMedia::videoChecksums(fromList), SampleMedia::videoChecksums(out));
}

TEST(CommandLineTool, ExitStatusesForUsageQuestionsAndALock)
{
    Cli c;
    const QStringList parts = c.clips(2);
    const QString red = SampleMedia::make(SampleMedia::Kind::Xvid640, c.env.root(), QStringLiteral("big.avi"), 1);
    const QString out = c.env.path(QStringLiteral("o.avi"));
    EXPECT_EQ(c.run({QStringLiteral("--help")}), 0);
    EXPECT_EQ(c.run({QStringLiteral("--version")}), 0);
    EXPECT_TRUE(c.out.contains(QStringLiteral("Tapeweld ") + QStringLiteral(TW_VERSION_FULL))) << c.out.toStdString(); // the package's version
    // Options of any form that it does not know, and no option without a display: a word and 2, never an abort.
    for (const QStringList &args : {QStringList{QStringLiteral("-x")}, QStringList{QStringLiteral("-V")}, QStringList{QStringLiteral("-q"), QStringLiteral("--check")},
                                    QStringList{}, QStringList{parts[0], parts[1]}}) {
        c.err.clear();
        EXPECT_EQ(c.run(args), 2) << args.join(u' ').toStdString() << c.err.toStdString();
        EXPECT_FALSE(c.err.isEmpty());
    }
    // The window is a program of its own beside this one: without it, a word naming it.
    const QString alone = c.env.path(QStringLiteral("alone/tapeweld"));
    QDir().mkpath(QFileInfo(alone).path());
    ASSERT_TRUE(QFile::copy(c.program, alone));
    const QString program = std::exchange(c.program, alone);
    EXPECT_EQ(c.run({parts[0]}), 127);
    EXPECT_TRUE(c.err.contains(QStringLiteral("tapeweld-window could not be started"))) << c.err.toStdString();
    c.program = program;
    EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), out, QStringLiteral("--frobnicate")} + parts), 2);
    EXPECT_TRUE(c.err.contains(QStringLiteral("Unknown option: --frobnicate")));
    EXPECT_EQ(c.run({QStringLiteral("--join"), out, parts[0], c.env.path(QStringLiteral("gone.avi"))}), 2);
    EXPECT_TRUE(c.err.contains(QStringLiteral("No such file: ") + c.env.path(QStringLiteral("gone.avi"))));
    EXPECT_EQ(c.run({QStringLiteral("--join"), parts[0], parts[0], parts[1]}), 2); // the output is a part
    EXPECT_FALSE(QFile::exists(out));
    // An output no file can take the place of is refused at once, whatever --yes says.
    const QString dangling = c.env.path(QStringLiteral("dangling.avi"));
    ASSERT_TRUE(QFile::link(c.env.path(QStringLiteral("nowhere")), dangling));
    for (const QString &odd : c.env.notRegularFiles(QStringLiteral(".avi")) + QStringList{dangling}) {
        c.err.clear();
        EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), odd, QStringLiteral("--yes")} + parts), 2) << odd.toStdString();
        EXPECT_TRUE(c.err.contains(QStringLiteral("The output is not a file"))) << c.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(c.env.path(QStringLiteral("nowhere"))));
    // A saved list whose file is gone: named, exit 2, before anything is written.
    const QString gone = c.env.path(QStringLiteral("gone.avi"));
    const QString saved = c.env.write(QStringLiteral("saved.tpw"),
                                      "TPW List v1.0\r\n<AVI>\r\n" + QFileInfo(parts[0]).fileName().toUtf8() + "|1 KB|d|" + parts[0].toUtf8()
                                          + "|XVID|320x240|1 seconds\r\ngone.avi|1 KB|d|" + gone.toUtf8() + "|XVID|320x240|1 seconds\r\n");
    for (const QString &mode : {QStringLiteral("--check"), QStringLiteral("--join")}) {
        c.err.clear();
        const QStringList args = mode == QStringLiteral("--join") ? QStringList{mode, out} : QStringList{mode};
        EXPECT_EQ(c.run(args + QStringList{QStringLiteral("--list"), saved}), 2) << mode.toStdString() << c.err.toStdString();
        EXPECT_TRUE(c.err.contains(QStringLiteral("Row 2 (gone.avi) is gone: ") + gone)) << c.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    // A list that would ask: exit 3, nothing written; the question in the window's words.
    c.err.clear();
    EXPECT_EQ(c.run({QStringLiteral("--join"), out, parts[0], red}), 3);
    // In the window's words, but what points at its controls in the command line's; off a terminal, No, saying --yes would go on.
    EXPECT_TRUE(c.err.contains(JoinChecks::redQuestion()
                                   .replace(QStringLiteral("You can click the 'Red' icon in the bottom right corner for more information."),
                                            QStringLiteral("tapeweld --check with the same files says more."))
                                   .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))))
        << c.err.toStdString();
    EXPECT_TRUE(c.err.contains(QStringLiteral("tapeweld: not answered (no terminal to ask on): --yes would go on."))) << c.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(c.leftOvers().isEmpty());
    EXPECT_EQ(c.run({QStringLiteral("--check"), parts[0], red}), 3);
    EXPECT_EQ(c.run({QStringLiteral("--check"), parts[0], parts[1]}), 0);
    EXPECT_EQ(c.run({QStringLiteral("--join"), out, parts[0], red, QStringLiteral("--yes")}), 0) << c.err.toStdString();

    // Another run of this user holds the lock.
    RunLock other(c.env.settingsPath());
    ASSERT_TRUE(other.tryAcquire());
    EXPECT_EQ(c.run(QStringList{QStringLiteral("--join"), c.env.path(QStringLiteral("second.avi"))} + parts), 4);
    EXPECT_EQ(c.run({QStringLiteral("--repair"), parts[0]}), 4);
    other.release();
    EXPECT_FALSE(QFile::exists(c.env.path(QStringLiteral("second.avi"))));

    // --check prints every question a join would ask, as the join asks it.
    FileList list;
    NewList(list, false);
    list.model().appendRow({QStringLiteral("clip 1.avi"), QString(), QString(), parts[0], QString(), QString(), QString()});
    list.model().appendRow({QStringLiteral("clip 3.avi"), QString(), QString(), SampleMedia::make(SampleMedia::Kind::Dx50, c.env.root(), QStringLiteral("clip 3.avi"), 1),
                            QString(), QString(), QString()});
    refreshRowFacts(list, nullptr);
    const QStringList questions = JoinChecks::streamQuestions(list, encoderEngine().carriage(), JoinChecks::planOf(list, encoderEngine().carriage()));
    c.err.clear();
    EXPECT_EQ(c.run({QStringLiteral("--check"), parts[0], c.env.path(QStringLiteral("clip 3.avi"))}), 3);
    ASSERT_FALSE(questions.isEmpty());
    for (const QString &q : questions)
        EXPECT_TRUE(c.out.contains(QString(q).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))) << c.out.toStdString();
}

TEST(CommandLineTool, ASignalInEitherOperationCancelsAndLeavesNothing)
{
    struct Case
    {
        const char *engine;
        QString phase;      // what it waits for before the signal
        QByteArray writer;  // what the stalled writer says first
        int signal, status;
    };
    const QList<Case> cases{
        {"encoder", QStringLiteral("Generating Index..."), QByteArray(), SIGINT, 130},
        {"builtin", QStringLiteral("Operation 1 of 2"), QByteArray("echo copy 100"), SIGINT, 130},
        {"builtin", QStringLiteral("Generating Index..."), QByteArray("echo index"), SIGTERM, 143},
        {"builtin", QStringLiteral("Operation 1 of 2"), QByteArray("echo copy 100"), SIGHUP, 129}, // the terminal closed
    };
    for (const Case &k : cases) {
        Cli c;
        const QStringList parts = c.clips(2);
        c.useStalledFolder(k.writer);
        const QString out = c.env.path(QStringLiteral("joined.avi"));
        c.start(QStringList{QStringLiteral("--join"), out, QStringLiteral("--engine"), QString::fromLatin1(k.engine)} + parts);
        ASSERT_TRUE(c.waitFor(k.phase)) << c.err.toStdString();
        ::kill(static_cast<pid_t>(c.process.processId()), k.signal); // the program this test started
        EXPECT_EQ(c.finish(), k.status) << k.engine << ' ' << c.err.toStdString();
        EXPECT_TRUE(c.out.contains(QStringLiteral("Cancelled!"))) << c.out.toStdString();
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_FALSE(QFile::exists(out + QStringLiteral(".tpw.avi")));
        EXPECT_TRUE(c.leftOvers().isEmpty()) << c.leftOvers().join(u',').toStdString();
        // No process of the run is left: it held the lock, and a new run can take it now.
        RunLock lock(c.env.settingsPath());
        EXPECT_TRUE(lock.tryAcquire());
    }
}

TEST(CommandLineTool, RepairsToItsDefaultOutput)
{
    Cli c;
    const QString clip = c.clips(1).first();
    QByteArray data = readAll(clip);
    data.replace(data.lastIndexOf("idx1"), 4, "JUNK");
    const QString damaged = c.env.write(QStringLiteral("damaged.avi"), data);
    EXPECT_EQ(c.run({QStringLiteral("--repair"), damaged}), 0) << c.err.toStdString();
    EXPECT_EQ(SampleMedia::videoFrames(damaged + QStringLiteral(".fixed.avi")), SampleMedia::videoFrames(clip));
    EXPECT_EQ(c.run({QStringLiteral("--repair"), damaged}), 3); // the output exists now
    EXPECT_EQ(c.run({QStringLiteral("--repair"), damaged, c.env.path(QStringLiteral("mine.avi")), QStringLiteral("--engine"), QStringLiteral("builtin")}), 0);
    EXPECT_TRUE(QFile::exists(c.env.path(QStringLiteral("mine.avi"))));
}

// Past a few minutes the encoder puts in an empty frame of its own to keep the
// sound in step: a join and a repair of ordinary long clips are whole all the same.
TEST(CommandLineTool, LongClipsJoinAndRepairWholeWithTheEncoder)
{
    for (const char *sound : {"libmp3lame", "pcm_s16le"}) {
        Cli cli;
        QStringList parts;
        for (const QString &name : {QStringLiteral("a.avi"), QStringLiteral("b.avi")})
            parts << SampleMedia::makeWith(cli.env.root(), name,
                                           SampleMedia::picture() + SampleMedia::sine()
                                               + QStringList{QStringLiteral("-t"), QStringLiteral("170"), QStringLiteral("-c:v"),
                                                             QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID"),
                                                             QStringLiteral("-c:a"), QString::fromLatin1(sound)});
        const QString out = cli.env.path(QStringLiteral("out.avi"));
        EXPECT_EQ(cli.run(QStringList{QStringLiteral("--join"), out, QStringLiteral("--engine"), QStringLiteral("encoder")} + parts), 0)
            << sound << cli.err.toStdString();
        EXPECT_EQ(SampleMedia::videoFrames(out), 2 * SampleMedia::videoFrames(parts[0])) << sound;
        EXPECT_EQ(cli.run({QStringLiteral("--repair"), parts[0], QStringLiteral("--engine"), QStringLiteral("encoder")}), 0)
            << sound << cli.err.toStdString();
        EXPECT_TRUE(QFile::exists(parts[0] + QStringLiteral(".fixed.avi"))) << sound;
    }
}

// On a terminal a question waits for [y/N]: y joins; Enter, n and the end of input decline, writing nothing.
TEST(CommandLineTool, OnATerminalAQuestionIsAsked)
{
    Cli c;
    const QStringList parts = c.clips(1) + QStringList{SampleMedia::make(SampleMedia::Kind::Xvid640, c.env.root(), QStringLiteral("big.avi"), 1)};
    const QString out = c.env.path(QStringLiteral("asked.avi"));
    QStringList quoted{c.program, QStringLiteral("--join"), out, QStringLiteral("--engine"), QStringLiteral("builtin")};
    quoted += parts;
    for (QString &a : quoted)
        a = u'\'' + a + u'\'';
    const struct
    {
        QByteArray typed;
        int status;
    } cases[] = {{"\n", 3}, {"n\n", 3}, {"", 3}, {"y\n", 0}};
    for (const auto &k : cases) {
        QFile::remove(out);
        // script(1) gives the program a terminal and types what the person would.
        c.program = QStringLiteral("script");
        c.start({QStringLiteral("-qec"), quoted.join(u' '), QStringLiteral("/dev/null")});
        c.process.write(k.typed);
        c.process.closeWriteChannel();
        EXPECT_EQ(c.finish(), k.status) << k.typed.toStdString() << c.out.toStdString();
        EXPECT_EQ(QFile::exists(out), k.status == 0) << k.typed.toStdString();
        EXPECT_TRUE(c.out.contains(QStringLiteral("[y/N]"))) << c.out.toStdString(); // the terminal shows everything on one stream
        c.out.clear();
    }
}

// A loss the question named and --yes accepted ends whole, the loss said under the verdict.
TEST(CommandLineTool, AnAcceptedLossFinishesAndIsSaid)
{
    Cli c;
    const QStringList two = SampleMedia::picture() + SampleMedia::sine() + SampleMedia::sine()
                            + QStringList{QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-map"), QStringLiteral("1"),
                                          QStringLiteral("-map"), QStringLiteral("2"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"),
                                          QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-t"), QStringLiteral("1")};
    const QString a = SampleMedia::makeWith(c.env.root(), QStringLiteral("a.avi"), two);
    const QString out = c.env.path(QStringLiteral("out.avi"));
    EXPECT_EQ(c.run({QStringLiteral("--join"), out, a, a, QStringLiteral("--engine"), QStringLiteral("encoder"), QStringLiteral("--yes")}), 0)
        << c.err.toStdString() << c.out.toStdString();
    EXPECT_TRUE(c.err.contains(QStringLiteral("(Join with Tapeweld's writer: run again with --engine builtin.)"))) << c.err.toStdString();
    EXPECT_TRUE(c.out.startsWith(QStringLiteral("Finished!\nThe output keeps the first of 2 sound tracks, as asked.\n"))) << c.out.toStdString();
}

// What loading a list file says reaches the command line, and a list opened in part is joined or checked not at all.
TEST(CommandLineTool, AListWithRowsLeftOutIsRefusedSayingWhich)
{
    Cli c;
    const QStringList parts = c.clips(2);
    QByteArray rows;
    for (const QString &p : parts)
        rows += QFileInfo(p).fileName().toUtf8() + "|1 KB|d|" + p.toUtf8() + "|XVID|320x240|1 seconds\r\n";
    const QString quoted = c.env.path(QStringLiteral("a\"b.avi"));
    const QString list = c.env.write(QStringLiteral("odd.tpw"), "TPW List v1.0\r\n<AVI>\r\n" + rows + "x.avi|1 KB|d|" + quoted.toUtf8()
                                                                    + "|XVID|320x240|1 seconds\r\n");
    const QString invalid = c.env.write(QStringLiteral("invalid.tpw"), "not a list\r\n");
    const QString out = c.env.path(QStringLiteral("out.avi"));
    for (const QStringList &mode : {QStringList{QStringLiteral("--join"), out}, QStringList{QStringLiteral("--check")}}) {
        c.err.clear();
        EXPECT_EQ(c.run(mode + QStringList{QStringLiteral("--list"), list}), 2) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains(QStringLiteral("These rows were left out"))) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains(QStringLiteral("tapeweld: Not every row of ") + list)) << c.err.toStdString();
        c.err.clear();
        EXPECT_EQ(c.run(mode + QStringList{QStringLiteral("--list"), invalid}), 2);
        EXPECT_TRUE(c.err.contains(QStringLiteral("Unable to open; Invalid File!"))) << c.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

// Key frames survive a repair without an index and a join with either engine: a
// seek decodes the picture a play from the start does. The encoder cannot tell
// Cinepak's and FFV1's: it asks, and says so under "Finished!".
TEST(CommandLineTool, KeyFramesSurviveRepairsAndJoins)
{
    const struct
    {
        const char *codec;
        bool encoderLoses;
    } codecs[] = {{"cinepak", true}, {"ffv1", true}, {"msmpeg4", false}, {"mpeg4", false}, {"libx264", true}};
    // ffprobe reads some codecs' key frames from the pictures: what the index says is read here.
    const auto indexFlags = [](const QString &path) {
        QString flags;
        for (const Avi::Chunk &chunk : Avi::read(path).chunks)
            if (chunk.stream() == 0)
                flags += chunk.key ? u'K' : u'-';
        return flags;
    };
    for (const auto &k : codecs) {
        Cli c;
        const QString clip = SampleMedia::makeWith(c.env.root(), QStringLiteral("clip.avi"),
                                                   SampleMedia::picture(QStringLiteral("176x144"))
                                                       + QStringList{QStringLiteral("-c:v"), QString::fromLatin1(k.codec), QStringLiteral("-g"),
                                                                     QStringLiteral("25"), QStringLiteral("-t"), QStringLiteral("4")});
        const QString flags = SampleMedia::keyFlags(clip);
        ASSERT_EQ(flags.count(u'K'), 4) << k.codec;
        QByteArray bytes = readAll(clip);
        bytes.replace(bytes.lastIndexOf("idx1"), 4, "JUNK");
        const QString damaged = c.env.write(QStringLiteral("damaged.avi"), bytes);
        const QString fixed = c.env.path(QStringLiteral("fixed.avi")), joined = c.env.path(QStringLiteral("joined.avi"));
        EXPECT_EQ(c.run({QStringLiteral("--repair"), damaged, fixed, QStringLiteral("--engine"), QStringLiteral("builtin")}), 0) << k.codec;
        EXPECT_EQ(SampleMedia::keyFlags(fixed), flags) << k.codec;
        EXPECT_EQ(indexFlags(fixed), flags) << k.codec;
        // A seek shows what it shows in the clip (with B-frames, a frame's time is not its place in the file).
        const QString picture = SampleMedia::pictureAt(clip, 60, true);
        EXPECT_FALSE(picture.isEmpty()) << k.codec;
        EXPECT_EQ(SampleMedia::pictureAt(fixed, 60, true), picture) << k.codec;
        EXPECT_EQ(c.run({QStringLiteral("--join"), joined, clip, clip, QStringLiteral("--engine"), QStringLiteral("builtin")}), 0) << k.codec;
        EXPECT_EQ(indexFlags(joined), flags + flags) << k.codec;
        QFile::remove(joined);
        c.out.clear();
        EXPECT_EQ(c.run({QStringLiteral("--join"), joined, clip, clip, QStringLiteral("--engine"), QStringLiteral("encoder"), QStringLiteral("--yes")}), 0)
            << k.codec << c.err.toStdString();
        EXPECT_EQ(c.err.contains(QStringLiteral("whose key frames the encoder cannot tell")), k.encoderLoses) << k.codec;
        EXPECT_EQ(c.out.contains(QStringLiteral("The output marks 200 frames as key frames where its parts mark 8: seeking in it will show "
                                                "damaged pictures. The writer keeps them.")),
                  k.encoderLoses)
            << k.codec << c.out.toStdString();
        EXPECT_EQ(indexFlags(joined) == flags + flags, !k.encoderLoses) << k.codec;
    }
}

// A recording whose sizes were never written is named before the join, joined and
// repaired whole with the writer, and the repair says how many frames it recovered.
TEST(CommandLineTool, ADamagedPartIsNamedAndJoinedAsItsChunksShowIt)
{
    Cli c;
    const QString clip = c.clips(1).first();
    const QString damaged = c.env.write(QStringLiteral("damaged.avi"), AviBytes::unfinished(readAll(clip), 4, -1, false));
    const int frames = SampleMedia::videoFrames(clip);
    EXPECT_EQ(c.run({QStringLiteral("--check"), clip, damaged, QStringLiteral("--engine"), QStringLiteral("builtin")}), 3);
    EXPECT_TRUE(c.out.contains(QStringLiteral("Row 2 (damaged.avi) is damaged: its movi list says 4 bytes but holds ")))
        << c.out.toStdString();
    const QString out = c.env.path(QStringLiteral("out.avi")), fixed = c.env.path(QStringLiteral("fixed.avi"));
    EXPECT_EQ(c.run({QStringLiteral("--join"), out, clip, damaged, QStringLiteral("--engine"), QStringLiteral("builtin"), QStringLiteral("--yes")}), 0)
        << c.out.toStdString();
    EXPECT_EQ(SampleMedia::videoFrames(out), 2 * frames);
    c.out.clear();
    EXPECT_EQ(c.run({QStringLiteral("--repair"), damaged, fixed, QStringLiteral("--engine"), QStringLiteral("builtin")}), 0) << c.out.toStdString();
    EXPECT_EQ(SampleMedia::videoFrames(fixed), frames);
    EXPECT_TRUE(c.out.contains(QStringLiteral(" frames were recovered (the file was damaged: its movi list says 4 bytes"))) << c.out.toStdString();
}
