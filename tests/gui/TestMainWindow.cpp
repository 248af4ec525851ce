#include "gui/FileListView.h"
#include "list/ListFunctions.h"
#include "gui/ImageButton.h"
#include "gui/AboutWindow.h"
#include "gui/BusyWork.h"
#include "gui/MainWindow.h"
#include "gui/TipsWindow.h"
#include "app/WindowMemory.h"
#include "app/Shell.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

namespace {
struct Fixture
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    MainWindow window;
    Fixture()
    {
        window.startNewList();
        window.show();
        QApplication::setActiveWindow(&window);
        (void)QTest::qWaitForWindowActive(&window);
    }
    void addRows(int n)
    {
        QStringList paths;
        for (int i = 0; i < n; ++i)
            paths << env.write(QStringLiteral("f%1.avi").arg(i), "x");
        ListView_OLEDragDrop(window.list(), paths, &window);
    }
};
} // namespace

TEST(MainWindow, FrameAtStart)
{
    Fixture f;
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("Tapeweld - (Untitled List)"));
    EXPECT_EQ(f.window.statusPanelText(1), QStringLiteral("Tapeweld 1.5 "));
    EXPECT_TRUE(f.window.listView()->isColumnHidden(3));
    EXPECT_EQ(f.window.list().model().headers().size(), 7);
    EXPECT_FALSE(f.window.addFilesProgressBar()->isVisible());
    EXPECT_FALSE(f.window.cancelOverlay()->isVisible());
    for (const char *name : {"UpButton", "DownButton", "DeleteButton", "PlayButton", "PropertiesButton"})
        EXPECT_NE(f.window.imageButton(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(f.window.action(QStringLiteral("FileJoinFiles"))->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(f.window.action(QStringLiteral("RemoveItemsClearList"))->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    EXPECT_EQ(f.window.action(QStringLiteral("ClipboardCopyList"))->text(), QStringLiteral("&Copy List"));
    EXPECT_GE(f.window.width(), 441);
}

TEST(MainWindow, MenuEnablingRules)
{
    Fixture f;
    QAction *saveAs = f.window.action(QStringLiteral("FileSaveListAs"));
    QAction *wizard = f.window.action(QStringLiteral("RemoveItemsRemoveWizard"));
    Q_EMIT f.window.menu(QStringLiteral("FileMenu"))->aboutToShow();
    Q_EMIT f.window.menu(QStringLiteral("EditMenu"))->aboutToShow();
    EXPECT_FALSE(saveAs->isEnabled());
    EXPECT_FALSE(wizard->isEnabled());
    f.addRows(1);
    f.window.list().setListPath(f.env.path(QStringLiteral("l.tpw")));
    Q_EMIT f.window.menu(QStringLiteral("FileMenu"))->aboutToShow();
    Q_EMIT f.window.menu(QStringLiteral("EditMenu"))->aboutToShow();
    EXPECT_TRUE(saveAs->isEnabled());
    EXPECT_TRUE(wizard->isEnabled());
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("Tapeweld - (l.tpw)"));
}

TEST(MainWindow, ListPopupShowsFilePropertiesThenRestores)
{
    Fixture f;
    QAction *last = f.window.action(QStringLiteral("EditPreferences"));
    QString captionWhileUp;
    QTimer::singleShot(50, [&] {
        captionWhileUp = last->text();
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    f.window.ListView_MouseDown(QPoint(10, 10));
    EXPECT_EQ(captionWhileUp, QStringLiteral("&File Properties"));
    EXPECT_EQ(last->text(), QStringLiteral("&Preferences"));
}

TEST(MainWindow, DeleteButtonRightClickRemovesNothing)
{
    Fixture f;
    f.addRows(3);
    f.window.listView()->selectIndex(2);
    ImageButton *del = f.window.imageButton(QStringLiteral("DeleteButton"));
    QStringList shownMenu;
    QTimer::singleShot(50, [&] {
        if (auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : popup->actions())
                shownMenu << a->text();
            popup->close();
        }
    });
    QTest::mousePress(del, Qt::RightButton);
    EXPECT_TRUE(del->showsPressed());
    QTest::mouseRelease(del, Qt::RightButton);
    EXPECT_FALSE(del->showsPressed());
    EXPECT_TRUE(shownMenu.contains(QStringLiteral("&Clear List")));
    EXPECT_EQ(f.window.list().count(), 3);
    EXPECT_FALSE(del->popupShown); // the click that ended the right press was swallowed
    QTest::mouseClick(del, Qt::LeftButton);
    EXPECT_EQ(f.window.list().count(), 2);
}

TEST(MainWindow, KeysReachTheirCommands)
{
    Fixture f;
    f.addRows(3);
    f.window.listView()->selectIndex(1);
    f.window.listView()->setFocus();
    QTest::keyClick(&f.window, Qt::Key_Delete);
    EXPECT_EQ(f.window.list().count(), 2);

    // F5 with a single row reaches the join, which refuses it.
    RemoveListItem(f.window.list(), 1);
    QTest::keyClick(&f.window, Qt::Key_F5);
    ASSERT_FALSE(f.dialogs.messages.isEmpty());
    EXPECT_EQ(f.dialogs.messages.last().text, QStringLiteral("Please, Add at least 2 files to your list."));
}

TEST(MainWindow, IndicatorExplainsItself)
{
    Fixture f;
    f.window.StatusBar_PanelClick(2);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    f.window.StatusBar_PanelClick(3);
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages[0].text.contains(QStringLiteral("-There are not enough items in your list.")));
    EXPECT_EQ(f.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    f.window.Toolbar_ButtonClick(3);
    EXPECT_EQ(f.dialogs.messages.last().text, QStringLiteral("Please, select one of the check-tools by clicking on the arrow."));
}

TEST(MainWindow, DroppedUrlsArriveInOrder)
{
    Fixture f;
    QMimeData mime;
    const QString a = f.env.write(QStringLiteral("z.avi"), "x"), b = f.env.write(QStringLiteral("a.avi"), "x");
    mime.setUrls({QUrl::fromLocalFile(a), QUrl(QStringLiteral("https://example.invalid/x.avi")), QUrl::fromLocalFile(b)});
    EXPECT_EQ(FileListView::localPaths(&mime), (QStringList{a, b}));
}

TEST(MainWindow, PlayAndReadMeGoThroughTheShell)
{
    Fixture f;
    QStringList opened;
    const Shell::OpenHandler old = Shell::setOpenHandler([&](const QString &t) { opened << t; return true; });
    f.window.PlaySelected(); // nothing selected: nothing happens
    f.addRows(1);
    f.window.listView()->selectIndex(1);
    f.window.PlaySelected();
    f.window.action(QStringLiteral("HelpManual"))->trigger();
    f.dialogs.answers.enqueue(Dialogs::Answer::Cancel);
    f.window.action(QStringLiteral("HelpCheckForUpdate"))->trigger();
    f.dialogs.answers.enqueue(Dialogs::Answer::Ok);
    f.window.action(QStringLiteral("HelpCheckForUpdate"))->trigger();
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], f.env.path(QStringLiteral("f0.avi")));
    EXPECT_TRUE(opened[1].endsWith(QStringLiteral("/ReadMe.htm")));
    EXPECT_TRUE(opened[2].endsWith(QStringLiteral("/Content/TPW/?page=update&version=1.5")));
    Shell::setOpenHandler(old);
}

TEST(MainWindow, CloseBoxAsksExitDoesNot)
{
    Fixture f;
    f.dialogs.answers.enqueue(Dialogs::Answer::Cancel);
    EXPECT_FALSE(f.window.close());
    EXPECT_TRUE(f.window.isVisible());
    f.dialogs.answers.enqueue(Dialogs::Answer::Yes); // and then the save dialog is cancelled
    EXPECT_FALSE(f.window.close());
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_EQ(f.dialogs.messages.size(), 2);
    EXPECT_EQ(f.dialogs.messages[0].text, QStringLiteral("Would you like to save your list?"));
}

TEST(MainWindow, TheCloseBoxWaitsWhileTheRowsAreRead)
{
    Fixture f;
    f.addRows(2); // a list that would ask to be saved
    std::atomic<int> closes{0};
    bool closed = true;
    QTimer::singleShot(0, [&] {
        closed = f.window.close(); // the window manager's close box, while a join reads its rows
        ++closes;
    });
    runWhileBusy([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (closes == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_TRUE(f.dialogs.messages.isEmpty()); // nothing asked in the middle of the join's start
    f.dialogs.answers.enqueue(Dialogs::Answer::Cancel);
    EXPECT_FALSE(f.window.close()); // afterwards it asks as always
    EXPECT_EQ(f.dialogs.messages.size(), 1);
}

TEST(MainWindow, ClipboardRoundTrips)
{
    Fixture f;
    f.addRows(3);
    const QString second = f.window.list().model().cell(2, FileListModel::Filepath);
    f.window.listView()->selectIndex(2);
    f.window.action(QStringLiteral("ClipboardCopy"))->trigger();
    f.window.action(QStringLiteral("ClipboardPaste"))->trigger();
    EXPECT_EQ(f.window.list().count(), 4);
    EXPECT_EQ(f.window.list().model().cell(4, FileListModel::Filepath), second);
    EXPECT_EQ(f.window.listView()->selectedIndex(), 4);
    EXPECT_EQ(f.window.list().totals().count, QStringLiteral("4"));

    f.window.listView()->selectIndex(1);
    const QString first = f.window.list().model().cell(1, FileListModel::Filepath);
    f.window.action(QStringLiteral("ClipboardCut"))->trigger();
    EXPECT_EQ(f.window.list().count(), 3);
    f.window.action(QStringLiteral("ClipboardPaste"))->trigger();
    EXPECT_EQ(f.window.list().model().cell(4, FileListModel::Filepath), first);

    QApplication::clipboard()->setText(QStringLiteral("tpw:lower|case|tag|") + first);
    f.window.action(QStringLiteral("ClipboardPaste"))->trigger();
    EXPECT_EQ(f.dialogs.messages.last().text, QStringLiteral("Invalid Clipboard Entry."));

    f.window.action(QStringLiteral("ClipboardCopyList"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 4);
    ClearList(f.window.list(), false);
    f.window.action(QStringLiteral("ClipboardCopyList"))->trigger(); // empty list: the clipboard keeps its text
    EXPECT_EQ(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 4);
}

TEST(MainWindow, MovesKeepTheSelectionOnTheMovedRow)
{
    Fixture f;
    f.addRows(4);
    f.window.listView()->selectIndex(2);
    f.window.action(QStringLiteral("MoveSelectedItemMoveItemDown"))->trigger();
    EXPECT_EQ(f.window.listView()->selectedIndex(), 3);
    EXPECT_EQ(f.window.list().model().cell(3, FileListModel::Filename), QStringLiteral("f1.avi"));
    f.window.listView()->selectIndex(1);
    f.window.action(QStringLiteral("MoveSelectedItemMoveItemUp"))->trigger();
    EXPECT_EQ(f.window.list().model().cell(1, FileListModel::Filename), QStringLiteral("f0.avi"));
    EXPECT_TRUE(f.window.listView()->hasFocus());
}

TEST(MainWindow, FilePropertiesFromItsThreeEntryPoints)
{
    Fixture f;
    QStringList calls;
    const Shell::FileManagerCall old = Shell::setFileManagerCall([&](const QString &method, const QString &path) {
        calls << method + u' ' + path;
        return true;
    });
    f.window.action(QStringLiteral("ViewFileProperties"))->trigger(); // nothing selected: nothing happens
    f.addRows(2);
    f.window.listView()->selectIndex(2);
    const QString path = f.window.list().model().cell(2, FileListModel::Filepath);
    f.window.action(QStringLiteral("ViewFileProperties"))->trigger();
    QTest::mouseClick(f.window.imageButton(QStringLiteral("PropertiesButton")), Qt::LeftButton);
    QAction *last = f.window.action(QStringLiteral("EditPreferences"));
    QTimer::singleShot(50, [last] { last->trigger(); }); // chosen while the list popup is up
    QTimer::singleShot(80, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    f.window.ListView_MouseDown(QPoint(5, 5));
    const QString expected = QStringLiteral("ShowItemProperties ") + path;
    EXPECT_EQ(calls, (QStringList{expected, expected, expected}));

    QFile::remove(path); // a vanished file opens nothing
    f.window.ViewFileProperties_Click();
    EXPECT_EQ(calls.size(), 3);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    Shell::setFileManagerCall(old);
}

TEST(MainWindow, OneTipWindowAndQuittingSavesNothing)
{
    Fixture f;
    QAction *tip = f.window.action(QStringLiteral("TipOfTheDay"));
    for (int i = 0; i < 3; ++i)
        tip->trigger();
    const QList<TipsWindow *> tips = f.window.findChildren<TipsWindow *>();
    ASSERT_EQ(tips.size(), 1);
    EXPECT_TRUE(tips[0]->isVisible());
    // Placed over the main window, not in a corner of the screen.
    EXPECT_TRUE(f.window.geometry().contains(tips[0]->geometry().center()));
    // A tip is plain text, and can be selected.
    EXPECT_EQ(tips[0]->findChild<QLabel *>(QStringLiteral("TipText"))->textFormat(), Qt::PlainText);

    const QByteArray before = readAll(f.env.settingsFile());
    tips[0]->showAtStartup()->setChecked(!tips[0]->showAtStartup()->isChecked());
    f.window.action(QStringLiteral("FileExit"))->trigger(); // the program ends: windows close, nothing is saved
    tips[0]->close();
    EXPECT_EQ(readAll(f.env.settingsFile()), before);
}

TEST(MainWindow, AtTheSmallestSizeEveryButtonAndColumnCanBeSeen)
{
    Fixture f;
    f.window.resize(f.window.minimumSize());
    QApplication::processEvents();
    const QWidget *info = f.window.findChild<QWidget *>(QStringLiteral("InfoPanel"));
    for (const char *name : {"UpButton", "DownButton", "DeleteButton", "PlayButton", "PropertiesButton"}) {
        const QWidget *b = f.window.imageButton(QString::fromLatin1(name));
        EXPECT_LE(b->mapTo(&f.window, QPoint(0, b->height())).y(), info->mapTo(&f.window, QPoint(0, 0)).y()) << name;
    }
    // At the opening size the visible columns fit the list without scrolling.
    Fixture opening;
    int total = 0;
    for (int c = 0; c < FileListModel::CellCount; ++c)
        if (!opening.window.listView()->isColumnHidden(c))
            total += opening.window.listView()->columnWidth(c);
    QStringList widths;
    for (int c = 0; c < FileListModel::CellCount; ++c)
        widths << QString::number(opening.window.listView()->columnWidth(c));
    EXPECT_LE(total, opening.window.listView()->viewport()->width() + 2) << widths.join(u',').toStdString();
}

TEST(MainWindow, SizePlaceAndColumnsComeBackNextTime)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    {
        MainWindow first;
        first.startNewList();
        first.show();
        QTest::qWait(1100); // the first placement is the window manager's: the window waits a second before it remembers
        first.resize(700, 520);
        first.listView()->setColumnWidth(FileListModel::Filename, 250);
        EXPECT_TRUE(QTest::qWaitFor([&] { return readAll(env.settingsFile()).contains("Width=700"); }, 5000));
    }
    EXPECT_TRUE(readAll(env.settingsFile()).contains("Width=700"));
    MainWindow second;
    second.startNewList();
    EXPECT_EQ(second.size(), QSize(700, 520));
    EXPECT_EQ(second.listView()->columnWidth(FileListModel::Filename), 250);

    // A frame saved on a screen that is gone comes back on one that is there.
    const QRect placed = WindowMemory::placeOnScreens(QRect(5000, 4000, 800, 600), {QRect(0, 0, 1280, 1024)}, QSize(449, 390));
    EXPECT_TRUE(QRect(0, 0, 1280, 1024).contains(placed));
    EXPECT_EQ(placed.size(), QSize(800, 600));
    EXPECT_EQ(WindowMemory::placeOnScreens(QRect(10, 10, 3000, 200), {QRect(0, 0, 1280, 1024)}, QSize(449, 390)).size(),
              QSize(1280, 390));
}

TEST(MainWindow, EnterClosesAbout)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    AboutWindow about;
    about.show();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(dialogs.messages.isEmpty()); // not the credits
}

// Files named on the command line ("Open With") are added in the order given, not sorted.
TEST(MainWindow, FilesGivenAtStartAreAddedInTheirOrder)
{
    Fixture f;
    const QString z = f.env.write(QStringLiteral("z.avi"), "x"), a = f.env.write(QStringLiteral("a.avi"), "x");
    f.window.addGivenFiles({z, a});
    ASSERT_EQ(f.window.list().count(), 2);
    EXPECT_EQ(f.window.list().model().cell(1, FileListModel::Filepath), z);
    EXPECT_EQ(f.window.list().model().cell(2, FileListModel::Filepath), a);
}
