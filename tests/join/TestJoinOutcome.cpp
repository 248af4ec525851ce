#include "avi/AviSummary.h"
#include "join/AviJoiner.h"
#include "join/JoinOutcome.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(JoinOutcome, APartWhoseFramesAreNotKnownIsNamedAndTheOthersAreStillChecked)
{
    TestEnvironment env;
    QStringList paths;
    for (int i = 0; i < 3; ++i)
        paths << SampleMedia::make(SampleMedia::Kind::Xvid320, env.root(), QStringLiteral("p%1.avi").arg(i), 1);
    QVector<JoinOutcome::Part> parts = JoinOutcome::partsOf(paths);
    const QString whole = env.path(QStringLiteral("whole.avi"));
    ASSERT_TRUE(AviJoiner(paths, whole).run().ok());
    EXPECT_TRUE(JoinOutcome::checkOutput(parts, whole, QString()).ok);
    // Part 2 could not be read when the join began: whole, but said so.
    parts[1].avi = Avi::Summary();
    const JoinOutcome::Verdict unknown = JoinOutcome::checkOutput(parts, whole, QString());
    EXPECT_TRUE(unknown.ok);
    EXPECT_EQ(unknown.notes, QStringList{QStringLiteral("The output could not be verified for part 2: its frames could not be counted.")});
    // An output that lost part 3 is no "Finished!", whatever part 2's count.
    const QString short2 = env.path(QStringLiteral("short.avi"));
    ASSERT_TRUE(AviJoiner(paths.mid(0, 1), short2).run().ok());
    EXPECT_FALSE(JoinOutcome::checkOutput(parts, short2, QString()).ok);
}
