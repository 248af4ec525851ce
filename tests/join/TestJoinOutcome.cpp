#include "compat/SyncPlan.h"
#include "join/JoinOutcome.h"
#include "support/Summaries.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace Summaries;

namespace {
JoinOutcome::Writer writer(const QVector<Avi::Summary> &parts, bool fill)
{
    return {QStringLiteral("writer"), QString(), QString(), JoinOutcome::Inserted::by(SyncPlan::plan(parts, fill))};
}
} // namespace

// The judge from summaries alone: what each kind of output says against its parts and plan.
TEST(JoinOutcome, JudgesAResultAgainstItsPartsAndItsPlan)
{
    const QVector<Avi::Summary> even{clip(2, 2), clip(2, 2)};
    const QVector<Avi::Summary> shortSound{clip(2, 2), clip(2, 0.5), clip(2, 2)};
    Avi::Summary cut = clip(4, 4);
    cut.size += 500; // the chain ends before the file does
    Avi::Summary twoTracks = clip(2, 2);
    twoTracks.streams << pcm(2);
    const struct
    {
        const char *name;
        QVector<Avi::Summary> parts;
        Avi::Summary result;
        bool fill;
        bool ok;
        const char *reason; // the start of it
    } cases[] = {
        {"whole", even, clip(4, 4), false, true, ""},
        {"a frame short", even, clip(3.96, 4), false, false, "The output holds 99 of 100 frames"},
        {"frames from another stream", even, clip(4.4, 4), false, false, "The output holds 110 frames, 10 more than its parts"},
        {"sound lost", even, clip(4, 2), false, false, "The output's sound track holds 2.0 s of 4.0 s of sound"},
        {"no sound track", even, clip(4, -1), false, false, "The output keeps 0 of 1 sound tracks"},
        {"cut short", even, cut, false, false, "The output holds 100 of 100 frames"},
        {"the writer's fill counted", shortSound, clip(6, 6), true, true, ""},
        {"a fill that is not there", shortSound, clip(6, 4.5), true, false, "The output's sound track holds 4.5 s of 6.0 s"},
        {"the encoder fills nothing", shortSound, clip(6, 4.5), false, true, ""},
        {"a second track dropped", {twoTracks, twoTracks}, clip(4, 4), false, false, "The output keeps 1 of 2 sound tracks"},
    };
    for (const auto &c : cases) {
        const JoinOutcome::Verdict v = JoinOutcome::judgeSummaries(c.result, c.parts, writer(c.parts, c.fill));
        EXPECT_EQ(v.ok, c.ok) << c.name << ": " << v.reason.toStdString();
        EXPECT_EQ(v.reason.left(static_cast<qsizetype>(std::strlen(c.reason))), QString::fromUtf8(c.reason)) << c.name;
    }
}

TEST(JoinOutcome, APartWhoseFramesAreNotKnownIsNamedAndTheOthersAreStillChecked)
{
    QVector<Avi::Summary> parts{clip(1, 1), Avi::Summary(), clip(1, 1)};
    const JoinOutcome::Verdict unknown = JoinOutcome::judgeSummaries(clip(3, 3), parts, writer(parts, false));
    EXPECT_TRUE(unknown.ok) << unknown.reason.toStdString();
    EXPECT_EQ(unknown.notes, QStringList{QStringLiteral("The output could not be verified for part 2: its frames could not be counted.")});
    // An output that lost part 3 is no "Finished!", whatever part 2's count.
    EXPECT_FALSE(JoinOutcome::judgeSummaries(clip(1, 1), parts, writer(parts, false)).ok);
}

// What a writer's log says comes first; without it, how its program ended.
TEST(JoinOutcome, TheReasonComesFromTheLogThenFromTheEnd)
{
    const QVector<Avi::Summary> parts{clip(2, 2), clip(2, 2)};
    JoinOutcome::Writer w{QStringLiteral("encoder"), QString(), QStringLiteral("the encoder stopped with exit code 1"), {}};
    EXPECT_EQ(JoinOutcome::judgeSummaries(clip(2, 2), parts, w).reason,
              QStringLiteral("The encoder stopped with exit code 1: the output holds 50 of 100 frames."));
    w.why = QStringLiteral("no space left on device");
    EXPECT_EQ(JoinOutcome::judgeSummaries(clip(2, 2), parts, w).reason,
              QStringLiteral("No space left on device: the output holds 50 of 100 frames."));
}

// The encoder's own empty frames pass; an empty frame nobody planned from the writer does not.
TEST(JoinOutcome, AnEncodersOwnSyncFramesAreNoFault)
{
    const QVector<Avi::Summary> parts{clip(2, 2), clip(2, 2)};
    Avi::Summary synced = clip(4.04, 4);
    synced.streams[0].empty = 1;
    JoinOutcome::Writer encoder{QStringLiteral("encoder"), QString(), QString(), {}, true};
    EXPECT_TRUE(JoinOutcome::judgeSummaries(synced, parts, encoder).ok);
    EXPECT_FALSE(JoinOutcome::judgeSummaries(clip(4.04, 4), parts, encoder).ok); // a whole frame more is no sync frame
    EXPECT_FALSE(JoinOutcome::judgeSummaries(synced, parts, writer(parts, true)).ok);
}

// A failed result is cut short (nothing to keep) when it was not written to its end or its writer said why.
TEST(JoinOutcome, AFailedResultIsCutShortOnlyWhenNotWrittenToItsEnd)
{
    const QVector<Avi::Summary> parts{clip(2, 2), clip(2, 2)};
    Avi::Summary cut = clip(2, 2);
    cut.size += 100;
    JoinOutcome::Writer failing = writer(parts, false);
    failing.why = QStringLiteral("no space left on device");
    EXPECT_FALSE(JoinOutcome::judgeSummaries(clip(2, 2), parts, writer(parts, false)).cutShort); // whole, but half: kept
    EXPECT_TRUE(JoinOutcome::judgeSummaries(cut, parts, writer(parts, false)).cutShort);
    EXPECT_TRUE(JoinOutcome::judgeSummaries(clip(2, 2), parts, failing).cutShort);
    EXPECT_TRUE(JoinOutcome::Verdict::failed(QStringLiteral("x"), QString()).cutShort);
}

// Seeking lands on key frames: the result marks exactly its parts' key frames. A loss the
// user was asked about is said under the verdict; parts whose key frames nobody knows are named.
TEST(JoinOutcome, KeyFramesAreJudged)
{
    const auto keyed = [](double seconds, qint64 keys, qint64 unknown = 0) {
        Avi::Summary s = clip(seconds, seconds);
        s.streams[0].keys = keys;
        s.streams[0].unknownKeys = unknown;
        return s;
    };
    const QVector<Avi::Summary> parts{keyed(2, 2), keyed(2, 2)};
    const QString harm = QStringLiteral("The output marks 100 frames as key frames where its parts mark 4: seeking in it will show damaged pictures. "
                                        "The writer keeps them.");
    const struct
    {
        const char *name;
        QVector<Avi::Summary> parts;
        Avi::Summary result;
        bool accepted;
        bool ok;
        QString said; // the reason, or the one note
    } cases[] = {
        {"kept", parts, keyed(4, 4), false, true, QString()},
        {"every frame marked", parts, keyed(4, 100), false, false, harm},
        {"some lost", parts, keyed(4, 1), false, false, QStringLiteral("The output marks 1 frames")},
        {"asked and accepted", parts, keyed(4, 100), true, true, harm},
        {"not known", {keyed(2, 50, 50), keyed(2, 2)}, keyed(4, 52), false, true,
         QStringLiteral("Part 1 has no index that tells its key frames, and its codec does not say: the output marks every frame of it as one.")},
    };
    for (const auto &c : cases) {
        JoinOutcome::Writer encoder{QStringLiteral("encoder"), QString(), QString(), {}};
        encoder.keyFramesAccepted = c.accepted;
        encoder.keeper = QStringLiteral("writer");
        const JoinOutcome::Verdict v = JoinOutcome::judgeSummaries(c.result, c.parts, encoder);
        EXPECT_EQ(v.ok, c.ok) << c.name << ": " << v.reason.toStdString();
        const QString said = v.ok ? v.notes.join(u'\n') : v.reason;
        EXPECT_TRUE(c.said.isEmpty() ? said.isEmpty() : said.startsWith(c.said)) << c.name << ": " << said.toStdString();
        EXPECT_FALSE(v.cutShort) << c.name; // a whole output harmed is kept for the user to look at
    }
}
