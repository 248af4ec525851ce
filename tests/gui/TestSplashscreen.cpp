#include "app/MainWindowLayout.h"
#include "gui/Splashscreen.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

TEST(Splashscreen, ClickOnTheSurfaceClosesItOnce)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    int mainWindows = 0;
    Splashscreen splash([&] { ++mainWindows; });
    bool tips = true;
    ASSERT_TRUE(splash.load({}, &tips));
    EXPECT_TRUE(tips); // the shipped template shows tips at first start
    splash.show();
    EXPECT_EQ(splash.versionLabel()->text(), QStringLiteral("Version: 1.5"));
    QTest::mouseClick(splash.versionLabel(), Qt::LeftButton); // a label does not count
    EXPECT_EQ(mainWindows, 0);
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(mainWindows, 1);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.timerRunning()); // its timer cannot bring a second main window
}

TEST(Splashscreen, TimerEndsItAndThePreferenceSkipsIt)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    int mainWindows = 0;
    {
        Splashscreen splash([&] { ++mainWindows; });
        ASSERT_TRUE(splash.load({}, nullptr));
        splash.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindows == 1; }, 3000));
    }
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"),
              "[Splashscreen]\r\nDoNotShowAtStartup=1\r\n[Tips]\r\nShowAtStartup=1\r\n");
    bool tips = false;
    Splashscreen skipped([&] { ++mainWindows; });
    EXPECT_FALSE(skipped.load({}, &tips));
    EXPECT_EQ(mainWindows, 2);
    EXPECT_TRUE(tips);
    EXPECT_FALSE(skipped.isVisible());
}

