#include "list/FileList.h"
#include "app/AppPaths.h"
#include "join/AviJoiner.h"
#include "list/ProbeAhead.h"
#include "list/ProbeHelper.h"
#include "list/ProbeListItem.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>
#include <MediaInfoDLL/MediaInfoDLL_Static.h>
#include <gtest/gtest.h>

namespace {
FileListModel::Row probe(const QString &path)
{
    FileList list;
    FileListModel::Row row;
    row.setText(FileListModel::Filepath, path);
    list.model().appendRow(row);
    ProbeListItem(list, 0);
    return list.model().row(1);
}
} // namespace

TEST(Probe, CellsOfGeneratedFiles)
{
    TestEnvironment env;
    using K = SampleMedia::Kind;
    struct Case
    {
        K kind;
        const char *codec, *size;
        int seconds;
    };
    const Case cases[] = {{K::Xvid640, "XVID", "640x480", 2}, {K::Dx50, "DX50", "320x240", 1},
                          {K::Mjpg, "MJPG", "320x240", 1}, {K::Xvid320, "XVID", "320x240", 1},
                          {K::AudioOnly, "", "0x0", 3},  {K::NoAudio, "XVID", "320x240", 1},
                          {K::MjpgPcm, "MJPG", "320x240", 1}, {K::H264, "H264", "320x240", 1},
                          {K::Mp42, "MP42", "320x240", 1}, {K::Ac3, "XVID", "320x240", 1}};
    int n = 0;
    for (const Case &c : cases) {
        // Non-ASCII names too: this suite also runs under LANG=C.
        const QString name = QStringLiteral("clip %1 caf\u00e9 \u00fc.avi").arg(++n);
        const QString path = SampleMedia::make(c.kind, env.root(), name, c.seconds);
        ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make " << name.toStdString();
        const FileListModel::Row row = probe(path);
        EXPECT_EQ(row[FileListModel::Filename], name);
        EXPECT_EQ(row[FileListModel::Filepath], path);
        EXPECT_EQ(row[FileListModel::VideoCodec], QString::fromLatin1(c.codec)) << name.toStdString();
        EXPECT_EQ(row[FileListModel::VideoSize], QString::fromLatin1(c.size)) << name.toStdString();
        EXPECT_EQ(row[FileListModel::Duration], QStringLiteral("%1 seconds").arg(c.seconds)) << name.toStdString();
        EXPECT_TRUE(row[FileListModel::Filesize].endsWith(QStringLiteral(" KB")));
        EXPECT_FALSE(row[FileListModel::DateModified].isEmpty());
        EXPECT_EQ(probe(path), row); // probing twice gives the same cells
    }
}

namespace {
// The four templates, asked of the library the documented way (one thread only:
// the Inform template is the library's, for the whole process).
QStringList byTemplates(const QString &path)
{
    void *h = MediaInfo_New();
    MediaInfo_Option(h, L"Internet", L"no");
    MediaInfo_Option(h, L"Legacy", L"1");
    MediaInfo_Open(h, path.toStdWString().c_str());
    QStringList out;
    for (const wchar_t *t : {L"Video;%Codec%", L"Video;%Width%", L"Video;%Height%", L"General;%PlayTime%"}) {
        MediaInfo_Option(h, L"Inform", t);
        out << WideTextFromPointer(MediaInfo_Inform(h, 0));
    }
    MediaInfo_Close(h);
    MediaInfo_Delete(h);
    return out;
}
} // namespace

// The cells' fields as the four templates give them.
TEST(Probe, WhatAProbeReadsIsWhatTheLibraryGivesOnEveryKind)
{
    TestEnvironment env;
    using K = SampleMedia::Kind;
    QStringList paths;
    int n = 0;
    for (const K kind : {K::Xvid640, K::Dx50, K::Mjpg, K::AudioOnly, K::NoAudio, K::MjpgPcm, K::H264, K::Mp42, K::Ac3, K::XvidVbrMp3}) {
        paths << SampleMedia::make(kind, env.root(), QStringLiteral("k%1.avi").arg(++n), 1);
        const MediaProbe::Facts f = MediaProbe::query(paths.last());
        EXPECT_EQ((QStringList{f.codec, f.width, f.height, f.playTime.section(u'.', 0, 0)}),
                  QStringList(byTemplates(paths.last()).replaceInStrings(QRegularExpression(QStringLiteral("\\..*$")), QString())))
            << n;
        // Tapeweld's own reading (the command line's) gives the same cells; the play time may differ by
        // what the library makes of a stream's start (0.08 s in the H.264 clip), never by a whole second.
        const MediaProbe::Facts own = MediaProbe::ownReading(Avi::read(paths.last(), Avi::Detail::Counts));
        EXPECT_EQ((QStringList{own.codec, own.width, own.height}), (QStringList{f.codec, f.width, f.height})) << n;
        EXPECT_NEAR(own.playTime.toDouble(), f.playTime.toDouble(), 150) << n;
    }
}

TEST(Probe, ARowKeepsItsFactsWhileItsFileStaysTheSame)
{
    TestEnvironment env;
    const QString clip = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("clip.avi"), 1);
    const QString other = SampleMedia::make(SampleMedia::Kind::Mjpg, env.root(), QStringLiteral("other.avi"), 2);
    const FileListModel::Row row = probe(clip);
    EXPECT_EQ(row.facts.bytes, QFileInfo(clip).size());
    EXPECT_EQ(row.facts.width, 320);
    EXPECT_EQ(row.facts.seconds, 1);
    EXPECT_TRUE(row.facts.avi.isAvi());
    EXPECT_TRUE(row.facts.streamsCurrent(clip));

    // Another file in its place, with its size and time, is another inode.
    ASSERT_TRUE(QFile::remove(clip));
    ASSERT_TRUE(QFile::copy(other, clip));
    EXPECT_FALSE(row.facts.streamsCurrent(clip));

    // Bytes written in place, the time then set back: not the same file either.
    const FileListModel::Row again = probe(clip);
    const QByteArray name = QFile::encodeName(clip);
    struct stat before;
    ASSERT_EQ(::stat(name.constData(), &before), 0);
    QFile f(clip);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_EQ(f.write(QByteArray(64, 'x')), 64);
    f.close();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    EXPECT_FALSE(again.facts.streamsCurrent(clip));
}

TEST(Probe, AFileAHelperDiedOnIsNeverReadInThisProcess)
{
    TestEnvironment env;
    const QString a = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("a.avi"), 1);
    const QString b = SampleMedia::make(SampleMedia::Kind::Dx50, env.root(), QStringLiteral("b.avi"), 1);
    // A helper that dies at once, as on a file that crashes the library.
    const QString helper = env.write(QStringLiteral("program/tapeweld-probe"), "#!/bin/sh\nexit 0\n");
    ASSERT_TRUE(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    AppPaths::setProgramFolder(env.path(QStringLiteral("program")));
    const int opens = MediaProbe::libraryOpens();
    {
        ProbeAhead ahead({a, b}, {true, true}, 2, 2);
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(ahead.waitFor(i, 10000));
            const MediaProbe::Probed p = ahead.take(i);
            EXPECT_EQ(p.row[FileListModel::VideoCodec], QString()); // the cells of an unreadable file
            EXPECT_EQ(p.row[FileListModel::VideoSize], QStringLiteral("0x0"));
            // Kept as unreadable, so that no later check reads it in this process.
            EXPECT_TRUE(p.row.facts.streamsCurrent(i == 0 ? a : b));
            EXPECT_FALSE(p.row.facts.avi.isAvi());
        }
    }
    AppPaths::setProgramFolder(QStringLiteral(TW_PROGRAM_DIR));
    EXPECT_EQ(MediaProbe::libraryOpens(), opens);
}

TEST(Probe, FilesThatCannotBeReadStillMakeRows)
{
    TestEnvironment env;
    const QString empty = env.write(QStringLiteral("empty.avi"), "");
    const QString text = env.write(QStringLiteral("notes.avi"), "not a video at all");
    QDir().mkpath(env.path(QStringLiteral("folder.avi")));
    for (const QString &path : {empty, text, env.path(QStringLiteral("folder.avi")), env.path(QStringLiteral("gone.avi"))}) {
        const FileListModel::Row row = probe(path);
        EXPECT_EQ(row[FileListModel::Filesize], QStringLiteral("1 KB")) << path.toStdString();
        EXPECT_EQ(row[FileListModel::VideoCodec], QString());
        EXPECT_EQ(row[FileListModel::VideoSize], QStringLiteral("0x0"));
        EXPECT_EQ(row[FileListModel::Duration], QStringLiteral("0 seconds"));
    }
    EXPECT_EQ(probe(env.path(QStringLiteral("gone.avi")))[FileListModel::DateModified], QString());
}

TEST(Probe, SizeTextsRoundAndGroup)
{
    EXPECT_EQ(MediaProbe::sizeText(0), QStringLiteral("1 KB"));
    EXPECT_EQ(MediaProbe::sizeText(1535), QStringLiteral("1 KB"));
    EXPECT_EQ(MediaProbe::sizeText(1536), QStringLiteral("2 KB"));
    EXPECT_EQ(MediaProbe::sizeText(1048576), QStringLiteral("1,024 KB"));
    EXPECT_EQ(MediaProbe::sizeText(-1), QStringLiteral("1 KB"));

    // Files of 2 GiB and more are read as 64-bit sizes.
    TestEnvironment env;
    QFile big(env.path(QStringLiteral("big.avi")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(5LL * 1024 * 1024 * 1024)); // sparse: no real disk use
    big.close();
    EXPECT_EQ(probe(big.fileName())[FileListModel::Filesize], QStringLiteral("5,242,880 KB"));
}

TEST(Probe, FrameSizeAndPlayTimeConversions)
{
    EXPECT_EQ(MediaProbe::durationText(QStringLiteral("59999")), QStringLiteral("59 seconds"));
    EXPECT_EQ(MediaProbe::durationText(QStringLiteral("")), QStringLiteral("0 seconds"));
    EXPECT_EQ(MediaProbe::durationText(QStringLiteral("9999999999")), QStringLiteral("0 seconds")); // beyond 32 bits
    EXPECT_EQ(MediaProbe::frameSizeText(QStringLiteral("640"), QStringLiteral("480")), QStringLiteral("640x480"));
    EXPECT_EQ(MediaProbe::frameSizeText(QStringLiteral("70000"), QStringLiteral("x")), QStringLiteral("0x0"));
    EXPECT_EQ(WideTextFromPointer(nullptr), QString());
    EXPECT_EQ(WideTextFromPointer(L"XVID"), QStringLiteral("XVID"));
}

TEST(Probe, AHelperProcessAnswersAsTheLibraryAndAGoneOneIsNoAnswer)
{
    TestEnvironment env;
    const QString clip = SampleMedia::make(SampleMedia::Kind::Dx50, env.root(), QStringLiteral("caf\u00e9 clip.avi"), 1);
    ProbeHelper helper(QStringLiteral(TW_PROGRAM_DIR "/tapeweld-probe"));
    ASSERT_TRUE(helper.running());
    MediaProbe::Facts viaHelper;
    ASSERT_TRUE(helper.query(clip, &viaHelper));
    const MediaProbe::Facts here = MediaProbe::query(clip);
    EXPECT_EQ((QStringList{viaHelper.codec, viaHelper.width, viaHelper.height, viaHelper.playTime}),
              (QStringList{here.codec, here.width, here.height, here.playTime}));
    EXPECT_TRUE(here.avi.isAvi());
    EXPECT_EQ(viaHelper.avi, here.avi); // Tapeweld's own reading of the AVI file, over the same line

    MediaProbe::Facts odd{QStringLiteral("a b\n%c"), QString(), QStringLiteral("480"), QStringLiteral("1.5"), here.avi}, back;
    const QByteArray line = ProbeHelper::answerFor(odd).chopped(1);
    ASSERT_TRUE(ProbeHelper::parseAnswer(line, &back));
    EXPECT_EQ(back.codec, odd.codec);
    EXPECT_EQ(back.width, QString());
    EXPECT_EQ(back.playTime, odd.playTime);
    EXPECT_EQ(back.avi, odd.avi);
    // A cut or padded answer is no answer, and leaves the facts as they were.
    const MediaProbe::Facts before = back;
    for (const QByteArray &bad : QByteArrayList{line.left(line.lastIndexOf(' ')), line + " x", QByteArray("a b c d 1\t") + here.avi.toText(),
                                  QByteArray("a b c\t") + here.avi.toText(), QByteArray("a b c d")}) {
        EXPECT_FALSE(ProbeHelper::parseAnswer(bad, &back)) << bad.toStdString();
        EXPECT_EQ(back.codec, before.codec);
    }

    // A helper that dies (as on a file that crashed the library) answers nothing, and is reaped.
    ProbeHelper gone(QStringLiteral("/bin/true"));
    QThread::msleep(200); // it has ended: writing to it must not raise SIGPIPE here
    MediaProbe::Facts none;
    EXPECT_FALSE(gone.query(clip, &none));
    EXPECT_FALSE(gone.running());
}

// An OpenDML index that says it holds more entries than any chunk could keeps the
// library reading for seconds: such a file is read by Tapeweld itself, at once,
// with the cells the library gives for it whole, and named as damaged.
TEST(Probe, AnOverstatedIndexIsReadAtOnceByTapeweldItself)
{
    TestEnvironment env;
    const QString part = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("part.avi"), 2);
    const QString joined = env.path(QStringLiteral("joined.avi"));
    ASSERT_TRUE(AviJoiner({part, part}, joined, {}, Avi::Index::Trusted, 96 * 1024).run().ok()); // small RIFFs: OpenDML indexes
    ASSERT_GT(readAll(joined).indexOf("indx"), 0);
    const MediaProbe::Facts whole = MediaProbe::query(joined);
    QByteArray bytes = readAll(joined);
    const qsizetype indx = bytes.indexOf("indx") + 8;
    bytes.replace(indx + 4, 4, QByteArray("\xff\xff\xff\xff", 4));
    QElapsedTimer timer;
    timer.start();
    const MediaProbe::Facts f = MediaProbe::query(env.write(QStringLiteral("overstated.avi"), bytes));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ((QStringList{f.codec, f.width, f.height, f.playTime.left(2)}), (QStringList{whole.codec, whole.width, whole.height, whole.playTime.left(2)}));
    EXPECT_TRUE(f.avi.damage.contains(QStringLiteral("its OpenDML index says it holds 4,294,967,295 entries"))) << f.avi.damage.toStdString();
    EXPECT_EQ(f.avi.frames(), whole.avi.frames());
}
