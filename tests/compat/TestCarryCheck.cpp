#include "compat/CarryCheck.h"
#include "compat/CheckCompatibility.h"
#include "join/JoinScripts.h"
#include "join/RunFiles.h"
#include "join/ScriptRun.h"
#include "join/StartJoin.h"
#include "list/AddFilesModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
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

struct Pair
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    QStringList wizards;
    Pair(const QStringList &first, const QStringList &second)
    {
        NewList(list, false);
        const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), first + kOneSecond);
        const QString b = SampleMedia::makeWith(env.root(), QStringLiteral("b.avi"), second + kOneSecond);
        EXPECT_FALSE(a.isEmpty() || b.isEmpty());
        ListView_OLEDragDrop(list, {a, b}, nullptr);
    }
    // Runs the join command answering No to every question; returns what was asked.
    QStringList askedOnJoin()
    {
        const QByteArray settings = readAll(env.settingsFile());
        JoinHooks hooks;
        hooks.freeBytes = [](const QString &) { return 1e15; };
        hooks.showWizard = [this](const QString &out, std::shared_ptr<ScriptRun>, const QVector<JoinOutcome::Part> &) { wizards << out; };
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

TEST(CarryCheck, EachDifferenceIsAskedAboutNamingRowAndParameter)
{
    struct Case
    {
        QStringList a, b;
        QString line, consequence;
    };
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
        {kVideo25 + sine(44100) + kXvid + kMp3,
         kVideo25 + sine(44100) + sine(44100) + QStringList{QStringLiteral("-map"), QStringLiteral("0"), QStringLiteral("-map"),
                                                            QStringLiteral("1"), QStringLiteral("-map"), QStringLiteral("2")}
             + kXvid + kMp3,
         QStringLiteral("in its number of audio tracks: 2 audio tracks against one audio track."),
         QStringLiteral("the other audio tracks of part 2 will be dropped")},
        {kVideo25 + sine(44100) + kXvid + kMp3, kVideo25 + kXvid + QStringList{QStringLiteral("-an")},
         QStringLiteral("in its number of audio tracks: no sound against one audio track."),
         QStringLiteral("out of step with the picture")},
    };
    for (const Case &c : cases) {
        Pair p(c.a, c.b);
        ASSERT_EQ(p.list.listStatus(), ListStatus::Green) << c.line.toStdString();
        const QStringList asked = p.askedOnJoin();
        ASSERT_EQ(asked.size(), 1) << c.line.toStdString();
        EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Row 2 (b.avi) differs from row 1 (a.avi) ") + c.line)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(c.consequence)) << asked[0].toStdString();
        EXPECT_TRUE(asked[0].endsWith(QStringLiteral("Would you like to join the files in your list anyway?")));
        EXPECT_EQ(p.dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
        EXPECT_EQ(p.dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
        EXPECT_TRUE(p.wizards.isEmpty());
        // The light keeps its described text, with the difference on a line after it.
        const QString line = Compatibility::firstDifferenceLine(p.list.model(), p.list.listStatus());
        EXPECT_TRUE(line.endsWith(c.line)) << line.toStdString();
    }
}

TEST(CarryCheck, MatchingRowsAskNothing)
{
    Pair p(kVideo25 + sine(44100) + kXvid + kMp3, kVideo25 + sine(44100) + kXvid + kMp3);
    EXPECT_TRUE(p.askedOnJoin().isEmpty());
    EXPECT_EQ(p.wizards.size(), 1);
    EXPECT_EQ(Compatibility::firstDifferenceLine(p.list.model(), p.list.listStatus()), QString());
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
    EXPECT_EQ(Compatibility::firstDifferenceLine(model, ListStatus::Red),
              QStringLiteral("Row 3 (c.avi) differs from row 1 (a.avi) in its frame size: 320x240 against 640x480."));
}
