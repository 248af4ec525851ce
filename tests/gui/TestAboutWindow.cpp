#include "gui/AboutWindow.h"
#include "support/ScriptedDialogs.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(AboutWindow, AboutShowsVersionAndCredits)
{
    ScriptedDialogs dialogs;
    AboutWindow about;
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("ProgramVersion"))->text(), QStringLiteral("Tapeweld 1.5"));
    about.cmdCredits_Click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{AboutWindow::creditsText()});
    EXPECT_TRUE(AboutWindow::creditsText().contains(QStringLiteral("\r\n\r\nMEncoder, for fixing corrupt AVI files.\r\n\r\n")));
}
