#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"
#include "support/SampleLists.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "gui/RemoveWizard.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(RemoveWizard, InvalidValueAndKeepRows)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    fillWithCodecs(list, {QStringLiteral("XVID"), QStringLiteral("xvid"), QStringLiteral("DX50"), QStringLiteral("XVID")});
    list.model().setCell(2, FileListModel::Filename, QString());
    {
        RemoveWizard w(list);
        EXPECT_EQ(w.columnToCheck()->count(), 7);
        EXPECT_TRUE(w.keepMatchingRows()->isChecked());
        w.columnToCheck()->setCurrentIndex(FileListModel::VideoCodec);
        EXPECT_EQ(w.valueToCheck()->count(), 3); // XVID, xvid, DX50 in first-appearance order
        EXPECT_EQ(w.valueToCheck()->itemText(1), QStringLiteral("xvid"));
        w.FinishButton_Click();
    }
    EXPECT_EQ(codecsOf(list), (QStringList{QStringLiteral("XVID"), QStringLiteral("XVID")}));
    EXPECT_EQ(list.totals().count, QStringLiteral("2"));
    EXPECT_EQ(list.listStatus(), ListStatus::Green);

    FileList blank;
    fillWithCodecs(blank, {QString(), QString()});
    RemoveWizard w(blank);
    w.columnToCheck()->setCurrentIndex(FileListModel::VideoCodec);
    w.FinishButton_Click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{QStringLiteral("Invalid value selected!")});
    EXPECT_EQ(blank.count(), 2);
}
TEST(RemoveWizard, RemoveRowsAndCancelMidway)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    QStringList many;
    for (int i = 0; i < 30000; ++i)
        many << (i % 3 == 0 ? QStringLiteral("DX50") : QStringLiteral("XVID"));
    many.last() = QStringLiteral("DX50");
    fillWithCodecs(list, many);
    {
        RemoveWizard w(list);
        w.columnToCheck()->setCurrentIndex(FileListModel::VideoCodec);
        w.valueToCheck()->setCurrentIndex(w.valueToCheck()->findText(QStringLiteral("DX50")));
        w.removeMatchingRows()->setChecked(true);
        QTimer::singleShot(0, &w, [&w] { w.CancelButton_Click(); }); // a click during the run
        w.FinishButton_Click();
    }
    const int left = list.count();
    EXPECT_LT(left, 30000);
    EXPECT_GT(left, 19999);
    // The processed tail lost its DX50 rows; the unprocessed head is intact.
    const QStringList now = codecsOf(list);
    const int processedFrom = static_cast<int>(now.lastIndexOf(QStringLiteral("DX50"))) + 1;
    EXPECT_EQ(now.mid(0, processedFrom), many.mid(0, processedFrom));
    EXPECT_EQ(list.totals().count, QString::number(left));

    RemoveWizard all(list);
    all.columnToCheck()->setCurrentIndex(FileListModel::VideoSize);
    all.removeMatchingRows()->setChecked(true);
    all.FinishButton_Click();
    EXPECT_EQ(list.count(), 0);
}
