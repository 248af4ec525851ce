#include "avi/AviFile.h"
#include "avi/AviSummary.h"
#include "compat/CarryCheck.h"
#include "join/AviJoiner.h"
#include "join/Engine.h"
#include "join/JoinPlan.h"
#include "support/AviBytes.h"
#include "support/TestEngines.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"
#include "support/XfsImage.h"
#include "platform/ExtentSharing.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
QStringList words(std::initializer_list<const char *> list)
{
    QStringList l;
    for (const char *w : list)
        l << QString::fromLatin1(w);
    return l;
}
const QStringList kXvidMp3 = words({"-c:v", "mpeg4", "-vtag", "XVID", "-c:a", "libmp3lame"});
const QStringList kMjpgPcm = words({"-c:v", "mjpeg", "-c:a", "pcm_s16le"});

QByteArray renamed(QByteArray data, const QByteArray &from, const QByteArray &to)
{
    for (qsizetype at = data.indexOf(from); at >= 0; at = data.indexOf(from, at + 4))
        data.replace(at, 4, to);
    return data;
}

// The bytes of a part's first chunk of a stream, and where they lie in the output.
qint64 whereInOutput(const QString &part, int stream, const QByteArray &output)
{
    const Avi::File f = Avi::read(part);
    for (const Avi::Chunk &c : f.chunks)
        if (c.stream() == stream && c.size > 64) {
            const QByteArray data = readAll(part).mid(c.offset + 8, c.size);
            return output.indexOf(data);
        }
    return -1;
}
} // namespace

TEST(AviJoiner, EveryChunkOnceInOrderUnderBothIndexes)
{
    TestEnvironment env;
    QStringList parts;
    for (int i = 0; i < 3; ++i)
        parts << SampleMedia::makeWith(env.root(), QStringLiteral("p%1.avi").arg(i),
                                       SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "2"}));
    const QString out = env.path(QStringLiteral("out.avi"));
    // Small RIFFs, so that a few seconds make an OpenDML file of several.
    ASSERT_TRUE(AviJoiner(parts, out, {}, Avi::Index::Trusted, 96 * 1024).run().ok());
    const Avi::File joined = Avi::read(out);
    ASSERT_TRUE(joined.isAvi()) << joined.problem.toStdString();
    EXPECT_GT(joined.riffs, 2);
    EXPECT_EQ(joined.chainDifference(), 0);
    EXPECT_EQ(joined.index, Avi::IndexSource::OpenDml);
    QStringList checksums;
    for (const QString &p : parts)
        checksums += SampleMedia::videoChecksums(p);
    EXPECT_EQ(SampleMedia::videoChecksums(out), checksums);
    EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
    EXPECT_EQ(SampleMedia::encoderFrames(out), joined.frames());
    // Each index on its own names the same chunks: the legacy one the first RIFF's
    // (a reader walks the others), the OpenDML ones all of them.
    const QByteArray data = readAll(out);
    Avi::Limits every;
    every.checkEveryChunk = true;
    const Avi::File legacy = Avi::read(*Avi::inMemory(renamed(data, "indx", "JUNK")), Avi::Detail::Chunks, Avi::Index::Trusted, every);
    const Avi::File openDml = Avi::read(*Avi::inMemory(renamed(data, "idx1", "JUNK")), Avi::Detail::Chunks, Avi::Index::Trusted, every);
    EXPECT_EQ(legacy.index, Avi::IndexSource::Legacy);
    EXPECT_EQ(openDml.index, Avi::IndexSource::OpenDml);
    ASSERT_EQ(legacy.chunks.size(), joined.chunks.size());
    ASSERT_EQ(openDml.chunks.size(), joined.chunks.size());
    for (qsizetype i = 0; i < joined.chunks.size(); ++i) {
        EXPECT_EQ(legacy.chunks[i].offset, joined.chunks[i].offset);
        EXPECT_EQ(openDml.chunks[i].key, joined.chunks[i].key);
    }
    // The video's OpenDML index pointing past the end: no index of it is believed, the file is walked and says so.
    QByteArray pastEnd = renamed(data, "idx1", "JUNK");
    const qsizetype indx = pastEnd.indexOf("indx") + 8;
    for (quint32 e = 0; e < qFromLittleEndian<quint32>(pastEnd.constData() + indx + 4); ++e)
        pastEnd.replace(indx + 24 + 16 * e + 4, 4, QByteArray("\x00\x00\x00\x70", 4));
    const Avi::File walked = Avi::read(*Avi::inMemory(pastEnd));
    EXPECT_EQ(walked.index, Avi::IndexSource::Walk);
    EXPECT_EQ(walked.chunks.size(), joined.chunks.size());
    EXPECT_EQ(walked.damage, QStringLiteral("its OpenDML index points past the end of the file"));
    // Cut off inside a sound index (as an interrupted copy leaves it): every chunk that is there is read, the cut named.
    const qsizetype ix = data.indexOf("ix01", data.size() / 2);
    ASSERT_GT(ix, 0);
    const QByteArray cut = data.left(ix + 8 + 24 + 8 * 3);
    const Avi::File cutRead = Avi::read(*Avi::inMemory(cut)), cutWalked = Avi::read(*Avi::inMemory(cut), Avi::Detail::Counts, Avi::Index::Ignored);
    EXPECT_EQ(cutRead.counts[1].chunks, cutWalked.counts[1].chunks);
    EXPECT_EQ(cutRead.frames(), cutWalked.frames());
    EXPECT_TRUE(cutRead.damage.contains(QStringLiteral("its OpenDML index is cut off by the end of the file"))) << cutRead.damage.toStdString();
}

TEST(AviJoiner, SoundStaysInStepAtEverySeam)
{
    for (const QStringList &codecs : {kXvidMp3, kMjpgPcm}) {
        TestEnvironment env;
        // Part 2's sound ends 1.5 s before its picture; part 3 is another picture and tone, so it can be found.
        const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + codecs + words({"-t", "2"}));
        const QString b = SampleMedia::makeWith(env.root(), QStringLiteral("b.avi"),
                                                SampleMedia::picture() + SampleMedia::sine(44100, 0.5) + codecs + words({"-t", "2"}));
        const QString c = SampleMedia::makeWith(env.root(), QStringLiteral("c.avi"),
                                                words({"-f", "lavfi", "-i", "smptebars=size=320x240:rate=25", "-f", "lavfi", "-i",
                                                       "sine=frequency=880:sample_rate=44100"})
                                                    + codecs
                                                    + words({"-t", "2"}));
        const QString out = env.path(QStringLiteral("out.avi"));
        // The plan the program hands the writer.
        const QVector<SyncPlan::Seam> seams = SyncPlan::plan({Avi::summarize(a), Avi::summarize(b), Avi::summarize(c)}, true);
        ASSERT_EQ(seams.size(), 2);
        EXPECT_GT(seams[1].silence.value(0), 1.0);
        ASSERT_TRUE(AviJoiner({a, b, c}, out, seams).run().ok());
        const QByteArray joined = readAll(out);
        const double picture = SampleMedia::packetTime(out, whereInOutput(c, 0, joined));
        const double sound = SampleMedia::packetTime(out, whereInOutput(c, 1, joined));
        ASSERT_GE(picture, 3.9);
        EXPECT_NEAR(sound, picture, 0.04) << codecs.join(u' ').toStdString(); // within a frame
        EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
    }
}

TEST(AviJoiner, EveryTrackAndEveryOrderIsFiledByKind)
{
    TestEnvironment env;
    const QStringList two = SampleMedia::picture() + SampleMedia::sine() + SampleMedia::sine(48000)
                            + words({"-map", "0", "-map", "1", "-map", "2", "-c:v", "mpeg4", "-c:a", "ac3", "-t", "1"});
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), two);
    // The same streams stored sound first.
    const QString b = SampleMedia::makeWith(env.root(), QStringLiteral("b.avi"),
                                            words({"-i", a.toUtf8().constData(), "-map", "0:a:0", "-map", "0:v", "-map", "0:a:1", "-c", "copy"}));
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({a, b, a}, out).run().ok());
    const QStringList in = SampleMedia::packets(a);
    ASSERT_EQ(in.size(), 3);
    QStringList expected;
    for (const QString &stream : in)
        expected << stream.section(u' ', 0, 0) + u' ' + QString::number(3 * stream.section(u' ', 1).toInt());
    EXPECT_EQ(SampleMedia::packets(out), expected);
    EXPECT_EQ(SampleMedia::videoChecksums(out), SampleMedia::videoChecksums(a) + SampleMedia::videoChecksums(b) + SampleMedia::videoChecksums(a));
    EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
}

TEST(AviJoiner, PartsWithoutAnIndexOrWithABrokenOneJoinWhole)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "2"}));
    QByteArray data = readAll(a);
    const QString noIndex = env.write(QStringLiteral("no index.avi"), renamed(data, "idx1", "JUNK"));
    const qsizetype idx1 = data.lastIndexOf("idx1");
    data.replace(idx1 + 8 + 16 * 5 + 8, 8, QByteArray(8, '\xff')); // an entry that points nowhere
    const QString damaged = env.write(QStringLiteral("damaged.avi"), data);
    // An entry that files a frame under the sound: only a check of every chunk sees it.
    data = readAll(a);
    qsizetype frame = idx1 + 8 + 16 * 3;
    while (data.mid(frame, 4) != "00dc" || qFromLittleEndian<quint32>(data.constData() + frame + 12) == 0)
        frame += 16;
    data.replace(frame, 4, "01wb");
    const QString mislabelled = env.write(QStringLiteral("mislabelled.avi"), data);
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({a, noIndex, damaged, mislabelled}, out).run().ok());
    EXPECT_EQ(SampleMedia::videoChecksums(out), SampleMedia::videoChecksums(a) + SampleMedia::videoChecksums(a) + SampleMedia::videoChecksums(a)
                                                    + SampleMedia::videoChecksums(a));
    EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
    // The output is made new: an existing file or a link there is never written.
    const QString victim = env.write(QStringLiteral("victim"), "keep");
    ASSERT_TRUE(QFile::link(victim, env.path(QStringLiteral("link.avi"))));
    EXPECT_FALSE(AviJoiner({a}, env.path(QStringLiteral("link.avi"))).run().ok());
    EXPECT_EQ(readAll(victim), QByteArray("keep"));
}

// The legacy index names each chunk by its own id: a part that stores its frames as "00db" keeps them so.
TEST(AviJoiner, TheLegacyIndexNamesEachChunkAsItIs)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "1"}));
    const QString db = env.write(QStringLiteral("db.avi"), renamed(readAll(a), "00dc", "00db"));
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({db, a}, out).run().ok());
    const QByteArray joined = readAll(out);
    const qsizetype idx1 = joined.lastIndexOf("idx1");
    ASSERT_GT(idx1, 0);
    const qsizetype movi = joined.indexOf("movi"); // idx1's offsets count from it
    QMap<QByteArray, int> ids;
    for (qsizetype at = idx1 + 8; at + 16 <= joined.size(); at += 16) {
        const QByteArray id = joined.mid(at, 4);
        ++ids[id];
        EXPECT_EQ(joined.mid(movi + static_cast<qsizetype>(Riff::u32(joined.constData() + at + 8)), 4), id); // the chunk it points at
    }
    const qint64 frames = Avi::read(a).frames();
    EXPECT_EQ(ids.value("00db"), frames);
    EXPECT_EQ(ids.value("00dc"), frames);
}

// A main header shorter than its structure (20 or 21 bytes, a JUNK chunk after it) is read
// no further than it goes: the join is whole (the sanitizer build would stop on an over-read).
TEST(AviJoiner, AShortMainHeaderIsReadOnlyAsFarAsItGoes)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "1"}));
    for (const quint32 size : {20u, 21u}) {
        QByteArray data = readAll(a);
        const qsizetype avih = data.indexOf("avih");
        ASSERT_EQ(Riff::u32(data.constData() + avih + 4), 56u);
        Riff::put32(data.data() + avih + 4, size);
        const qsizetype junk = avih + 8 + Riff::padded(size);
        data.replace(junk, 4, "JUNK");
        Riff::put32(data.data() + junk + 4, static_cast<quint32>(avih + 64 - junk - 8));
        const QString part = env.write(QStringLiteral("short%1.avi").arg(size), data);
        const QString out = env.path(QStringLiteral("out%1.avi").arg(size));
        ASSERT_TRUE(AviJoiner({part, a}, out).run().ok()) << size;
        EXPECT_EQ(Avi::read(out).frames(), 2 * Avi::read(a).frames()) << size;
    }
}

// A part whose header calls its picture sound and its sound picture: each chunk goes to the
// output's stream of the kind its header names, under that stream's own code, in the chunks and the index alike.
TEST(AviJoiner, AChunkFiledUnderAnotherStreamCarriesThatStreamsCode)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "1"}));
    QByteArray data = readAll(a);
    const qsizetype vids = data.indexOf("strh") + 8, auds = data.indexOf("auds");
    ASSERT_EQ(data.mid(vids, 4), QByteArray("vids"));
    data.replace(vids, 4, "auds");
    data.replace(auds, 4, "vids");
    const QString swapped = env.write(QStringLiteral("swapped.avi"), data);
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({a, swapped}, out).run().ok());
    for (const Avi::Index index : {Avi::Index::Trusted, Avi::Index::Ignored}) { // the index, then the chunks themselves
        const Avi::File f = Avi::read(out, Avi::Detail::Chunks, index);
        ASSERT_TRUE(f.isAvi());
        for (const Avi::Chunk &c : f.chunks) {
            const QByteArray id(reinterpret_cast<const char *>(&c.id), 4);
            EXPECT_TRUE(c.stream() == 0 ? id == "00dc" || id == "00db" : id == "01wb") << id.toStdString();
        }
    }
}

// Empty sound chunks (H.264 and AAC as ffmpeg stores them start with some) play nothing: the writer leaves them out.
TEST(AviJoiner, EmptySoundChunksStayOut)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"),
                                            SampleMedia::picture() + SampleMedia::sine() + words({"-c:v", "libx264", "-c:a", "aac", "-t", "2"}));
    const Avi::Summary part = Avi::summarize(a);
    ASSERT_GT(part.streams.value(1).empty, 0); // the muxer's, before the sound starts
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({a, a}, out, SyncPlan::plan({part, part}, true)).run().ok());
    const Avi::Summary joined = Avi::summarize(out);
    EXPECT_EQ(joined.streams.value(1).empty, 0);
    EXPECT_EQ(joined.streams.value(1).chunks, 2 * (part.streams[1].chunks - part.streams[1].empty));
    EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
}

namespace {
// The clip's AC-3 stored as a byte stream, as some muxers store it: chunks of 1,000 bytes that
// cut across frames, the stream header timing bytes (a byte a tick at the byte rate). No index: readers walk it.
QByteArray asByteStream(const QString &clip)
{
    const QByteArray data = readAll(clip);
    const Avi::File f = Avi::read(clip);
    QByteArray head = data.left(data.indexOf("LIST", data.indexOf("movi") - 8));
    const qsizetype auds = head.indexOf("auds");
    const quint32 bytesPerSecond = f.streams[1].avgBytesPerSec;
    qint64 soundBytes = 0;
    for (const Avi::Chunk &c : f.chunks)
        soundBytes += c.stream() == 1 ? c.size : 0;
    Riff::put32(head.data() + auds + Riff::Strh::kScale, 1);
    Riff::put32(head.data() + auds + Riff::Strh::kRate, bytesPerSecond);
    Riff::put32(head.data() + auds + Riff::Strh::kLength, static_cast<quint32>(soundBytes));
    Riff::put32(head.data() + auds + Riff::Strh::kSampleSize, 1);
    const qsizetype strf = head.indexOf("strf", auds) + 8;
    Riff::put16(head.data() + strf + Riff::Wfx::kBlockAlign, 1); // a byte a block
    QByteArray movi, pending;
    for (const Avi::Chunk &c : f.chunks) {
        const QByteArray bytes = data.mid(c.offset + 8, c.size);
        if (c.stream() == 1) {
            pending += bytes;
            for (; pending.size() >= 1000; pending.remove(0, 1000))
                movi += AviBytes::chunk("01wb", pending.left(1000));
        } else {
            movi += AviBytes::chunk("00dc", bytes);
        }
    }
    if (!pending.isEmpty())
        movi += AviBytes::chunk("01wb", pending);
    QByteArray out = head + AviBytes::list("movi", movi);
    Riff::put32(out.data() + 4, static_cast<quint32>(out.size() - 8));
    return out;
}
} // namespace

// AC-3 a frame a chunk beside AC-3 as a byte stream: the encoder is asked about, the writer times
// the output's sound by its bytes and every part plays its sound as long as its picture.
TEST(AviJoiner, SoundTimedTwoWaysPlaysAsLongAsItsPicture)
{
    TestEnvironment env;
    const QString framed = SampleMedia::makeWith(env.root(), QStringLiteral("framed.avi"),
                                                 SampleMedia::picture() + SampleMedia::sine() + words({"-c:v", "mpeg4", "-c:a", "ac3", "-t", "2"}));
    const QString bytes = env.write(QStringLiteral("bytes.avi"), asByteStream(framed));
    const QVector<Avi::Summary> parts{Avi::summarize(framed), Avi::summarize(bytes), Avi::summarize(framed)};
    ASSERT_TRUE(parts[1].isAvi()) << parts[1].problem.toStdString();
    EXPECT_NEAR(parts[1].streams[1].seconds(), parts[0].streams[1].seconds(), 0.05); // the same sound, timed two ways
    const QStringList names{QStringLiteral("framed.avi"), QStringLiteral("bytes.avi"), QStringLiteral("framed.avi")};
    const QVector<CarryCheck::Difference> asked =
        CarryCheck::differences(parts, names, encoderEngine().carriage(), SyncPlan::plan(parts, false));
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked[0].text, QStringLiteral("Row 2 (bytes.avi) differs from row 1 (framed.avi) in its sound timing: "
                                            "a stream of bytes against one frame a chunk."));
    const QVector<SyncPlan::Seam> seams = SyncPlan::plan(parts, true);
    EXPECT_TRUE(CarryCheck::differences(parts, names, writerEngine().carriage(), seams).isEmpty());
    const QString out = env.path(QStringLiteral("out.avi"));
    ASSERT_TRUE(AviJoiner({framed, bytes, framed}, out, seams).run().ok());
    EXPECT_NEAR(SampleMedia::soundSeconds(out), 3 * SampleMedia::soundSeconds(framed), 0.1);
    EXPECT_EQ(SampleMedia::decoderErrors(out), 0);
}

// What part 1's header holds beyond what the writer rewrites goes on as it stands:
// the stream list's other chunks (a 16:9 picture stays 16:9) and its INFO list.
TEST(AviJoiner, PartOnesOtherHeadersAreKept)
{
    TestEnvironment env;
    const struct
    {
        const char *name;
        QStringList video;
        QByteArray kept; // in part 1 and in the output
    } cases[] = {{"wide.avi", words({"-c:v", "huffyuv", "-aspect", "16:9"}), "vprp"},
                 {"titled.avi", words({"-c:v", "mpeg4", "-metadata", "title=Summer 2026"}), "Summer 2026"}};
    for (const auto &c : cases) {
        const QString a = SampleMedia::makeWith(env.root(), QString::fromLatin1(c.name), SampleMedia::picture() + c.video + words({"-t", "1"}));
        ASSERT_TRUE(readAll(a).contains(c.kept)) << c.name;
        const QString out = env.path(QStringLiteral("out ") + QString::fromLatin1(c.name));
        ASSERT_TRUE(AviJoiner({a, a}, out).run().ok()) << c.name;
        EXPECT_TRUE(readAll(out).contains(c.kept)) << c.name;
        EXPECT_EQ(Avi::read(out).frames(), 2 * Avi::read(a).frames()) << c.name;
        EXPECT_EQ(SampleMedia::videoFrames(out), 2 * SampleMedia::videoFrames(a)) << c.name;
    }
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v"),
                                            QStringLiteral("-show_entries"), QStringLiteral("stream=display_aspect_ratio"), QStringLiteral("-of"),
                                            QStringLiteral("csv=p=0"), env.path(QStringLiteral("out wide.avi"))});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), QStringLiteral("16:9"));
}

namespace {
// How far, at worst, a sound track's clock lies from the picture's as the file is read front to back, in seconds.
double widestDrift(const QString &path)
{
    const Avi::File f = Avi::read(path);
    QVector<Avi::Count> held(f.streams.size());
    double widest = 0;
    for (const Avi::Chunk &c : f.chunks) {
        held[c.stream()].chunks += 1;
        held[c.stream()].bytes += c.size;
        if (f.streams[c.stream()].kind == Avi::Kind::Audio)
            widest = std::max(widest, std::abs(Avi::seconds(f.streams[c.stream()], held[c.stream()]) - Avi::seconds(f.streams[0], held[0])));
    }
    return widest;
}
} // namespace

// The main header tells the truth of the output: its peak data rate by the second,
// interleaved only while the sound stays near its picture in the file (fills are
// laid among the chunks around them); a file of one RIFF carries no OpenDML index.
TEST(AviJoiner, TheHeaderSaysWhatTheOutputHolds)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), SampleMedia::picture() + SampleMedia::sine() + kXvidMp3 + words({"-t", "2"}));
    const QString mute = SampleMedia::makeWith(env.root(), QStringLiteral("mute.avi"),
                                               SampleMedia::picture() + SampleMedia::sine(44100, 0.5) + kXvidMp3 + words({"-t", "4"}));
    const QString picture = SampleMedia::makeWith(env.root(), QStringLiteral("picture.avi"),
                                                  SampleMedia::picture() + words({"-c:v", "mpeg4", "-vtag", "XVID", "-t", "3"}));
    const auto avih = [](const QString &path, int at) {
        const QByteArray bytes = readAll(path);
        return qFromLittleEndian<quint32>(bytes.constData() + bytes.indexOf("avih") + 8 + at);
    };
    constexpr quint32 kInterleaved = 0x100;
    ASSERT_TRUE(avih(a, Riff::Avih::kFlags) & kInterleaved);
    const struct
    {
        const char *name;
        QStringList parts;
        bool interleaved;
    } cases[] = {{"in step", {a, a}, true}, {"3.5 s of silence laid in", {mute, a}, true}, {"a part without sound", {a, picture, a}, true}};
    for (const auto &c : cases) {
        const QString out = env.path(QString::fromLatin1(c.name) + QStringLiteral(".avi"));
        QVector<Avi::Summary> rows;
        for (const QString &p : c.parts)
            rows << Avi::summarize(p);
        const Result joined = AviJoiner(c.parts, out, SyncPlan::plan(rows, true)).run();
        ASSERT_TRUE(joined.ok()) << c.name << joined.why().toStdString();
        const QByteArray bytes = readAll(out);
        EXPECT_EQ(bytes.indexOf("indx"), -1) << c.name;
        EXPECT_EQ(bytes.indexOf("ix00"), -1) << c.name;
        EXPECT_EQ(Avi::read(out).index, Avi::IndexSource::Legacy) << c.name;
        EXPECT_EQ(bool(avih(out, Riff::Avih::kFlags) & kInterleaved), c.interleaved) << c.name;
        const double seconds = Avi::read(out).frames() / 25.0;
        EXPECT_GE(avih(out, Riff::Avih::kMaxBytesPerSec), bytes.size() / seconds * 0.9) << c.name;
        EXPECT_LE(avih(out, Riff::Avih::kMaxBytesPerSec), bytes.size()) << c.name;
        EXPECT_EQ(SampleMedia::decoderErrors(out), 0) << c.name;
        EXPECT_LE(widestDrift(out), 0.5) << c.name;
        EXPECT_EQ(SampleMedia::packets(out).size(), 2) << c.name;
    }
}

// Where a part's sound runs on past its picture, the picture is held by frames a
// player shows: the last frame again for MJPEG, a picture that codes nothing for
// MPEG-4 part 2, an empty frame for codecs with neither.
TEST(AviJoiner, AHeldPictureIsMadeOfFramesPlayersShow)
{
    TestEnvironment env;
    const struct
    {
        const char *name;
        QStringList codec;
        bool repeats; // each held frame is the last one again (decoded, a frame of its own)
        bool coded;   // each held frame has bytes
    } cases[] = {{"mjpeg", words({"-c:v", "mjpeg"}), true, true},
                 {"mpeg4", words({"-c:v", "mpeg4", "-vtag", "XVID"}), false, true},
                 {"h264", words({"-c:v", "libx264"}), false, false}};
    for (const auto &c : cases) {
        const QString name = QString::fromLatin1(c.name);
        const QString longSound = SampleMedia::makeWith(env.root(), name + QStringLiteral("-long.avi"),
                                                        words({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25:duration=2"}) + SampleMedia::sine(44100, 4)
                                                            + c.codec + words({"-c:a", "libmp3lame"}));
        const QString even = SampleMedia::makeWith(env.root(), name + QStringLiteral("-even.avi"),
                                                   words({"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25:duration=2"}) + SampleMedia::sine(44100, 2)
                                                       + c.codec + words({"-c:a", "libmp3lame"}));
        const QVector<SyncPlan::Seam> seams = SyncPlan::plan({Avi::summarize(longSound), Avi::summarize(even)}, true);
        ASSERT_EQ(seams.size(), 1) << c.name;
        const qint64 held = seams[0].dropFrames;
        ASSERT_GT(held, 40) << c.name;
        const QString out = env.path(name + QStringLiteral("-out.avi"));
        ASSERT_TRUE(AviJoiner({longSound, even}, out, seams).run().ok()) << c.name;
        const Avi::File f = Avi::read(out);
        const Avi::File a = Avi::read(longSound), b = Avi::read(even);
        EXPECT_EQ(f.frames(), a.frames() + b.frames() + held) << c.name;
        EXPECT_EQ(f.counts[0].empty, a.counts[0].empty + b.counts[0].empty + (c.coded ? 0 : held)) << c.name;
        EXPECT_EQ(f.counts[0].keys, a.counts[0].keys + b.counts[0].keys + (c.repeats ? held : 0)) << c.name;
        EXPECT_EQ(SampleMedia::decoderErrors(out), 0) << c.name;
        if (c.coded) { // a player that reads the file front to back (the encoder) takes every frame
            EXPECT_EQ(SampleMedia::encoderFrames(out), f.frames()) << c.name;
        }
        // The held frames lie among part 1's last sound, not in one run after it.
        EXPECT_LE(widestDrift(out), 0.5) << c.name;
    }
}

namespace {
// JUNK chunks inside the output's movi lists (the header's own padding is not counted).
int junkInMovi(const QString &path)
{
    const QByteArray bytes = readAll(path);
    return static_cast<int>(bytes.mid(bytes.indexOf("movi")).count("JUNK"));
}

// The chunks as the output's index names them: id, size and key flag, in order.
QStringList chunkList(const QString &path)
{
    QStringList list;
    for (const Avi::Chunk &c : Avi::read(path).chunks)
        list << Riff::tagText(c.id) + QString::number(c.size) + (c.key ? u'K' : u'.');
    return list;
}
} // namespace

// Laid out for shared blocks (each run at its part's place within a block, JUNK
// in the gaps), the output holds every chunk a compact one holds, and plays so:
// across RIFFs, with streams renumbered, with held frames and silence laid in.
TEST(AviJoiner, AnAlignedOutputHoldsAndPlaysWhatACompactOneDoes)
{
    TestEnvironment env;
    const QStringList clip = SampleMedia::picture() + SampleMedia::sine() + words({"-t", "2"});
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"), clip + kXvidMp3);
    const QString soundFirst = SampleMedia::makeWith(env.root(), QStringLiteral("b.avi"),
                                                     words({"-i", a.toUtf8().constData(), "-map", "0:a", "-map", "0:v", "-c", "copy"}));
    const QString longSound = SampleMedia::makeWith(env.root(), QStringLiteral("long.avi"), words({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2"})
                                                                                              + SampleMedia::sine(44100, 4) + kMjpgPcm);
    const QString even = SampleMedia::makeWith(env.root(), QStringLiteral("even.avi"), clip + kMjpgPcm);
    const struct
    {
        const char *name;
        QStringList parts;
        qint64 riffLimit;
        bool seams;
    } cases[] = {{"several RIFFs", {a, a, a}, 96 * 1024, false},
                 {"streams renumbered", {a, soundFirst, a}, AviJoiner::kRiffLimit, false},
                 {"held frames", {longSound, even}, AviJoiner::kRiffLimit, true}};
    for (const auto &c : cases) {
        QVector<Avi::Summary> rows;
        for (const QString &p : c.parts)
            rows << Avi::summarize(p);
        const QVector<SyncPlan::Seam> seams = c.seams ? SyncPlan::plan(rows, true) : QVector<SyncPlan::Seam>();
        ASSERT_EQ(seams.isEmpty(), !c.seams) << c.name;
        QStringList outs;
        for (const AviJoiner::Layout layout : {AviJoiner::Layout::Compact, AviJoiner::Layout::Aligned}) {
            outs << env.path(QString::fromLatin1(c.name) + QString::number(outs.size()) + QStringLiteral(".avi"));
            AviJoiner joiner(c.parts, outs.last(), seams, Avi::Index::Trusted, c.riffLimit);
            joiner.setLayout(layout);
            ASSERT_TRUE(joiner.run().ok()) << c.name;
        }
        const QString &compact = outs[0], &aligned = outs[1];
        EXPECT_EQ(junkInMovi(compact), 0) << c.name;
        EXPECT_GT(junkInMovi(aligned), 0) << c.name;
        EXPECT_EQ(chunkList(aligned), chunkList(compact)) << c.name;
        EXPECT_EQ(SampleMedia::packets(aligned), SampleMedia::packets(compact)) << c.name;
        EXPECT_EQ(SampleMedia::videoChecksums(aligned), SampleMedia::videoChecksums(compact)) << c.name;
        EXPECT_EQ(SampleMedia::decoderErrors(aligned), 0) << c.name;
        EXPECT_EQ(SampleMedia::encoderFrames(aligned), Avi::read(aligned).frames()) << c.name;
        EXPECT_LE(widestDrift(aligned), widestDrift(compact) + 0.1) << c.name;
        // Each movi list begins with a chunk of media: players tell from it where idx1's offsets count from.
        const QByteArray bytes = readAll(aligned);
        for (qsizetype at = bytes.indexOf("movi"); at >= 0; at = bytes.indexOf("movi", at + 4))
            if (bytes.mid(at - 8, 4) == "LIST") {
                EXPECT_GE(Riff::streamOf(qFromLittleEndian<quint32>(bytes.constData() + at + 4)), 0) << c.name << " at " << at;
            }
        EXPECT_EQ(SampleMedia::playerChecksums(aligned), SampleMedia::playerChecksums(compact)) << c.name;
    }
    // A copied run lies at its part's place within a block.
    const QString out = env.path(QStringLiteral("place.avi"));
    AviJoiner joiner({a, even}, out);
    joiner.setLayout(AviJoiner::Layout::Aligned);
    ASSERT_TRUE(joiner.run().ok());
    const Avi::File second = Avi::read(even);
    const qint64 inOutput = whereInOutput(even, 0, readAll(out));
    ASSERT_GT(inOutput, 0);
    const auto firstFrame = std::find_if(second.chunks.begin(), second.chunks.end(), [](const Avi::Chunk &c) { return c.stream() == 0 && c.size > 64; });
    EXPECT_EQ(inOutput % 4096, (firstFrame->offset + 8) % 4096);
}

// On XFS with reflink the output's blocks are the parts' own: the file system's
// free space falls by a small part of the output's size. On a RAM disk nothing
// can be shared and the output stays compact.
TEST(AviJoiner, WhereTheFileSystemSharesBlocksTheOutputSharesTheParts)
{
    TestEnvironment env;
    const QString a = SampleMedia::makeWith(env.root(), QStringLiteral("a.avi"),
                                            words({"-f", "lavfi", "-i", "testsrc=size=640x480:rate=25,noise=alls=60:allf=t+u"}) + SampleMedia::sine()
                                                + kXvidMp3 + words({"-q:v", "2", "-t", "3"}));
    const QStringList expected = [&] {
        QStringList e;
        for (const QString &stream : SampleMedia::packets(a))
            e << stream.section(u' ', 0, 0) + u' ' + QString::number(3 * stream.section(u' ', 1).toInt());
        return e;
    }();
    // The free space a join there asks for, of the parts' kilobytes.
    double need = -1, filledNeed = -1;
    const auto needed = [&](const QStringList &parts, const QString &output, const QVector<SyncPlan::Seam> &seams = {}) {
        JoinPlan plan;
        plan.seams = seams;
        for (const QString &p : parts)
            plan.parts.append({p, QFileInfo(p).size(), Avi::summarize(p)});
        return writerEngine().kilobytesNeeded(3 * QFileInfo(a).size() / 1024.0, plan, output) / (3 * QFileInfo(a).size() / 1024.0);
    };
    const auto joinIn = [&](const QString &folder, AviJoiner *joiner) -> QString {
        QStringList parts;
        for (int i = 0; i < 3; ++i) {
            parts << folder + QStringLiteral("/part%1.avi").arg(i);
            EXPECT_TRUE(QFile::copy(a, parts.last()));
        }
        need = needed(parts, folder + QStringLiteral("/out.avi"));
        SyncPlan::Seam held;
        held.row = 2, held.dropFrames = 5;
        filledNeed = needed(parts, folder + QStringLiteral("/out.avi"), {held});
        *joiner = AviJoiner(parts, folder + QStringLiteral("/out.avi"));
        EXPECT_TRUE(joiner->run().ok());
        return folder + QStringLiteral("/out.avi");
    };
    const QString ram = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : env.root();
    QTemporaryDir ramDir(ram + QStringLiteral("/tapeweld-test-XXXXXX"));
    AviJoiner onRam({}, {});
    const QString compact = joinIn(ramDir.path(), &onRam);
    EXPECT_EQ(onRam.blockSize(), 0);
    EXPECT_EQ(need, 1.0);
    EXPECT_EQ(junkInMovi(compact), 0);
    EXPECT_EQ(SampleMedia::packets(compact), expected);
    EXPECT_EQ(ExtentSharing::blockSizeIn(a, ramDir.path()), 0);

    const XfsImage xfs(env.root());
    if (!xfs.ok())
        GTEST_SKIP() << "no XFS to share blocks on: " << xfs.why().toStdString();
    QDir().mkpath(xfs.path() + QStringLiteral("/in"));
    const double before = xfs.freeBytes() - 3 * QFileInfo(a).size(); // the parts' own room
    AviJoiner onXfs({}, {});
    const QString shared = joinIn(xfs.path() + QStringLiteral("/in"), &onXfs);
    const double taken = before - xfs.freeBytes();
    const qint64 size = QFileInfo(shared).size();
    EXPECT_EQ(onXfs.blockSize(), 4096);
    EXPECT_LT(need, 0.05); // the free-space question counts only what is not shared
    EXPECT_GT(filledNeed, 1.0 / 3); // part 1's last chunks, among which fills are laid, are copied
    EXPECT_EQ(ExtentSharing::blockSizeIn(shared, xfs.path()), 4096);
    EXPECT_GT(onXfs.sharedBytes(), size * 9 / 10);
    EXPECT_LT(taken, size / 4) << "of " << size;
    QProcess filefrag;
    filefrag.start(QStandardPaths::findExecutable(QStringLiteral("filefrag"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")}),
                   {QStringLiteral("-v"), shared});
    filefrag.waitForFinished();
    EXPECT_TRUE(filefrag.readAll().contains("shared"));
    EXPECT_EQ(SampleMedia::packets(shared), expected);
    EXPECT_EQ(SampleMedia::videoChecksums(shared), SampleMedia::videoChecksums(compact));
    EXPECT_EQ(SampleMedia::decoderErrors(shared), 0);
}

// Parts of thousands of chunks are read in large requests, as a copy reads
// them: no read per chunk to check its header against the index.
TEST(AviJoiner, PartsAreReadInLargeRequests)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is not installed";
    TestEnvironment env;
    QByteArray movi, idx1;
    for (int i = 0; i < 4000; ++i) {
        idx1 += QByteArray("00dc") + AviBytes::u32(0x10) + AviBytes::u32(static_cast<quint32>(4 + movi.size())) + AviBytes::u32(3001);
        movi += AviBytes::chunk("00dc", QByteArray(3001, static_cast<char>(i)));
    }
    const QString part = env.write(QStringLiteral("part.avi"), AviBytes::withMovi(movi, AviBytes::chunk("idx1", idx1)));
    const QString trace = env.path(QStringLiteral("trace"));
    QProcess join;
    QProcessEnvironment traced = QProcessEnvironment::systemEnvironment();
    traced.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")); // the leak checker cannot run under a tracer
    join.setProcessEnvironment(traced);
    join.start(strace, {QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-e"), QStringLiteral("trace=read,pread64,readv,preadv,preadv2"),
                        QStringLiteral("-o"), trace, QStringLiteral(TW_PROGRAM_DIR "/tapeweld-join"), env.path(QStringLiteral("out.avi")), part, part, part});
    ASSERT_TRUE(join.waitForFinished(60000));
    ASSERT_EQ(join.exitCode(), 0) << join.readAllStandardError().toStdString();
    const QString counts = QString::fromLocal8Bit(readAll(trace));
    const QStringList total = counts.section(u'\n', -2, -2).split(u' ', Qt::SkipEmptyParts); // "100.00 … calls total"
    ASSERT_TRUE(total.size() >= 5 && total.last() == QStringLiteral("total")) << counts.toStdString();
    const double megabytes = 3.0 * movi.size() / 1e6;
    EXPECT_LE(total[3].toInt(), 4 * megabytes) << counts.toStdString(); // 24,000 before
    EXPECT_EQ(Avi::read(env.path(QStringLiteral("out.avi"))).frames(), 12000);
    // Every chunk where the index says, with its own bytes, across the seams of the
    // reads (one read ahead of the write), also where a later read finds the index
    // wrong (an entry's size, 3,000 in part 2) and the join begins again.
    QByteArray wrongIdx1 = idx1;
    wrongIdx1.replace(16 * 3500 + 12, 4, AviBytes::u32(3000));
    const QString wrong = env.write(QStringLiteral("wrong.avi"), AviBytes::withMovi(movi, AviBytes::chunk("idx1", wrongIdx1)));
    for (const QString &second : {part, wrong}) {
        const QString out = env.path(QStringLiteral("out %1.avi").arg(second == part));
        ASSERT_TRUE(AviJoiner({part, second}, out).run().ok());
        const Avi::File joined = Avi::read(out);
        const QByteArray bytes = readAll(out);
        ASSERT_EQ(joined.chunks.size(), 8000);
        for (qsizetype i = 0; i < joined.chunks.size(); ++i) {
            const QByteArray chunk = AviBytes::chunk("00dc", QByteArray(3001, static_cast<char>(i % 4000)));
            ASSERT_EQ(bytes.mid(joined.chunks[i].offset, chunk.size()), chunk) << i;
        }
    }
}
