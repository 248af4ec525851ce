#include "avi/AviFile.h"
#include "support/AviBytes.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace AviBytes;

TEST(AviFile, IndexesAreCheckedAndAWalkTakesOverWhereTheyFail)
{
    TestEnvironment env;
    const QString clip = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("clip.avi"), 2);
    const Avi::File whole = Avi::read(clip);
    ASSERT_TRUE(whole.isAvi()) << whole.problem.toStdString();
    EXPECT_EQ(whole.index, Avi::IndexSource::Legacy);
    EXPECT_EQ(whole.streams.size(), 2);
    EXPECT_EQ(whole.frames(), SampleMedia::videoFrames(clip) + 1); // ffmpeg's empty frame counts as a chunk
    // The same chunks when the index is gone or lies.
    QByteArray data = readAll(clip);
    const qsizetype idx1 = data.lastIndexOf("idx1");
    QByteArray noIndex = data;
    noIndex.replace(idx1, 4, "JUNK");
    QByteArray lying = data;
    lying.replace(idx1 + 8 + 16 * 3 + 8, 4, u32(0x7ffffff0)); // an entry far past the file
    for (const QByteArray &bytes : {noIndex, lying}) {
        const Avi::File f = Avi::read(*Avi::inMemory(bytes));
        EXPECT_EQ(f.index, Avi::IndexSource::Walk);
        ASSERT_EQ(f.chunks.size(), whole.chunks.size());
        for (qsizetype i = 0; i < f.chunks.size(); ++i)
            EXPECT_EQ(f.chunks[i].offset, whole.chunks[i].offset) << i;
        // Key frames come from the pictures themselves where no index says.
        for (qsizetype i = 0; i < f.chunks.size(); ++i) {
            if (f.chunks[i].stream() == 0 && f.chunks[i].size > 0) {
                EXPECT_EQ(f.chunks[i].key, whole.chunks[i].key) << i;
            }
        }
    }
    EXPECT_EQ(Avi::read(*Avi::inMemory("not a video")).notAvi, true);
}

TEST(AviFile, DeepAndOverlappingListsAreReadInLinearTime)
{
    // 100,000 lists nested around the frames: every frame is found, without recursion.
    QByteArray frames;
    for (int i = 0; i < 10; ++i)
        frames += chunk("00dc", QByteArray(11, 'f'));
    const int levels = 100000;
    QByteArray nested;
    nested.reserve(levels * 12 + frames.size());
    for (int k = levels; k >= 1; --k) // the outermost first; each holds the ones inside it and the frames
        nested += listOfSize("rec ", static_cast<quint32>(frames.size() + 12 * (k - 1) + 4), QByteArray());
    nested += frames;
    const Avi::File deep = Avi::read(*Avi::inMemory(withMovi(nested)), Avi::Detail::Counts);
    EXPECT_EQ(deep.frames(), 10);
    // Lists that each claim the rest of the file, overlapping their parents: no
    // region is walked twice, so nothing is counted twice.
    QByteArray overlap;
    for (int i = 0; i < 64; ++i)
        overlap += listOfSize("rec ", 0x7fffff00, chunk("00dc", QByteArray(3, 'o')));
    const Avi::File over = Avi::read(*Avi::inMemory(withMovi(overlap)), Avi::Detail::Counts);
    EXPECT_EQ(over.frames(), 64);
}


// A part whose sizes were never written, or whose chunks lack their pad byte, is
// read as its chunks show it, and says where it is damaged.
TEST(AviFile, DamagedPartsAreReadAsTheirChunksShowThemAndSaySo)
{
    TestEnvironment env;
    const QByteArray clip = readAll(SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("clip.avi"), 4));
    const Avi::File whole = Avi::read(*Avi::inMemory(clip));
    ASSERT_GT(whole.frames(), 99);
    const qint64 half = (clip.lastIndexOf("idx1") - clip.indexOf("movi")) / 2;
    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *damage;
    } cases[] = {
        {"movi size never written", unfinished(clip, 4, -1, false), "its movi list says 4 bytes but holds"},
        {"movi size stale", unfinished(clip, half, -1, false), "its movi list says"},
        {"no size written at all", unfinished(clip, 0, 0, false), "its RIFF header says 8 bytes but the file holds"},
        {"pad bytes missing", unfinished(clip, -1, -1, true), "of its chunks lack the pad byte after them"},
        {"whole but for its index", unfinished(clip, -1, -1, false), ""},
    };
    for (const auto &c : cases) {
        const Avi::File f = Avi::read(*Avi::inMemory(c.bytes));
        ASSERT_TRUE(f.isAvi()) << c.name << f.problem.toStdString();
        EXPECT_EQ(f.frames(), whole.frames()) << c.name;
        EXPECT_EQ(f.counts[1].chunks, whole.counts[1].chunks) << c.name;
        EXPECT_TRUE(*c.damage ? f.damage.contains(QString::fromLatin1(c.damage)) : f.damage.isEmpty()) << c.name << ": " << f.damage.toStdString();
    }
}
