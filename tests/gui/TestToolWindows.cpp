#include "gui/AboutWindow.h"
#include "gui/PreferencesWindow.h"
#include "app/Settings.h"
#include "gui/TipsWindow.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/UpdateListTotals.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"
#include "gui/ListInfo.h"
#include "gui/RemoveWizard.h"
#include "gui/SortWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QClipboard>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
void fill(FileList &list, const QStringList &codecs)
{
    NewList(list, false);
    QVector<FileListModel::Row> rows;
    int i = 0;
    for (const QString &c : codecs)
        rows.append({QStringLiteral("f%1.avi").arg(i++, 5, 10, QChar(u'0')), QStringLiteral("1 KB"), QStringLiteral("d"),
                     QStringLiteral("/v/f%1.avi").arg(i), c, QStringLiteral("640x480"), QStringLiteral("1 seconds")});
    list.model().replaceAll(rows);
    UpdateListTotals(list);
}
QStringList codecs(const FileList &list)
{
    QStringList out;
    for (const auto &row : list.model().rows())
        out << row[FileListModel::VideoCodec];
    return out;
}
} // namespace

TEST(RemoveWizard, InvalidValueAndKeepRows)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    fill(list, {QStringLiteral("XVID"), QStringLiteral("xvid"), QStringLiteral("DX50"), QStringLiteral("XVID")});
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
    EXPECT_EQ(codecs(list), (QStringList{QStringLiteral("XVID"), QStringLiteral("XVID")}));
    EXPECT_EQ(list.totals().count, QStringLiteral("2"));
    EXPECT_EQ(list.listStatus(), ListStatus::Green);

    FileList blank;
    fill(blank, {QString(), QString()});
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
    fill(list, many);
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
    const QStringList now = codecs(list);
    const int processedFrom = static_cast<int>(now.lastIndexOf(QStringLiteral("DX50"))) + 1;
    EXPECT_EQ(now.mid(0, processedFrom), many.mid(0, processedFrom));
    EXPECT_EQ(list.totals().count, QString::number(left));

    RemoveWizard all(list);
    all.columnToCheck()->setCurrentIndex(FileListModel::VideoSize);
    all.removeMatchingRows()->setChecked(true);
    all.FinishButton_Click();
    EXPECT_EQ(list.count(), 0);
}

TEST(SortWizard, EnterSortsEscCancels)
{
    FileList list;
    fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    {
        SortWizard w(list);
        EXPECT_EQ(w.sortField()->count(), 7);
        w.sortMethod()->setCurrentIndex(1);
        QTest::keyClick(&w, Qt::Key_Escape);
    }
    EXPECT_EQ(codecs(list), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    SortWizard w(list);
    w.sortField()->setCurrentIndex(0);
    w.sortMethod()->setCurrentIndex(1);
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(codecs(list), (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    // A file added after a sort goes to the end.
    FileListModel::Row r;
    r.setText(FileListModel::Filename, QStringLiteral("a-new.avi"));
    list.model().appendRow(r);
    EXPECT_EQ(list.model().cell(4, FileListModel::Filename), QStringLiteral("a-new.avi"));
}

TEST(ListInfoWindow, CopiesEightLines)
{
    FileList list;
    fill(list, {QStringLiteral("XVID"), QStringLiteral("XVID"), QStringLiteral("XVID")});
    ListInfo info(list);
    EXPECT_EQ(info.rows()[0].second, QStringLiteral("(unsaved)"));
    info.CopyButton_Click();
    const QString text = QApplication::clipboard()->text();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 8);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Filename=(unsaved)\r\nStatus=GREEN\r\n")));
}

TEST(SmallWindows, PreferencesAndTipsRoundTrip)
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

TEST(SmallWindows, AboutShowsVersionAndCredits)
{
    ScriptedDialogs dialogs;
    AboutWindow about;
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("ProgramVersion"))->text(), QStringLiteral("Tapeweld 1.5"));
    about.cmdCredits_Click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{AboutWindow::creditsText()});
    EXPECT_TRUE(AboutWindow::creditsText().contains(QStringLiteral("\r\n\r\nMEncoder, for fixing corrupt AVI files.\r\n\r\n")));
}
