#pragma once
#include <QTreeView>

// The list control: report view over the row model; accepts files dropped
// from a file manager (their local paths, in drop order).
class FileListView : public QTreeView
{
    Q_OBJECT
public:
    explicit FileListView(QWidget *parent = nullptr);
    int selectedIndex() const; // 1-based; 0 when no row is selected
    void selectIndex(int index);
    static QStringList localPaths(const class QMimeData *mime);

Q_SIGNALS:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(class QDragEnterEvent *event) override;
    void dragMoveEvent(class QDragMoveEvent *event) override;
    void dropEvent(class QDropEvent *event) override;
};
