#include "ListInfo.h"
#include "gui/HeaderBand.h"
#include "list/FileList.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ListInfo::ListInfo(const FileList &list, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ListInfo"));
    setWindowTitle(QStringLiteral("List Info"));
    m_rows = ListTools::listInfo(list.listPath(), statusText(list.listStatus()), list.listType(), list.count(), list.totals().duration,
                                 list.totals().size);
    auto *layout = new QVBoxLayout(this);
    auto *table = new QTreeWidget(this);
    table->setObjectName(QStringLiteral("ListView"));
    table->setRootIsDecorated(false);
    table->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Value")});
    for (const auto &[item, value] : m_rows)
        table->addTopLevelItem(new QTreeWidgetItem({item, value}));
    table->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(table);
    QPushButton *copy = namedButton(QStringLiteral("CopyButton"), QStringLiteral("C&opy"), this);
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(copy, &QPushButton::clicked, this, &ListInfo::CopyButton_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    addButtonRow(layout, {}, {copy, close});
    resize(400, 320);
}

void ListInfo::CopyButton_Click() { QApplication::clipboard()->setText(ListTools::listInfoText(m_rows)); }
