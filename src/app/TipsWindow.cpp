#include "TipsWindow.h"
#include "HeaderBand.h"
#include "Settings.h"
#include "tools/ListTools.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

TipsWindow::TipsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TipsWindow"));
    setWindowTitle(QStringLiteral("Tip of the day"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(new HeaderBand(QStringLiteral("Tip of the day"), QStringLiteral("Did you know that..."),
                                     QStringLiteral(":/icons/tapeweld.svg"), this));
    m_tip = new QLabel(this);
    m_tip->setObjectName(QStringLiteral("TipText"));
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_tip->setMinimumHeight(90);
    m_tip->setStyleSheet(QStringLiteral("QLabel { background: #fffdf0; border: 1px solid #e0d9b0; padding: 8px; }"));
    m_show = new QCheckBox(QStringLiteral("&Show at startup"), this);
    m_show->setObjectName(QStringLiteral("ShowAtStartup"));
    auto *next = new QPushButton(QStringLiteral("&Next"), this);
    next->setObjectName(QStringLiteral("NextTipButton"));
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(next, &QPushButton::clicked, this, &TipsWindow::NextTipButton_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 0);
    body->addWidget(m_tip, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_show);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(close);
    body->addLayout(buttons);
    layout->addLayout(body);
    resize(440, 240);
    // LoadTipsPreference, then the first tip.
    m_show->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kTipsShowAtStartup, Settings::valueOf(m_show->checkState()))));
    NextTipButton_Click();
}

void TipsWindow::NextTipButton_Click()
{
    bool ok = false;
    int count = Settings::read(SettingsKeys::kTipsCount).trimmed().toInt(&ok);
    if (!ok)
        count = 0;
    QRandomGenerator random(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch())); // every draw reseeds
    const QString tip = Settings::read(SettingsKeys::tip(ListTools::tipNumber(count, random.generateDouble())));
    m_tip->setText(tip.isEmpty() ? QStringLiteral("Error while trying to input [Tips] section. Please, re-install Tapeweld!") : tip);
}

QString TipsWindow::tipText() const { return m_tip->text(); }

void TipsWindow::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        Settings::writeCheckValue(SettingsKeys::kTipsShowAtStartup, Settings::valueOf(m_show->checkState())); // SaveTipsPreference
    }
    QDialog::done(result);
}

void TipsWindow::closeEvent(QCloseEvent *event)
{
    done(QDialog::Rejected);
    event->accept();
}
