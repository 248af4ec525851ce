#include "MainWindow.h"
#include "Resources.h"
#include "app/AppPaths.h"
#include "app/Dialogs.h"
#include "FileListView.h"
#include "ImageButton.h"
#include "app/MainWindowLayout.h"
#include "app/Shell.h"
#include "app/SystemServices.h"
#include "app/TextFormats.h"
#include "Twips.h"
#include "app/WindowMemory.h"
#include "app/Version.h"
#include "compat/CheckCompatibility.h"
#include "list/ClipboardModule.h"
#include "list/ListFunctions.h"
#include "gui/JoinWizard.h"
#include "AboutWindow.h"
#include "PreferencesWindow.h"
#include "TipsWindow.h"
#include "gui/RepairAVIFile.h"
#include "gui/ListInfo.h"
#include "gui/RemoveWizard.h"
#include "gui/SortWizard.h"
#include "join/RunSession.h"
#include "join/StartJoin.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QToolButton>

namespace {
QPixmap svgPixmap(const QString &resource, int size)
{
    const qreal ratio = 2.0;
    QPixmap pm(QSize(size, size) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QSvgRenderer(resource).render(&p, QRectF(0, 0, size, size));
    return pm;
}

// Clicks on a label reach the window through this filter.
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease)
            m_onClick();
        return false;
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    ensureResources();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(m_list.title());
    auto *central = new QWidget(this);
    setCentralWidget(central);

    m_view = new FileListView(central);
    m_view->setModel(&m_list.model());
    // The Filepath column is present in every row but never shown.
    connect(&m_list.model(), &QAbstractItemModel::columnsInserted, this, [this] {
        m_view->setColumnHidden(FileListModel::Filepath, true);
        if (m_list.model().columnCount() == FileListModel::CellCount)
            applyColumnWidths();
    });
    m_view->setTextElideMode(Qt::ElideMiddle); // a long name keeps its start and its end
    connect(m_view->header(), &QHeaderView::sectionResized, this, [this] {
        if (!m_applyingColumns && m_remembering)
            m_rememberTimer.start();
    });
    m_rememberTimer.setSingleShot(true);
    m_rememberTimer.setInterval(500);
    connect(&m_rememberTimer, &QTimer::timeout, this, &MainWindow::rememberWindow);
    connect(m_view, &FileListView::filesDropped, this,
            [this](const QStringList &paths) { ListView_OLEDragDrop(m_list, paths, this); });
    connect(m_view, &QWidget::customContextMenuRequested, this, &MainWindow::ListView_MouseDown);
    connect(m_view, &QAbstractItemView::doubleClicked, this, &MainWindow::PlaySelected);

    buildMenus();
    buildToolbar(central);
    buildControlPanel(central);
    buildInfoPanel(central);
    buildStatusBar();

    connect(&m_list, &FileList::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_list, &FileList::statusChanged, this, &MainWindow::showStatusPicture);
    connect(&m_list, &FileList::totalsChanged, this, &MainWindow::refreshTotals);
    connect(&m_list, &FileList::listTypeChanged, m_listType, &QLabel::setText);

    // Window load: panel 1, then the progress bar and the overlay inside the status bar.
    m_panel1->setText(QStringLiteral("Tapeweld ") + Version::text() + u' ');
    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(twips(MainWindowLayout::kSnapInnerWidth) + 1, twips(MainWindowLayout::kSnapInnerHeight) + 1 + menuHeight);
    // The described opening width (449 px) cannot show six columns of text in
    // today's fonts: the window opens as wide as the default columns need, with
    // room for names, and can still be made as small as the rule allows.
    QList<int> columns = defaultColumnWidths();
    int listWidth = m_view->verticalScrollBar()->sizeHint().width() + 2 * m_view->frameWidth() + kOpeningNameWidth;
    for (int c = 0; c < FileListModel::CellCount; ++c)
        if (c != FileListModel::Filename)
            listWidth += columns[c];
    const int needed = listWidth + twips(600 + 270); // the control panel and the margins beside the list
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : needed;
    resize(qMax(twips(MainWindowLayout::kOuterWidth), qMin(needed, most)), twips(MainWindowLayout::kOuterHeight));
    restoreWindow();
    showStatusPicture(ListStatus::Red); // the design picture
    m_tips = new TipsWindow(this);
}

QAction *MainWindow::addAction(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut,
                               const std::function<void()> &handler)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    addAction(file, QStringLiteral("FileNewList"), QStringLiteral("&New List"), QKeySequence(QStringLiteral("Ctrl+N")), [this] { NewList(m_list, true); });
    addAction(file, QStringLiteral("FileOpenList"), QStringLiteral("&Open List"), QKeySequence(QStringLiteral("Ctrl+O")), [this] { OpenListFile(m_list); });
    file->addSeparator();
    addAction(file, QStringLiteral("FileSaveList"), QStringLiteral("&Save List"), QKeySequence(QStringLiteral("Ctrl+S")), [this] { SaveListFile(m_list, false); });
    QAction *saveAs = addAction(file, QStringLiteral("FileSaveListAs"), QStringLiteral("Save List &As..."), QKeySequence(), [this] { SaveListFile(m_list, true); });
    file->addSeparator();
    addAction(file, QStringLiteral("FileJoinFiles"), QStringLiteral("&Join Files!"), QKeySequence(Qt::Key_F5), [this] { joinFiles(); });
    file->addSeparator();
    addAction(file, QStringLiteral("FileExit"), QStringLiteral("&Exit"), QKeySequence(QStringLiteral("Ctrl+E")), [this] { exitProgram(); });
    connect(file, &QMenu::aboutToShow, this, [this, saveAs] { saveAs->setEnabled(!m_list.listPath().isEmpty()); });

    m_editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    QMenu *clip = m_editMenu->addMenu(QStringLiteral("&Clipboard"));
    clip->setObjectName(QStringLiteral("EditClipboard"));
    addAction(clip, QStringLiteral("ClipboardCut"), QStringLiteral("&Cut Item"), QKeySequence(QStringLiteral("Ctrl+X")), [this] { cutItem(); });
    addAction(clip, QStringLiteral("ClipboardCopy"), QStringLiteral("&Copy Item"), QKeySequence(QStringLiteral("Ctrl+C")), [this] { copyItem(); });
    addAction(clip, QStringLiteral("ClipboardPaste"), QStringLiteral("&Paste Item"), QKeySequence(QStringLiteral("Ctrl+V")), [this] { pasteItem(); });
    clip->addSeparator();
    addAction(clip, QStringLiteral("ClipboardCopyList"), QStringLiteral("&Copy List"), QKeySequence(QStringLiteral("Ctrl+B")), [this] { copyList(); });
    m_editMenu->addSeparator();
    addAction(m_editMenu, QStringLiteral("EditAddFiles"), QStringLiteral("&Add File(s)"), QKeySequence(QStringLiteral("Ctrl+F")), [this] { addFiles(); });
    addAction(m_editMenu, QStringLiteral("EditAddDirectory"), QStringLiteral("&Add Directory"), QKeySequence(QStringLiteral("Ctrl+D")), [this] { addDirectory(); });
    m_editMenu->addSeparator();
    m_removeItemsMenu = m_editMenu->addMenu(QStringLiteral("&Remove Item(s)"));
    m_removeItemsMenu->setObjectName(QStringLiteral("EditRemoveItems"));
    addAction(m_removeItemsMenu, QStringLiteral("RemoveItemsRemoveItem"), QStringLiteral("&Remove Item"), QKeySequence(Qt::Key_Delete), [this] { removeSelected(); });
    addAction(m_removeItemsMenu, QStringLiteral("RemoveItemsClearList"), QStringLiteral("&Clear List"), QKeySequence(Qt::SHIFT | Qt::Key_Delete), [this] { ClearList(m_list, true); });
    m_removeItemsMenu->addSeparator();
    addAction(m_removeItemsMenu, QStringLiteral("RemoveItemsRemoveDuplicatedFiles"), QStringLiteral("&Remove Duplicated Files"), QKeySequence(QStringLiteral("Ctrl+Q")), [this] { RemoveDuplicatedFiles(m_list); });
    addAction(m_removeItemsMenu, QStringLiteral("RemoveItemsRemoveDeadFiles"), QStringLiteral("&Remove Dead Files"), QKeySequence(QStringLiteral("Ctrl+W")), [this] { RemoveDeadFiles(m_list); });
    m_removeItemsMenu->addSeparator();
    addAction(m_removeItemsMenu, QStringLiteral("RemoveItemsRemoveWizard"), QStringLiteral("&Remove Wizard"), QKeySequence(), [this] { removeWizard(); });
    QMenu *move = m_editMenu->addMenu(QStringLiteral("&Move Selected Item"));
    move->setObjectName(QStringLiteral("MoveSelectedItem"));
    addAction(move, QStringLiteral("MoveSelectedItemMoveItemUp"), QStringLiteral("&Move Item Up"), QKeySequence(), [this] { moveUp(); });
    addAction(move, QStringLiteral("MoveSelectedItemMoveItemDown"), QStringLiteral("&Move Item Down"), QKeySequence(), [this] { moveDown(); });
    m_editMenu->addSeparator();
    addAction(m_editMenu, QStringLiteral("EditSortWizard"), QStringLiteral("&Sort Wizard"), QKeySequence(QStringLiteral("Ctrl+R")), [this] { sortWizard(); });
    m_editMenu->addSeparator();
    addAction(m_editMenu, QStringLiteral("EditRepairAVIFile"), QStringLiteral("&Repair AVI File"), QKeySequence(), [this] { repairAVIFile(); });
    m_editMenu->addSeparator();
    addAction(m_editMenu, QStringLiteral("EditPreferences"), kPreferences, QKeySequence(), [this] { EditPreferences_Click(); });
    connect(m_editMenu, &QMenu::aboutToShow, this, [this] { applyEditMenuRule(); });

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    addAction(view, QStringLiteral("ViewListInfo"), QStringLiteral("&List Info"), QKeySequence(QStringLiteral("Ctrl+I")), [this] { listInfo(); });
    view->addSeparator();
    addAction(view, QStringLiteral("ViewFileProperties"), kFileProperties, QKeySequence(), [this] { ViewFileProperties_Click(); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    addAction(help, QStringLiteral("HelpManual"), QStringLiteral("&Read Me"), QKeySequence(Qt::Key_F1), [this] { readMe(); });
    help->addSeparator();
    addAction(help, QStringLiteral("TipOfTheDay"), QStringLiteral("&Tip of the day"), QKeySequence(), [this] { showTipOfTheDay(); });
    addAction(help, QStringLiteral("HelpCheckForUpdate"), QStringLiteral("&Check for update"), QKeySequence(), [this] { checkForUpdate(); });
    help->addSeparator();
    addAction(help, QStringLiteral("HelpAbout"), QStringLiteral("&About..."), QKeySequence(), [this] { about(); });
}

void MainWindow::buildToolbar(QWidget *central)
{
    m_toolbar = new QWidget(central);
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    auto *row = new QHBoxLayout(m_toolbar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    struct Button
    {
        const char *caption, *icon;
        QList<QPair<QString, QString>> items; // caption, key
    };
    const QList<Button> buttons{
        {"Add File(s)", "add", {{QStringLiteral("Add File(s)"), QStringLiteral("AddFiles")}, {QStringLiteral("Add Directory"), QStringLiteral("AddDirectory")}}},
        {"Sort List", "sort", {}},
        {"Check List", "check", {{QStringLiteral("For: Duplicated Files"), QStringLiteral("CheckForDupes")}, {QStringLiteral("For: Dead Files"), QStringLiteral("CheckForDead")}}},
        {"Join Files!", "join", {}}};
    for (int i = 0; i < buttons.size(); ++i) {
        auto *b = new QToolButton(m_toolbar);
        b->setText(QString::fromLatin1(buttons[i].caption));
        b->setIcon(QIcon(svgPixmap(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(buttons[i].icon)), 24)));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        const int position = i + 1;
        connect(b, &QToolButton::clicked, this, [this, position] { Toolbar_ButtonClick(position); });
        if (!buttons[i].items.isEmpty()) {
            auto *menu = new QMenu(b);
            for (const auto &[caption, key] : buttons[i].items) {
                QAction *a = menu->addAction(caption);
                a->setData(key);
                connect(a, &QAction::triggered, this, [this, key = key] { Toolbar_ButtonMenuClick(key); });
            }
            b->setMenu(menu);
            b->setPopupMode(QToolButton::MenuButtonPopup);
        }
        m_toolButtons << b;
        row->addWidget(b);
    }
    row->addStretch();
}

void MainWindow::buildControlPanel(QWidget *central)
{
    m_controlPanel = new QWidget(central);
    m_controlPanel->setObjectName(QStringLiteral("ControlPanel"));
    auto *col = new QVBoxLayout(m_controlPanel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(6);
    auto add = [&](const QString &name, const QString &icon, const QString &tip, void (MainWindow::*handler)()) {
        auto *b = new ImageButton(name, QStringLiteral(":/icons/%1.svg").arg(icon), tip, m_controlPanel);
        connect(b, &ImageButton::clicked, this, handler);
        col->addWidget(b);
        return b;
    };
    add(QStringLiteral("UpButton"), QStringLiteral("up"), QStringLiteral("Move Item Up"), &MainWindow::moveUp);
    add(QStringLiteral("DownButton"), QStringLiteral("down"), QStringLiteral("Move Item Down"), &MainWindow::moveDown);
    ImageButton *del = add(QStringLiteral("DeleteButton"), QStringLiteral("delete"),
                           QStringLiteral("Remove Item (right-click for more options)"), &MainWindow::DeleteButton_Click);
    connect(del, &ImageButton::released, this, &MainWindow::DeleteButton_MouseUp);
    add(QStringLiteral("PlayButton"), QStringLiteral("play"), QStringLiteral("Play File"), &MainWindow::PlaySelected);
    add(QStringLiteral("PropertiesButton"), QStringLiteral("properties"), QStringLiteral("File Properties"),
        &MainWindow::ViewFileProperties_Click);
    col->addStretch();
}

void MainWindow::buildInfoPanel(QWidget *central)
{
    auto *frame = new QFrame(central);
    frame->setObjectName(QStringLiteral("InfoPanel"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    auto pair = [&](int r, int c, const QString &name, const QString &caption, const QString &icon, const QString &value) {
        auto *image = new QLabel(frame);
        image->setObjectName(name + QStringLiteral("Image"));
        image->setPixmap(svgPixmap(QStringLiteral(":/icons/%1.svg").arg(icon), 16));
        auto *label = new QLabel(caption, frame);
        label->setObjectName(name + QStringLiteral("Label"));
        auto *v = new QLabel(value, frame);
        v->setObjectName(name + QStringLiteral("Value"));
        QFont bold = v->font();
        bold.setBold(true);
        v->setFont(bold);
        grid->addWidget(image, r, c * 3);
        grid->addWidget(label, r, c * 3 + 1);
        grid->addWidget(v, r, c * 3 + 2);
        return v;
    };
    m_listType = pair(0, 0, QStringLiteral("ListType"), QStringLiteral("List Type:"), QStringLiteral("listtype"), QStringLiteral("?"));
    m_listCount = pair(1, 0, QStringLiteral("ListCount"), QStringLiteral("Total items in list:"), QStringLiteral("listcount"), QStringLiteral("0"));
    m_listDuration = pair(0, 1, QStringLiteral("ListDuration"), QStringLiteral("Duration:"), QStringLiteral("listduration"), QStringLiteral("00:00:00"));
    m_listSize = pair(1, 1, QStringLiteral("ListSize"), QStringLiteral("Filesize:"), QStringLiteral("listsize"), QStringLiteral("0 KB"));
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    m_infoPanel = frame;
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    m_panel1 = new QLabel(bar);
    // Panel 1 carries the add progress bar: wide enough to move from the first of a thousand files.
    m_panel1->setMinimumWidth(twips(3000));
    m_panel2 = new QLabel(bar);
    m_panel3 = new QLabel(bar);
    m_panel3->setObjectName(QStringLiteral("StatusIndicator"));
    m_panel3->setToolTip(QStringLiteral("Status Indicator"));
    m_panel3->setCursor(Qt::PointingHandCursor);
    m_panel3->installEventFilter(new ClickFilter(this, [this] { StatusBar_PanelClick(3); }));
    bar->addWidget(m_panel1);
    bar->addWidget(m_panel2, 1);
    bar->addPermanentWidget(m_panel3);

    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("AddFilesProgressBar"));
    m_progress->setTextVisible(true);
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->hide();
    m_cancelOverlay = new QWidget(bar);
    m_cancelOverlay->setObjectName(QStringLiteral("CancelOverlay"));
    auto *cancel = new QLabel(QStringLiteral("<a href='#'>(Cancel)</a>"), m_cancelOverlay);
    cancel->setObjectName(QStringLiteral("CancelLabel"));
    cancel->setToolTip(QStringLiteral("Cancel Operation"));
    cancel->setCursor(Qt::PointingHandCursor);
    connect(cancel, &QLabel::linkActivated, this, &MainWindow::CancelLabel_Click);
    cancel->adjustSize();
    m_cancelOverlay->resize(cancel->size());
    m_cancelOverlay->hide();
}

void MainWindow::layoutControls()
{
    QWidget *central = centralWidget();
    const int toolbarHeight = m_toolbar->sizeHint().height();
    m_toolbar->setGeometry(0, 0, central->width(), toolbarHeight);
    const int tb = toTwips(toolbarHeight);
    // Inner size as the design counts it: the status bar belongs to the client area.
    const int w = toTwips(central->width());
    const int h = toTwips(central->height() + statusBar()->height());
    const MainWindowLayout::Design design{tb, QRect(120, tb + 60, 0, 0), QRect(0, tb + 60, 600, 3300),
                                          QRect(120, 0, 0, 900)};
    const MainWindowLayout::Result r = MainWindowLayout::arrange(design, w, h);
    auto px = [](const QRect &t) { return QRect(twips(t.x()), twips(t.y()), twips(t.width()), twips(t.height())); };
    m_view->setGeometry(px(r.listView));
    m_infoPanel->setGeometry(px(r.infoPanel));
    // The five image buttons stay above the totals panel: at the smallest size
    // the room between them shrinks first.
    QRect panel = px(r.controlPanel);
    panel.setBottom(qMin(panel.bottom(), m_infoPanel->geometry().top() - 2));
    auto *column = static_cast<QBoxLayout *>(m_controlPanel->layout());
    const int buttons = 5, buttonHeight = 36;
    column->setSpacing(qBound(0, (panel.height() - buttons * buttonHeight) / (buttons - 1), 6));
    m_controlPanel->setGeometry(panel);

    // Progress bar over panel 1, the overlay right of it.
    const int panel1 = toTwips(m_panel1->geometry().right());
    const int barHeight = toTwips(statusBar()->height());
    m_progress->setGeometry(twips(10), twips(50), twips(panel1 - 10), twips(barHeight - 60));
    m_cancelOverlay->move(twips(panel1 + 1360), twips(50));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_remembering)
        m_rememberTimer.start();
    if (!isMinimized())
        layoutControls();
}

QAction *MainWindow::action(const QString &name) const { return findChild<QAction *>(name); }

QMenu *MainWindow::menu(const QString &name) const { return findChild<QMenu *>(name); }

ImageButton *MainWindow::imageButton(const QString &name) const { return findChild<ImageButton *>(name); }

QString MainWindow::statusPanelText(int panel) const
{
    return panel == 1 ? m_panel1->text() : panel == 2 ? m_panel2->text() : QString();
}

void MainWindow::applyEditMenuRule() { action(QStringLiteral("RemoveItemsRemoveWizard"))->setEnabled(m_list.count() > 0); }

void MainWindow::showStatusPicture(ListStatus status)
{
    m_panel3->setPixmap(svgPixmap(status == ListStatus::Green ? QStringLiteral(":/icons/green.svg")
                                                                    : QStringLiteral(":/icons/red.svg"),
                                  16));
}

void MainWindow::refreshTotals()
{
    m_listCount->setText(m_list.totals().count);
    m_listDuration->setText(m_list.totals().duration);
    m_listSize->setText(m_list.totals().size);
}

QList<int> MainWindow::defaultColumnWidths() const
{
    // Wide enough for the header and a typical cell; the name takes what is left.
    const QFontMetrics fm(m_view->font());
    const int pad = 14;
    auto fit = [&](const QString &header, const QString &cell) { return qMax(fm.horizontalAdvance(header), fm.horizontalAdvance(cell)) + pad; };
    QList<int> w(FileListModel::CellCount, 0);
    w[FileListModel::Filesize] = fit(QStringLiteral("Filesize"), QStringLiteral("99,999 KB"));
    w[FileListModel::DateModified] = fit(QStringLiteral("Date Modified"),
                                         TextFormats::generalDate(QDateTime(QDate(2026, 12, 28), QTime(22, 58, 59))));
    w[FileListModel::VideoCodec] = fit(QStringLiteral("Video Codec"), QStringLiteral("XVID"));
    w[FileListModel::VideoSize] = fit(QStringLiteral("Video Size"), QStringLiteral("1920x1080"));
    w[FileListModel::Duration] = fit(QStringLiteral("Duration"), QStringLiteral("9999 seconds"));
    int others = 0;
    for (const int x : w)
        others += x;
    const int view = m_view->viewport()->width() > 0 ? m_view->viewport()->width() : m_view->width() - 4;
    w[FileListModel::Filename] = qMax(fit(QStringLiteral("Filename"), QStringLiteral("clip.avi")), view - others);
    return w;
}

void MainWindow::applyColumnWidths()
{
    m_applyingColumns = true;
    const QList<int> saved = WindowMemory::read().columns;
    const QList<int> widths = saved.size() == FileListModel::CellCount ? saved : defaultColumnWidths();
    for (int c = 0; c < FileListModel::CellCount; ++c)
        if (c != FileListModel::Filepath)
            m_view->setColumnWidth(c, qMax(20, widths[c]));
    m_applyingColumns = false;
}

void MainWindow::restoreWindow()
{
    const WindowMemory::Saved saved = WindowMemory::read();
    if (saved.geometry.isEmpty())
        return;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    setGeometry(WindowMemory::placeOnScreens(saved.geometry, screens, minimumSize()));
    if (saved.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::rememberWindow()
{
    WindowMemory::writeGeometry(isMaximized() ? normalGeometry() : geometry(), isMaximized());
    QList<int> widths;
    for (int c = 0; c < m_list.model().columnCount(); ++c)
        widths << (c == FileListModel::Filepath ? 0 : m_view->columnWidth(c));
    if (widths.size() == FileListModel::CellCount)
        WindowMemory::writeColumns(widths);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Where the window manager first puts the window is not the user's choice.
    if (!m_remembering)
        QTimer::singleShot(1000, this, [this] { m_remembering = true; });
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (m_remembering)
        m_rememberTimer.start();
}

void MainWindow::addGivenFiles(const QStringList &paths)
{
    if (!paths.isEmpty())
        ListView_OLEDragDrop(m_list, paths, this);
}
