#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"
#include "support/SampleLists.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "gui/SortWizard.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

TEST(SortWizard, EnterSortsEscCancels)
{
    FileList list;
    fillWithCodecs(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    {
        SortWizard w(list);
        EXPECT_EQ(w.sortField()->count(), 7);
        w.sortMethod()->setCurrentIndex(1);
        QTest::keyClick(&w, Qt::Key_Escape);
    }
    EXPECT_EQ(codecsOf(list), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    SortWizard w(list);
    w.sortField()->setCurrentIndex(0);
    w.sortMethod()->setCurrentIndex(1);
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(codecsOf(list), (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    // A file added after a sort goes to the end.
    FileListModel::Row r;
    r.setText(FileListModel::Filename, QStringLiteral("a-new.avi"));
    list.model().appendRow(r);
    EXPECT_EQ(list.model().cell(4, FileListModel::Filename), QStringLiteral("a-new.avi"));
}
