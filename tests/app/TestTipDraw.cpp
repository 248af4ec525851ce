#include "app/Settings.h"
#include "app/TextFormats.h"
#include "app/TipDraw.h"
#include "support/TestEnvironment.h"

#include <QMap>
#include <gtest/gtest.h>

TEST(TipDraw, FollowsItsDistribution)
{
    for (double r : {0.0, 0.3, 0.49, 0.5, 0.99})
        EXPECT_EQ(TipDraw::tipNumber(1, r), 1);
    EXPECT_EQ(TipDraw::tipNumber(0, 0.7), 1);
    // Sweep r evenly over [0, 1): the shares are exact, no chance involved.
    QMap<int, int> seen;
    const int n = 300000;
    for (int i = 0; i < n; ++i)
        ++seen[TipDraw::tipNumber(3, (i + 0.5) / n)];
    EXPECT_EQ(seen.keys(), (QList<int>{1, 2, 3}));
    EXPECT_NEAR(static_cast<double>(seen[1]) / seen[2], 1.5, 0.01);
    EXPECT_NEAR(static_cast<double>(seen[3]) / seen[2], 0.5, 0.01);
}

TEST(TipDraw, WholeNumbersAsCIntReadsThem)
{
    bool ok = false;
    EXPECT_EQ(TextFormats::wholeNumber(QStringLiteral("1.0"), &ok), 1);
    EXPECT_TRUE(ok);
    EXPECT_EQ(TextFormats::wholeNumber(QStringLiteral(" 3.7 "), &ok), 4);
    EXPECT_EQ(TextFormats::wholeNumber(QStringLiteral("2.5"), &ok), 2);
    EXPECT_EQ(TextFormats::wholeNumber(QStringLiteral("yes"), &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(TextFormats::wholeNumber(QStringLiteral("1e12"), &ok), 0);
    EXPECT_FALSE(ok);

    TestEnvironment env;
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"), "[Tips]\r\nShowAtStartup=1.0\r\n");
    EXPECT_EQ(Settings::readCheckValue(SettingsKeys::kTipsShowAtStartup, 0), 1);
}
