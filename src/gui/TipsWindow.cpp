#include "TipsWindow.h"
#include "HeaderBand.h"
#include "app/Settings.h"
#include "app/TipDraw.h"
#include "app/TextFormats.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

TipsWindow::TipsWindow(QWidget *parent) : PreferenceDialog(parent)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("TipsWindow"), QStringLiteral("Tip of the day"), QStringLiteral("Did you know that..."),
                                         QStringLiteral(":/icons/tapeweld.svg"));
    m_tip = new QLabel(this);
    m_tip->setObjectName(QStringLiteral("TipText"));
    m_tip->setTextFormat(Qt::PlainText); // a tip is text, whatever it holds
    m_tip->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_tip->setMinimumHeight(90);
    m_tip->setStyleSheet(QStringLiteral("QLabel { background: #fffdf0; border: 1px solid #e0d9b0; padding: 8px; }"));
    m_show = new QCheckBox(QStringLiteral("&Show at startup"), this);
    m_show->setObjectName(QStringLiteral("ShowAtStartup"));
    QPushButton *next = namedButton(QStringLiteral("NextTipButton"), QStringLiteral("&Next"), this);
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(next, &QPushButton::clicked, this, &TipsWindow::NextTipButton_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    body->addWidget(m_tip, 1);
    addButtonRow(body, {m_show}, {next, close});
    resize(440, 240);
    Form_Load();
}

void TipsWindow::Form_Load()
{
    // LoadTipsPreference, then a tip.
    m_show->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kTipsShowAtStartup, Settings::valueOf(m_show->checkState()))));
    NextTipButton_Click();
}

void TipsWindow::NextTipButton_Click()
{
    bool ok = false;
    int count = static_cast<int>(TextFormats::wholeNumber(Settings::read(SettingsKeys::kTipsCount), &ok));
    if (!ok)
        count = 0;
    QRandomGenerator random(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch())); // every draw reseeds
    const QString tip = Settings::read(SettingsKeys::tip(TipDraw::tipNumber(count, random.generateDouble())));
    m_tip->setText(tip.isEmpty() ? QStringLiteral("Error while trying to input [Tips] section. Please, re-install Tapeweld!") : tip);
}

QString TipsWindow::tipText() const { return m_tip->text(); }

void TipsWindow::savePreference()
{
    Settings::writeCheckValue(SettingsKeys::kTipsShowAtStartup, Settings::valueOf(m_show->checkState()));
}
