#include "HeaderBand.h"
#include "Resources.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
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
