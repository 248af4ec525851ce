#include "compat/CarryCheck.h"
#include "compat/CheckCompatibility.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/Summaries.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QStringList kVideo25{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=320x240:rate=25")};
QStringList sine(int rate, const char *layout = "mono")
{
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:sample_rate=%1,aformat=channel_layouts=%2").arg(rate).arg(QString::fromLatin1(layout))};
}
const QStringList kXvid{QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID")};
const QStringList kMp3{QStringLiteral("-c:a"), QStringLiteral("libmp3lame")};
const QStringList kOneSecond{QStringLiteral("-t"), QStringLiteral("1")};

const QStringList kPcm{QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
const QStringList kMjpg{QStringLiteral("-c:v"), QStringLiteral("mjpeg")};
QStringList maps(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("-map") << QString::number(i);
    return m;
}

// Rows made by ffmpeg from argument lists, one a file, a second long unless the list says.
struct Rows
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    QStringList wizards;
    explicit Rows(const QList<QStringList> &files)
    {
        NewList(list, false);
        QStringList paths;
        for (int i = 0; i < files.size(); ++i) {
            const QStringList length = files[i].contains(QStringLiteral("-t")) ? QStringList() : kOneSecond;
            paths << SampleMedia::makeWith(env.root(), QStringLiteral("%1.avi").arg(QChar(u'a' + i)), files[i] + length);
            EXPECT_FALSE(paths.last().isEmpty()) << i;
        }
        ListView_OLEDragDrop(list, paths, nullptr);
    }
    // Runs the join command answering No to every question; returns what was asked.
    QStringList askedOnJoin(const Engine &engine = encoderEngine())
    {
        const QByteArray settings = readAll(env.settingsFile());
        JoinHooks hooks;
        hooks.engine = &engine;
        hooks.freeBytes = [](const QString &) { return 1e15; };
        hooks.runJoin = [this](const JoinPlan &plan, std::shared_ptr<RunSession>) { wizards << plan.output; };
        dialogs.files.enqueue({env.path(QStringLiteral("out.avi"))});
        StartJoin(list, hooks);
        if (!dialogs.messages.isEmpty()) { // No: nothing was asked for, written or remembered
            EXPECT_TRUE(dialogs.fileRequests.isEmpty());
            EXPECT_FALSE(QFile::exists(RunFiles::firstScript()));
            EXPECT_EQ(readAll(env.settingsFile()), settings);
        }
        return dialogs.messageTexts();
    }
};
} // namespace

TEST(CarryCheck, EachDifferenceIsAskedAboutNamingRowStreamAndParameter)
{
    struct Case
    {
        QStringList a, b;
        QString line, consequence;
    };
    const QStringList twoTracks = kVideo25 + sine(44100) + sine(44100) + maps(3) + kXvid + kMp3;
    const QList<Case> cases{
        {kVideo25 + sine(44100) + kXvid + kMp3, kVideo25 + sine(48000) + kXvid + kMp3,
         QStringLiteral("in its sound sample rate: 48,000 Hz against 44,100 Hz."),
         QStringLiteral("In the output, part 2 will play its sound at the wrong speed.")},
        {kVideo25 + sine(44100) + kXvid + kMp3, kVideo25 + sine(44100, "stereo") + kXvid + kMp3,
         QStringLiteral("in its sound channels: stereo against mono."), QStringLiteral("garbled or at the wrong speed")},
        {kVideo25 + sine(48000) + kXvid + kMp3, kVideo25 + sine(48000) + kXvid + QStringList{QStringLiteral("-c:a"), QStringLiteral("ac3")},
         QStringLiteral("in its sound format: AC-3 against MPEG audio (MP3)."), QStringLiteral("will not play")},
        {kVideo25 + sine(44100) + kXvid + kMp3,
         QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=320x240:rate=30")}
             + sine(44100) + kXvid + kMp3,
         QStringLiteral("in its frame rate: 30 frames per second against 25 frames per second."),
         QStringLiteral("part 2 will play too slowly")},
        {kVideo25 + sine(44100) + kXvid + kMp3, twoTracks,
         QStringLiteral("in its number of sound tracks: 2 sound tracks against one sound track."),
         QStringLiteral("the other sound tracks of part 2 will be dropped")},
        {kVideo25 + sine(44100) + kXvid + kMp3, kVideo25 + kXvid + QStringList{QStringLiteral("-an")},
         QStringLiteral("in its number of sound tracks: no sound against one sound track."),
         QStringLiteral("out of step with the picture")},
        // PCM of another sample size reads "PCM" to the library, but plays at another speed.
        {kVideo25 + sine(44100) + kMjpg + kPcm, kVideo25 + sine(44100) + kMjpg + QStringList{QStringLiteral("-c:a"), QStringLiteral("pcm_u8")},
         QStringLiteral("in its sound sample size: 8 bits against 16 bits."), QStringLiteral("at the wrong speed")},
    };
    for (const Case &c : cases) {
        Rows p({c.a, c.b});
        ASSERT_EQ(p.list.listStatus(), ListStatus::Green) << c.line.toStdString();
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1) << c.line.toStdString();
        EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Row 2 (b.avi) differs from row 1 (a.avi) ") + c.line)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(c.consequence)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].endsWith(QStringLiteral("\r\n\r\nWould you like to join the files in your list anyway?")));
        EXPECT_EQ(p.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(p.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
        EXPECT_TRUE(p.wizards.isEmpty());
        // The light keeps its described text, with the difference under a heading of its own after it.
        const QString line = Compatibility::firstDifferenceLine(p.list.model(), p.list.listStatus(), encoderEngine().carriage());
        EXPECT_TRUE(line.endsWith(c.line)) << line.toStdString();
        EXPECT_EQ(Compatibility::boxText(p.list.model(), p.list.listStatus(), encoderEngine().carriage()),
                  QStringLiteral("Status: Green\r\rThis status indicates that there is nothing wrong with your list.\r\r"
                                 "A join would also ask about:\r")
                      + line);
    }
}

TEST(CarryCheck, EveryStreamAndEverySeamIsJudged)
{
    const QStringList av = kVideo25 + sine(44100) + kXvid;
    const QStringList ac3{QStringLiteral("-c:a"), QStringLiteral("ac3")};
    // Sound stored before the picture: the encoder files it by number, into the picture.
    {
        Rows p({av + ac3, kVideo25 + sine(44100) + QStringList{QStringLiteral("-map"), QStringLiteral("1"), QStringLiteral("-map"),
                                                               QStringLiteral("0")} + kXvid + ac3});
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Row 2 (b.avi) differs from row 1 (a.avi) in its order of streams: "
                                                       "sound, picture against picture, sound.")))
            << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(QStringLiteral("the sound of part 2 will go into the picture"))) << asked[0].toStdString();
        Rows builtin({av + ac3, kVideo25 + sine(44100) + QStringList{QStringLiteral("-map"), QStringLiteral("1"), QStringLiteral("-map"),
                                                                     QStringLiteral("0")} + kXvid + ac3});
        EXPECT_TRUE(builtin.askedOnJoin(writerEngine()).isEmpty()); // renumbered by kind: nothing to ask
    }
    // A middle part whose sound ends 1.5 s before its picture.
    {
        const QStringList shortSound = kVideo25 + QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                                               QStringLiteral("sine=sample_rate=44100:duration=0.5")}
                                       + kXvid + kMp3 + QStringList{QStringLiteral("-t"), QStringLiteral("2")};
        Rows p({av + kMp3, shortSound, av + kMp3});
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1);
        // The short part is named, not the seam after it.
        EXPECT_TRUE(asked[0].contains(QStringLiteral("Row 2 (b.avi) has 1.5 s less sound than picture."))) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(QStringLiteral("the sound of part 3 and of every part after it will start 1.5 s before its picture")));
        Rows builtin({av + kMp3, shortSound, av + kMp3});
        EXPECT_TRUE(builtin.askedOnJoin(writerEngine()).isEmpty()); // filled with silence
        // The encoder's question offers the writer, which carries it; choosing it joins with the writer, this once.
        EXPECT_EQ(p.dialogs.messages[0].title, QStringLiteral("Join with Tapeweld's writer"));
        Rows offered({av + kMp3, shortSound, av + kMp3});
        offered.dialogs.answers.enqueue(Dialogs::Answer::Other);
        const Engine *ran = nullptr;
        JoinHooks hooks;
        hooks.engine = &encoderEngine();
        hooks.freeBytes = [](const QString &) { return 1e15; };
        hooks.runJoin = [&](const JoinPlan &plan, std::shared_ptr<RunSession>) { ran = plan.engine; };
        offered.dialogs.files.enqueue({offered.env.path(QStringLiteral("out.avi"))});
        EXPECT_EQ(StartJoin(offered.list, hooks), StartJoinResult::Started);
        EXPECT_EQ(ran, &writerEngine());
        EXPECT_EQ(offered.dialogs.messages.size(), 1);
        EXPECT_EQ(&Engines::configured(), &encoderEngine()); // the preference is as it was
    }
    // Two sound tracks in every row: the encoder keeps one; the built-in writer both.
    {
        const QStringList two = kVideo25 + sine(44100) + sine(44100) + maps(3) + kXvid + kMp3;
        Rows p({two, two});
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Row 1 (a.avi) has 2 sound tracks, and the encoder keeps one.")));
        Rows builtin({two, two});
        EXPECT_TRUE(builtin.askedOnJoin(writerEngine()).isEmpty());
        // A part without the second track: the encoder drops that track anyway, so nothing more is asked of it.
        Rows fewer({two, av + kMp3});
        const QStringList askedFewer = fewer.askedOnJoin();
        ASSERT_EQ(askedFewer.size(), 1);
        EXPECT_FALSE(askedFewer[0].contains(QStringLiteral("out of step"))) << askedFewer[0].toStdString();
    }
    // Every difference is named, not only the first.
    {
        Rows p({kVideo25 + kXvid + QStringList{QStringLiteral("-an")},
                QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=320x240:rate=30")}
                    + sine(44100) + kXvid + ac3});
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains(QStringLiteral("in its frame rate"))) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(QStringLiteral("The output will have no sound: the sound of part 2 will be dropped.")));
    }
}

TEST(CarryCheck, MatchingRowsAndOtherMp3BitRatesAskNothing)
{
    Rows p({kVideo25 + sine(44100) + kXvid + kMp3,
            kVideo25 + sine(44100) + kXvid + kMp3 + QStringList{QStringLiteral("-b:a"), QStringLiteral("64k")},
            kVideo25 + sine(44100) + kXvid + kMp3 + QStringList{QStringLiteral("-q:a"), QStringLiteral("4")}});
    EXPECT_TRUE(p.askedOnJoin().isEmpty()) << p.dialogs.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(p.wizards.size(), 1);
    EXPECT_EQ(Compatibility::firstDifferenceLine(p.list.model(), p.list.listStatus(), encoderEngine().carriage()), QString());
}

TEST(CarryCheck, AtMostFiveLinesThenHowManyMore)
{
    QVector<CarryCheck::Difference> many;
    for (int i = 0; i < 7; ++i)
        many.append({i + 2, QStringLiteral("Row %1.").arg(i + 2), QStringLiteral("Harm.")});
    const QString q = CarryCheck::question(many);
    EXPECT_EQ(q.count(QStringLiteral("Harm.")), 5);
    EXPECT_TRUE(q.contains(QStringLiteral("Row 6. Harm.\r\nand 2 more\r\n\r\nWould you like")));
}

TEST(CarryCheck, RedNamesTheFirstRowAndColumnThatDiffer)
{
    FileListModel model;
    auto row = [](const char *name, const char *codec, const char *size) {
        return FileListModel::Row{QString::fromLatin1(name), QString(), QString(), QString(), QString::fromLatin1(codec),
                                  QString::fromLatin1(size), QString()};
    };
    model.appendRow(row("a.avi", "XVID", "640x480"));
    model.appendRow(row("b.avi", "XVIDXVID", "640x480")); // copies of the first: no difference
    model.appendRow(row("c.avi", "XVID", "320x240"));
    EXPECT_EQ(Compatibility::firstDifferenceLine(model, ListStatus::Red, encoderEngine().carriage()),
              QStringLiteral("Row 3 (c.avi) differs from row 1 (a.avi) in its frame size: 320x240 against 640x480."));
}

// The encoder marks every frame key in codecs it cannot read: asked about with it
// (the writer offered), not for codecs it reads or whose every frame is key.
TEST(CarryCheck, TheEncoderAsksBeforeItLosesKeyFrames)
{
    const QStringList gop{QStringLiteral("-g"), QStringLiteral("5")};
    const struct
    {
        QStringList video;
        bool asked;
    } cases[] = {{{QStringLiteral("-c:v"), QStringLiteral("cinepak")}, true},
                 {{QStringLiteral("-c:v"), QStringLiteral("libx264")}, true},
                 {kXvid, false},
                 {kMjpg, false}};
    for (const auto &c : cases) {
        const QList<QStringList> files{kVideo25 + c.video + gop, kVideo25 + c.video + gop};
        const QStringList asked = Rows(files).askedOnJoin();
        EXPECT_EQ(asked.join(u'|').contains(QStringLiteral("whose key frames the encoder cannot tell")), c.asked) << c.video.join(u' ').toStdString();
        const QStringList writerAsked = Rows(files).askedOnJoin(writerEngine());
        EXPECT_TRUE(writerAsked.isEmpty()) << writerAsked.join(u'|').toStdString() << c.video.join(u' ').toStdString();
    }
}

// A damaged part is named with what the output takes of it, whichever engine writes it.
TEST(CarryCheck, ADamagedPartIsNamed)
{
    Avi::Summary lying = Summaries::clip(2, 2), unpatched = Summaries::clip(2, 2);
    lying.streams[0].scale = 0xFFFFFFFF;
    unpatched.damage = QStringLiteral("its movi list says 4 bytes but holds 50 frames");
    const QStringList names{QStringLiteral("a.avi"), QStringLiteral("b.avi"), QStringLiteral("c.avi")};
    const QVector<Avi::Summary> rows{Summaries::clip(2, 2), lying, unpatched};
    QStringList said;
    for (const CarryCheck::Difference &d : CarryCheck::differences(rows, names, writerEngine().carriage(), SyncPlan::plan(rows, true)))
        said << d.text;
    EXPECT_TRUE(said.contains(QStringLiteral("Row 2 (b.avi) is damaged: its video header times it beyond reason (scale 4294967295, rate 25); "
                                             "its sound and picture are taken as in step.")))
        << said.join(u'\n').toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("Row 3 (c.avi) is damaged: its movi list says 4 bytes but holds 50 frames; the output will take all 50 "
                                             "as its chunks show them.")))
        << said.join(u'\n').toStdString();
}
