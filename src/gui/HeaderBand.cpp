#include "HeaderBand.h"
#include "Resources.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HeaderBand::HeaderBand(const QString &title, const QString &subText, const QString &svgResource, QWidget *parent)
    : QWidget(parent)
{
    ensureResources();
    setObjectName(QStringLiteral("HeaderBand"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#HeaderBand { background: white; border-bottom: 1px solid #c8d0da; }"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    auto *texts = new QVBoxLayout;
    auto *t = new QLabel(QStringLiteral("<b>") + title.toHtmlEscaped() + QStringLiteral("</b>"), this);
    t->setObjectName(QStringLiteral("HeaderText"));
    m_sub = new QLabel(subText, this);
    m_sub->setObjectName(QStringLiteral("HeaderSubText"));
    texts->addWidget(t);
    texts->addWidget(m_sub);
    row->addLayout(texts, 1);
    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("HeaderImage"));
    image->setPixmap(QIcon(svgResource).pixmap(40, 40));
    row->addWidget(image);
}

void HeaderBand::setSubText(const QString &text) { m_sub->setText(text); }
QString HeaderBand::subText() const { return m_sub->text(); }

QVBoxLayout *addHeaderAndBody(QDialog *dialog, const QString &objectName, const QString &title, const QString &subText,
                              const QString &svgResource)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(new HeaderBand(title, subText, svgResource, dialog));
    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 0);
    layout->addLayout(body);
    return body;
}

QPushButton *namedButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

void addButtonRow(QBoxLayout *body, const QList<QWidget *> &left, const QList<QWidget *> &right)
{
    auto *row = new QHBoxLayout;
    for (QWidget *w : left)
        row->addWidget(w);
    row->addStretch();
    for (QWidget *w : right)
        row->addWidget(w);
    body->addLayout(row);
}
