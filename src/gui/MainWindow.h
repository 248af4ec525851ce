#pragma once
#include "list/AddFilesModule.h"
#include "list/FileList.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <functional>
class FileListView;
class ImageButton;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class TipsWindow;

// The program's document window: the file list, its totals, the toolbar, the
// image buttons and the status bar, and every command reached from them.
class MainWindow : public QMainWindow, public AddProgress
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    FileList &list() { return m_list; }
    FileListView *listView() const { return m_view; }
    QAction *action(const QString &name) const;
    // The last Edit entry's captions: in the menu bar, and in the list's popup.
    static inline const QString kPreferences = QStringLiteral("&Preferences");
    static inline const QString kFileProperties = QStringLiteral("&File Properties");
    QMenu *menu(const QString &name) const;
    QString listPath() const { return m_list.listPath(); }
    QString statusPanelText(int panel) const;
    QProgressBar *addFilesProgressBar() const { return m_progress; }
    QWidget *cancelOverlay() const { return m_cancelOverlay; }
    ImageButton *imageButton(const QString &name) const;

    void startNewList(); // start-up: a new list without the question
    // Files named on the command line (or by "Open With"): added in that order, as a drop adds them.
    void addGivenFiles(const QStringList &paths);
    void showTipOfTheDay();
    TipsWindow *tipsWindow() const { return m_tips; }

    // Handlers, named after their controls.
    void Toolbar_ButtonClick(int position);
    void Toolbar_ButtonMenuClick(const QString &key);
    void StatusBar_PanelClick(int panel);
    void CancelLabel_Click();
    void DeleteButton_Click();
    void DeleteButton_MouseUp(Qt::MouseButton button);
    void ListView_MouseDown(const QPoint &position);
    void EditPreferences_Click();
    void PlaySelected();
    void ViewFileProperties_Click();

    // AddProgress
    void begin(const QString &statusText, int maximum) override;
    void setValue(int value) override;
    void finish() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolbar(QWidget *central);
    void buildControlPanel(QWidget *central);
    void buildInfoPanel(QWidget *central);
    void buildStatusBar();
    void layoutControls();
    QList<int> defaultColumnWidths() const;
    static constexpr int kOpeningNameWidth = 140; // px for the name column in a new window
    void applyColumnWidths();
    void restoreWindow();
    void rememberWindow();
    void applyEditMenuRule();
    void showStatusPicture(ListStatus status);
    void refreshTotals();
    QAction *addAction(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut,
                       const std::function<void()> &handler);

    // Commands
    void addFiles();
    void addDirectory();
    void removeSelected();
    void moveUp();
    void moveDown();
    void moveSelected(int (*move)(FileList &list, int index)); // keeps the moved row selected
    void cutItem();
    void copyItem();
    void pasteItem();
    void copyList();
    void joinFiles();
    void readMe();
    void checkForUpdate();
    void exitProgram();
    void sortWizard();
    void removeWizard();
    void listInfo();
    void preferences();
    void about();
    void repairAVIFile();

    FileList m_list;
    FileListView *m_view = nullptr;
    QWidget *m_toolbar = nullptr;
    QWidget *m_controlPanel = nullptr;
    QWidget *m_infoPanel = nullptr;
    QLabel *m_listType = nullptr, *m_listCount = nullptr, *m_listDuration = nullptr, *m_listSize = nullptr;
    QLabel *m_panel1 = nullptr, *m_panel2 = nullptr, *m_panel3 = nullptr;
    QProgressBar *m_progress = nullptr;
    QWidget *m_cancelOverlay = nullptr;
    QMenu *m_editMenu = nullptr, *m_removeItemsMenu = nullptr;
    QList<QToolButton *> m_toolButtons;
    bool m_exiting = false;
    bool m_listPopup = false; // the Edit menu is open as the list's popup
    QElapsedTimer m_progressShown;
    QTimer m_rememberTimer;
    bool m_remembering = false, m_applyingColumns = false;
    TipsWindow *m_tips = nullptr; // created hidden with the window, shown on demand
};
