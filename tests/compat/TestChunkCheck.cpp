#include "compat/ChunkCheck.h"
#include "join/StartJoin.h"
#include "avi/AviFile.h"
#include "list/RowFactsReader.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/SampleMedia.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <gtest/gtest.h>

namespace {
QString asked(const QStringList &paths, const Carriage &carriage = encoderEngine().carriage())
{
    ScriptedDialogs dialogs;
    FileList list;
    NewList(list, false);
    for (const QString &p : paths)
        list.model().appendRow({QFileInfo(p).fileName(), QStringLiteral("1 KB"), QString(), p, QStringLiteral("XVID"),
                                QStringLiteral("640x480"), QStringLiteral("1 seconds")});
    refreshRowFacts(list, nullptr);
    const ChunkCheck::Finding f = ChunkCheck::check(list.model(), carriage);
    return f.row ? ChunkCheck::question(list.model(), f, carriage) : QString();
}
} // namespace

TEST(ChunkCheck, PartsThatDoNotEndWhereTheirChunksEnd)
{
    TestEnvironment env;
    const QString whole = SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("whole.avi"), 2);
    const QByteArray data = readAll(whole);
    const QString stray = env.write(QStringLiteral("stray.avi"), data + "x");
    const QString junk = env.write(QStringLiteral("junk.avi"), data + QByteArray(1024, 'j'));
    const QString cut = env.write(QStringLiteral("cut.avi"), data.left(data.size() / 2));

    EXPECT_EQ(asked({whole, whole, whole}), QString());
    EXPECT_EQ(asked({stray, whole}), QStringLiteral("Row 1 (stray.avi) holds 1 byte more than its AVI chunks.\r\n"
                                                    "The parts after it will be missing from the output.\r\n\r\n"
                                                    "Would you like to join the files in your list anyway?"));
    EXPECT_TRUE(asked({whole, junk, whole}).startsWith(QStringLiteral("Row 2 (junk.avi) holds 1,024 bytes more than its AVI chunks.")));
    const QString shortened = asked({whole, cut, whole});
    EXPECT_TRUE(shortened.startsWith(QStringLiteral("Row 2 (cut.avi) is %1 bytes shorter than its AVI chunks say: the file was cut short.")
                                         .arg(QLocale().toString(data.size() - data.size() / 2))))
        << shortened.toStdString();
    EXPECT_TRUE(asked({whole, stray}).contains(QStringLiteral("It is the last part, so this does the other parts no harm.")));
    EXPECT_TRUE(asked({whole, cut}).contains(QStringLiteral("It is the last part: it loses its own end")));
    EXPECT_TRUE(asked({whole, env.write(QStringLiteral("text.avi"), "not a video")}).contains(QStringLiteral("is not an AVI file")));

    // The writer reads each part by its own chunks: a tail harms nothing, a cut part only itself.
    const Carriage writer = writerEngine().carriage();
    EXPECT_EQ(asked({stray, whole}, writer), QString());
    EXPECT_EQ(asked({whole, junk, whole}, writer), QString());
    EXPECT_TRUE(asked({whole, cut, whole}, writer).contains(QStringLiteral("It loses its own end; the other parts are not affected.")));
    // Only the index cut off: no chunk of media is lost, for either engine.
    const QString noIndexEnd = env.write(QStringLiteral("index cut.avi"), data.left(data.lastIndexOf("idx1") + 24));
    EXPECT_EQ(asked({noIndexEnd, whole}), QString());
    EXPECT_EQ(asked({noIndexEnd, whole}, writer), QString());
}

TEST(ChunkCheck, AWholeOpenDmlFileOverOneGibibyteAsksNothing)
{
    TestEnvironment env;
    if (QStorageInfo(env.root()).bytesAvailable() < 3LL << 30)
        GTEST_SKIP() << "needs 3 GiB free for a real OpenDML file";
    const QString big = SampleMedia::makeOpenDml(env.root(), QStringLiteral("opendml.avi"));
    ASSERT_FALSE(big.isEmpty());
    const Avi::File file = Avi::read(big, Avi::Detail::Counts);
    EXPECT_GT(file.size, 1LL << 30);
    EXPECT_GE(file.riffs, 2);
    EXPECT_EQ(file.chainDifference(), 0);
    EXPECT_EQ(file.index, Avi::IndexSource::OpenDml);
    EXPECT_EQ(file.frames(), 380);
    EXPECT_EQ(asked({big, big}), QString());
    QFile::remove(big);
}
