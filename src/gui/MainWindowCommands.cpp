#include "join/Engines.h"
#include "MainWindow.h"
#include "AboutWindow.h"
#include "app/AppPaths.h"
#include "BusyWork.h"
#include "app/Dialogs.h"
#include "FileListView.h"
#include "ImageButton.h"
#include "PreferenceDialog.h"
#include "PreferencesWindow.h"
#include "app/Shell.h"
#include "app/SystemServices.h"
#include "TipsWindow.h"
#include "Twips.h"
#include "app/Version.h"
#include "compat/CheckCompatibility.h"
#include "gui/JoinWizard.h"
#include "join/RunSession.h"
#include "join/StartJoin.h"
#include "list/ClipboardModule.h"
#include "list/ListFunctions.h"
#include "list/RowFactsReader.h"
#include "gui/RepairAVIFile.h"
#include "gui/ListInfo.h"
#include "gui/RemoveWizard.h"
#include "gui/SortWizard.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>

// The commands of the main window; MainWindow.cpp builds the frame they are reached from.

void MainWindow::startNewList() { NewList(m_list, false); }

void MainWindow::showTipOfTheDay()
{
    if (!m_tips->isVisible()) {
        m_tips->Form_Load();
        // Over the main window, not in a corner of the screen over its menu.
        m_tips->adjustSize();
        m_tips->move(geometry().center() - m_tips->rect().center());
        m_tips->show();
    }
    m_tips->raise();
    m_tips->activateWindow();
}

void MainWindow::sortWizard()
{
    SortWizard wizard(m_list, this);
    wizard.exec();
}

void MainWindow::removeWizard()
{
    RemoveWizard wizard(m_list, this);
    wizard.exec();
}

void MainWindow::listInfo()
{
    ListInfo info(m_list, this);
    info.exec();
}

void MainWindow::preferences()
{
    PreferencesWindow prefs(this);
    prefs.exec();
}

void MainWindow::repairAVIFile()
{
    RepairAVIFile repair(this);
    repair.exec();
}

void MainWindow::about()
{
    AboutWindow about(this);
    about.exec();
}

void MainWindow::Toolbar_ButtonClick(int position)
{
    switch (position) {
    case 1: addFiles(); break;
    case 2: sortWizard(); break;
    case 3:
        Dialogs::message(QStringLiteral("Please, select one of the check-tools by clicking on the arrow."), Dialogs::Icon::Information);
        break;
    case 4: joinFiles(); break;
    }
}

void MainWindow::Toolbar_ButtonMenuClick(const QString &key)
{
    if (key == QStringLiteral("AddFiles"))
        addFiles();
    else if (key == QStringLiteral("AddDirectory"))
        addDirectory();
    else if (key == QStringLiteral("CheckForDupes"))
        RemoveDuplicatedFiles(m_list);
    else if (key == QStringLiteral("CheckForDead"))
        RemoveDeadFiles(m_list);
}

void MainWindow::StatusBar_PanelClick(int panel)
{
    if (panel != 3)
        return;
    const Compatibility::Explanation e = Compatibility::explain(m_list.listStatus(), m_list.count());
    if (e.text.isEmpty())
        return;
    // What a join cannot carry needs the rows' facts, read off the window's thread.
    if (m_list.listStatus() == ListStatus::Green)
        refreshRowFacts(m_list, &runWhileBusy);
    Dialogs::message(Compatibility::boxText(m_list.model(), m_list.listStatus(), Engines::configured().carriage()),
                     e.critical ? Dialogs::Icon::Critical : Dialogs::Icon::Information);
}

void MainWindow::begin(const QString &statusText, int maximum)
{
    m_panel2->setText(statusText);
    m_cancelOverlay->show();
    m_cancelOverlay->raise();
    m_progress->setMaximum(maximum);
    m_progress->setValue(1);
    m_progress->show();
    m_progress->raise();
}

void MainWindow::setValue(int value)
{
    // A progress bar repaints at once on every new value: between two turns of
    // the event loop only the last value matters.
    if (value == m_progress->maximum() || !m_progressShown.isValid() || m_progressShown.elapsed() >= 16) {
        m_progress->setValue(value);
        m_progressShown.start();
    }
}

void MainWindow::finish()
{
    m_panel2->clear();
    m_cancelOverlay->hide();
    m_progress->hide();
}

void MainWindow::CancelLabel_Click()
{
    SetAddCancelled();
    finish();
}

void MainWindow::addFiles() { ChooseAndAddFiles(m_list, this); }

void MainWindow::addDirectory() { ChooseAndAddDirectory(m_list, this); }

void MainWindow::removeSelected()
{
    if (const int i = m_view->selectedIndex())
        RemoveListItem(m_list, i);
}

void MainWindow::DeleteButton_Click()
{
    ImageButton *del = imageButton(QStringLiteral("DeleteButton"));
    if (del->popupShown) {
        del->popupShown = false;
        return;
    }
    removeSelected();
}

void MainWindow::DeleteButton_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    applyEditMenuRule();
    const QPoint at(twips(toTwips(m_view->width()) + 130), twips(toTwips(m_view->y()) + 1150));
    m_removeItemsMenu->exec(mapToGlobal(centralWidget()->mapTo(this, at)));
    imageButton(QStringLiteral("DeleteButton"))->popupShown = true;
}

void MainWindow::ListView_MouseDown(const QPoint &position)
{
    // The Edit menu as the list's popup: its last entry stands for the file's properties.
    QAction *prefs = action(QStringLiteral("EditPreferences"));
    prefs->setText(kFileProperties);
    m_listPopup = true;
    m_editMenu->exec(m_view->viewport()->mapToGlobal(position));
    m_listPopup = false;
    prefs->setText(kPreferences);
}

void MainWindow::EditPreferences_Click()
{
    if (m_listPopup)
        ViewFileProperties_Click();
    else
        preferences();
}

void MainWindow::moveUp() { moveSelected(&MoveItemUp); }
void MainWindow::moveDown() { moveSelected(&MoveItemDown); }

void MainWindow::moveSelected(int (*move)(FileList &, int))
{
    const int i = m_view->selectedIndex();
    if (i == 0)
        return;
    if (const int to = move(m_list, i))
        m_view->selectIndex(to);
    m_view->setFocus();
}

void MainWindow::PlaySelected()
{
    if (const int i = m_view->selectedIndex())
        Shell::open(m_list.model().cell(i, FileListModel::Filepath));
}

void MainWindow::ViewFileProperties_Click()
{
    if (const int i = m_view->selectedIndex())
        ShowFileProperties(m_list.model().cell(i, FileListModel::Filepath));
}

void MainWindow::cutItem()
{
    const int i = m_view->selectedIndex();
    if (i == 0)
        return;
    QApplication::clipboard()->setText(ClipboardModule::rowEntry(m_list.model(), i));
    RemoveListItem(m_list, i);
}

void MainWindow::copyItem()
{
    if (const int i = m_view->selectedIndex())
        QApplication::clipboard()->setText(ClipboardModule::rowEntry(m_list.model(), i));
}

void MainWindow::pasteItem()
{
    if (const int i = ClipboardModule::PasteEntry(m_list, QApplication::clipboard()->text()))
        m_view->selectIndex(i);
}

void MainWindow::copyList()
{
    if (m_list.count() > 0)
        QApplication::clipboard()->setText(ClipboardModule::listText(m_list.model()));
}

void MainWindow::joinFiles()
{
    JoinHooks hooks;
    hooks.adding = m_progress->isVisible();
    hooks.runJoin = [this](const JoinPlan &plan, std::shared_ptr<RunSession> run) {
        JoinWizard wizard(plan, this, std::move(run));
        wizard.Form_Load();
        wizard.exec();
    };
    hooks.whileBusy = &runWhileBusy;
    StartJoin(m_list, hooks);
}

void MainWindow::readMe()
{
    const QString readMe = AppPaths::programFolder() + QStringLiteral("/ReadMe.htm");
    if (PathExists(readMe))
        Shell::open(readMe);
    else
        Dialogs::message(QStringLiteral("Unable to find (ReadMe.htm) document!"), Dialogs::Icon::Critical);
}

void MainWindow::checkForUpdate()
{
    const QString text = QStringLiteral("You will be directed to our website, where you can find the latest version information.\r"
                                        "Please, make sure that you are connected to the internet.\r\r"
                                        "Click the \"Ok\" button to visit our website, or click the \"Cancel\" button to close this dialog.");
    if (Dialogs::message(text, Dialogs::Icon::Information, Dialogs::Buttons::OkCancel) == Dialogs::Answer::Ok)
        Shell::open(Version::updateAddress());
}

void MainWindow::exitProgram()
{
    m_exiting = true;
    PreferenceDialog::programEnds();
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The close box is not user input to the busy loop; closing now would
    // leave a join's start to go on without its window.
    if (IsBusy()) {
        event->ignore();
        return;
    }
    if (m_exiting || AskToSaveOnClose(m_list)) {
        event->accept();
        PreferenceDialog::programEnds();
        QApplication::quit(); // every other window goes with it, saving nothing
    } else {
        event->ignore();
    }
}
