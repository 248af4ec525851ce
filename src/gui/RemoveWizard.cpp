#include "RemoveWizard.h"
#include "tools/ListTools.h"
#include "app/Dialogs.h"
#include "gui/HeaderBand.h"
#include "list/FileList.h"
#include "list/UpdateListTotals.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

RemoveWizard::RemoveWizard(FileList &list, QWidget *parent) : QDialog(parent), m_list(list)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("RemoveWizard"), QStringLiteral("Remove Wizard"), QStringLiteral("Remove unwanted files..."),
                                         QStringLiteral(":/icons/delete.svg"));
    m_column = new QComboBox(this);
    m_column->setObjectName(QStringLiteral("ColumnToCheck"));
    m_value = new QComboBox(this);
    m_value->setObjectName(QStringLiteral("ValueToCheck"));
    m_keep = new QRadioButton(QStringLiteral("Keep Rows"), this);
    m_keep->setObjectName(QStringLiteral("KeepMatchingRows"));
    m_keep->setChecked(true);
    m_remove = new QRadioButton(QStringLiteral("Remove Rows"), this);
    m_remove->setObjectName(QStringLiteral("RemoveMatchingRows"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->hide();
    body->addWidget(new QLabel(QStringLiteral("Get values from the following column:"), this));
    body->addWidget(m_column);
    body->addWidget(new QLabel(QStringLiteral("Check rows for the following value:"), this));
    body->addWidget(m_value);
    body->addWidget(new QLabel(QStringLiteral("Action to apply on matching-rows:"), this));
    auto *options = new QHBoxLayout;
    options->addWidget(m_keep);
    options->addWidget(m_remove);
    options->addStretch();
    body->addLayout(options);
    body->addWidget(m_progress);
    body->addStretch();
    m_finish = namedButton(QStringLiteral("FinishButton"), QStringLiteral("&Finish"), this);
    QPushButton *cancel = namedButton(QStringLiteral("CancelButton"), QStringLiteral("&Cancel"), this);
    connect(m_finish, &QPushButton::clicked, this, &RemoveWizard::FinishButton_Click);
    connect(cancel, &QPushButton::clicked, this, &RemoveWizard::CancelButton_Click);
    addButtonRow(body, {}, {m_finish, cancel});
    resize(380, 320);

    m_column->addItems(list.model().headers());
    connect(m_column, &QComboBox::currentIndexChanged, this, &RemoveWizard::ColumnToCheck_Click);
    m_column->setCurrentIndex(0);
    ColumnToCheck_Click();
}

void RemoveWizard::ColumnToCheck_Click()
{
    m_value->clear();
    if (m_column->currentIndex() >= 0)
        m_value->addItems(ListTools::distinctValues(m_list.model(), m_column->currentIndex()));
    m_value->setCurrentIndex(m_value->count() > 0 ? 0 : -1);
}

void RemoveWizard::CancelButton_Click()
{
    Cancelled = true;
    reject();
}

void RemoveWizard::FinishButton_Click()
{
    const QString value = m_value->currentText();
    if (value.isEmpty()) {
        Dialogs::message(QStringLiteral("Invalid value selected!"), Dialogs::Icon::Exclamation);
        m_value->setFocus();
        return;
    }
    m_finish->setEnabled(false);
    const int column = m_column->currentIndex();
    const bool keep = m_keep->isChecked();
    const int n = m_list.count();
    m_progress->setMaximum(n);
    m_progress->setValue(0);
    m_progress->show();

    // Rows are examined from the last up, so a removal never moves a row still to be looked at.
    // Decisions are applied in batches (one rebuild and one refresh each) so that removing
    // thousands of rows stays fast; a cancel applies what was decided so far.
    QPointer<RemoveWizard> self(this);
    QVector<bool> drop(n, false);
    int appliedFrom = n; // rows [appliedFrom, n) are applied
    int examined = n;    // rows [examined, n) are decided
    // The model holds the originals [0, appliedFrom), then the survivors applied before.
    auto apply = [&] {
        const QVector<FileListModel::Row> &rows = m_list.model().rows();
        QVector<FileListModel::Row> next;
        next.reserve(rows.size());
        for (int i = 0; i < examined; ++i)
            next.append(rows[i]);
        for (int i = examined; i < appliedFrom; ++i)
            if (!drop[i])
                next.append(rows[i]);
        for (qsizetype i = appliedFrom; i < rows.size(); ++i)
            next.append(rows[i]);
        m_list.model().replaceAll(std::move(next));
        appliedFrom = examined;
        UpdateListTotals(m_list);
    };
    QElapsedTimer clock;
    clock.start();
    for (int i = n - 1; i >= 0; --i) {
        if (!self || Cancelled)
            break;
        drop[i] = ListTools::removes(m_list.model().rows()[i][column], value, keep);
        examined = i;
        m_progress->setValue(m_progress->value() + 1);
        if (clock.elapsed() >= kApplyEveryMs) {
            apply();
            clock.restart();
        }
        QCoreApplication::processEvents();
    }
    if (appliedFrom != examined)
        apply();
    if (self && !Cancelled)
        CancelButton_Click();
}
