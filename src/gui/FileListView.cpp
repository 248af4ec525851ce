#include "FileListView.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

FileListView::FileListView(QWidget *parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("ListView"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(false);
    header()->setDefaultSectionSize(100);
    header()->setSectionsMovable(false);
}

int FileListView::selectedIndex() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void FileListView::selectIndex(int index)
{
    if (!model() || index < 1 || index > model()->rowCount())
        return;
    const QModelIndex i = model()->index(index - 1, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
}

QStringList FileListView::localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime)
        return paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

void FileListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FileListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FileListView::dropEvent(QDropEvent *event)
{
    const QStringList paths = localPaths(event->mimeData());
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}
