#include "SortWizard.h"
#include "tools/ListTools.h"
#include "gui/HeaderBand.h"
#include "list/FileList.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SortWizard::SortWizard(FileList &list, QWidget *parent) : QDialog(parent), m_list(list)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("SortWizard"), QStringLiteral("Sort Wizard"), QStringLiteral("Use this wizard to sort your list..."),
                                         QStringLiteral(":/icons/sort.svg"));
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("SortField"));
    m_field->addItems(list.model().headers());
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("SortMethod"));
    m_method->addItems({QStringLiteral("Ascending (ABC)"), QStringLiteral("Descending (ZYX)")});
    body->addWidget(new QLabel(QStringLiteral("On which column would you like to sort?"), this));
    body->addWidget(m_field);
    body->addSpacing(6);
    body->addWidget(new QLabel(QStringLiteral("How would you like to sort this column?"), this));
    body->addWidget(m_method);
    body->addStretch();
    QPushButton *sort = namedButton(QStringLiteral("SortButton"), QStringLiteral("&Sort List"), this);
    QPushButton *cancel = namedButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), this);
    connect(sort, &QPushButton::clicked, this, &SortWizard::SortButton_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    addButtonRow(body, {}, {sort, cancel});
    resize(360, 250);
}

void SortWizard::SortButton_Click()
{
    ListTools::sortRows(m_list.model(), m_field->currentIndex(), m_method->currentIndex() == 1);
    accept();
}

void SortWizard::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        SortButton_Click();
    else
        QDialog::keyPressEvent(event); // Esc cancels
}
