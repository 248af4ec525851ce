#include "app/Settings.h"
#include "gui/TipsWindow.h"
#include "support/TestEnvironment.h"

#include <QCheckBox>
#include <gtest/gtest.h>

TEST(TipsWindow, DrawsTipsAndSavesItsBox)
{
    TestEnvironment env;
    env.write(QStringLiteral("config/Larkvane/Tapeweld/Settings.ini"), "[Tips]\r\nShowAtStartup=0\r\nCount=1\r\nTip1=Only tip\r\n");
    {
        TipsWindow tips;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tips.tipText(), QStringLiteral("Only tip"));
            tips.NextTipButton_Click();
        }
        tips.showAtStartup()->setChecked(true);
        tips.accept();
    }
    EXPECT_EQ(Settings::read(SettingsKeys::kTipsShowAtStartup), QStringLiteral("1"));

    Settings::write(SettingsKeys::kTipsCount, QStringLiteral("2"));
    Settings::write(SettingsKeys::tip(1), QString());
    Settings::write(SettingsKeys::tip(2), QString());
    TipsWindow broken;
    EXPECT_EQ(broken.tipText(), QStringLiteral("Error while trying to input [Tips] section. Please, re-install Tapeweld!"));
}
