#include "app/Settings.h"
#include "gui/PreferencesWindow.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>

TEST(PreferencesWindow, ReadsAndSavesTheSplashPreference)
{
    TestEnvironment env;
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"),
              "[Splashscreen]\r\nDoNotShowAtStartup=1\r\n[Tips]\r\nShowAtStartup=0\r\nCount=1\r\nTip1=Only tip\r\n");
    {
        PreferencesWindow prefs;
        EXPECT_TRUE(prefs.doNotShowSplash()->isChecked()); // the hand-edited value
        prefs.doNotShowSplash()->setChecked(false);
        prefs.close();
    }
    EXPECT_EQ(Settings::read(SettingsKeys::kDoNotShowSplash), QStringLiteral("0"));
    EXPECT_EQ(&Engines::configured(), &encoderEngine()); // the default, and what an unknown value means
    {
        PreferencesWindow prefs;
        EXPECT_EQ(prefs.joinWith()->currentIndex(), 0);
        prefs.joinWith()->setCurrentIndex(1);
        prefs.close();
    }
    EXPECT_EQ(Settings::read(SettingsKeys::kJoinEngine), QStringLiteral("Builtin"));
    EXPECT_EQ(&Engines::configured(), &writerEngine());
    EXPECT_EQ(&Engines::byName(QStringLiteral("something else")), &encoderEngine());
    EXPECT_EQ(Engines::byOption(QStringLiteral("BUILTIN")), &writerEngine());
    EXPECT_EQ(Engines::byOption(QStringLiteral("something else")), nullptr);
}
