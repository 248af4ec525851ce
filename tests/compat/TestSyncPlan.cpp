#include "compat/SyncPlan.h"
#include "support/Summaries.h"

#include <gtest/gtest.h>

using namespace Summaries;

namespace {
// A clip whose header lies about how its stream is timed (the same chunks, a rate or scale of billions).
Avi::Summary lying(int stream, quint32 scale, quint32 rate)
{
    Avi::Summary s = clip(2, 2);
    s.streams[stream].scale = scale;
    s.streams[stream].rate = rate;
    return s;
}
} // namespace

// Seam by seam: what a writer that fills puts in, and where the sound then starts.
TEST(SyncPlan, FillsAndShiftsSeamBySeam)
{
    const struct
    {
        const char *name;
        QVector<Avi::Summary> rows;
        bool fill;
        QVector<qint64> frames;    // empty frames before rows 2, 3, ...
        QVector<double> silence;   // seconds of silence before rows 2, 3, ... (track 1)
        QVector<double> shift;     // where row 2, 3, ...'s sound starts against its picture
    } cases[] = {
        {"in step", {clip(2, 2), clip(2, 2)}, true, {0}, {0}, {0}},
        {"short sound filled", {clip(2, 0.5), clip(2, 2)}, true, {0}, {1.5}, {0}},
        {"short sound copied", {clip(2, 0.5), clip(2, 2)}, false, {0}, {0}, {-1.5}},
        {"long sound gets frames", {clip(2, 3), clip(2, 2)}, true, {25}, {0}, {0}},
        {"long sound copied", {clip(2, 3), clip(2, 2)}, false, {0}, {0}, {1}},
        {"drift adds up", {clip(2, 1.5), clip(2, 1.5), clip(2, 2)}, false, {0, 0}, {0, 0}, {-0.5, -1}},
        {"no sound in a part", {clip(2, 2), clip(2, -1), clip(2, 2)}, true, {0, 0}, {0, 2}, {0, 0}},
        {"untimed part counts as in step", {clip(2, 2), Avi::Summary(), clip(2, 2)}, true, {0, 0}, {0, 0}, {0, 0}},
        {"sound that says it plays for ages", {lying(1, 0xFFFFFFFF, 1), clip(2, 2)}, true, {0}, {0}, {0}},
        {"sound that says it plays for no time", {lying(1, 1, 0x7FFFFFFF), clip(2, 2)}, true, {0}, {0}, {0}},
        {"a picture of a billion frames a second", {lying(0, 1, 0x7FFFFFFF), clip(2, 2)}, true, {0}, {0}, {0}},
        {"a short picture under long sound", {clip(0.2, 30), clip(2, 2)}, true, {745}, {0}, {0}},
        // Empty chunks before AAC starts play nothing: 2 s of sound after 10 of them is 2 s, not 2.23 s.
        {"empty sound chunks carry no time", {file({video(50), aac(2, 10)}), clip(2, 2), clip(2, 2)}, false, {0, 0}, {0, 0}, {0, 0}},
    };
    for (const auto &c : cases) {
        const QVector<SyncPlan::Seam> seams = SyncPlan::plan(c.rows, c.fill);
        ASSERT_EQ(seams.size(), c.rows.size() - 1) << c.name;
        for (int i = 0; i < seams.size(); ++i) {
            EXPECT_EQ(seams[i].row, i + 2) << c.name;
            EXPECT_EQ(seams[i].dropFrames, c.frames[i]) << c.name << " seam " << i;
            EXPECT_NEAR(seams[i].silence.value(0), c.silence[i], 0.01) << c.name << " seam " << i;
            EXPECT_NEAR(seams[i].shift.value(0), c.shift[i], 0.01) << c.name << " seam " << i;
        }
    }
}

TEST(SyncPlan, NamesTheSeamsThatMovedAndWhatCanBeFilled)
{
    const QVector<SyncPlan::Seam> seams = SyncPlan::plan({clip(2, 0.5), clip(2, 2), clip(2, 14.5), clip(1, 1)}, false);
    EXPECT_EQ(SyncPlan::shiftLines(seams), (QStringList{QStringLiteral("Part 2's sound starts 1.5 s before its picture."),
                                                          QStringLiteral("Part 3's sound starts 1.5 s before its picture."),
                                                          QStringLiteral("Part 4's sound starts 11 s after its picture.")}));
    // What a writer that fills put in, seam by seam.
    EXPECT_EQ(SyncPlan::fillLines(SyncPlan::plan({clip(2, 0.5), clip(2, 3), clip(2, 2)}, true)),
              (QStringList{QStringLiteral("Before part 2 the writer put in 1.500 s of silence."),
                           QStringLiteral("Before part 3 the writer put in 25 frames that hold the picture.")}));
    EXPECT_TRUE(SyncPlan::fillLines(seams).isEmpty()); // nothing put in without a fill
    int track = -1;
    ASSERT_NE(SyncPlan::firstShifted(seams, &track), nullptr);
    EXPECT_EQ(SyncPlan::firstShifted(seams)->row, 2);
    EXPECT_EQ(track, 0);
    EXPECT_EQ(SyncPlan::firstShifted(SyncPlan::plan({clip(2, 2.1), clip(2, 2)}, false)), nullptr); // within the tolerance

    Avi::StreamSummary mp3 = pcm(1);
    mp3.formatTag = 0x55, mp3.sampleSize = 0;
    Avi::StreamSummary odd = pcm(1);
    odd.bitsPerSample = 12;
    Avi::StreamSummary ac3 = pcm(1);
    ac3.formatTag = 0x2000;
    EXPECT_TRUE(SyncPlan::canFill(pcm(1)));
    EXPECT_TRUE(SyncPlan::canFill(mp3));
    EXPECT_FALSE(SyncPlan::canFill(odd));
    EXPECT_FALSE(SyncPlan::canFill(ac3));
    EXPECT_FALSE(SyncPlan::canFill(video(1)));
}
