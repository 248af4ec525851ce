#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"
#include "support/SampleLists.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "gui/ListInfo.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

TEST(ListInfo, CopiesEightLines)
{
    FileList list;
    fillWithCodecs(list, {QStringLiteral("XVID"), QStringLiteral("XVID"), QStringLiteral("XVID")});
    ListInfo info(list);
    EXPECT_EQ(info.rows()[0].second, QStringLiteral("(unsaved)"));
    info.CopyButton_Click();
    const QString text = QApplication::clipboard()->text();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 8);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Filename=(unsaved)\r\nStatus=GREEN\r\n")));
}
