#include "PreferencesWindow.h"
#include "HeaderBand.h"
#include "app/JoinEngine.h"
#include "app/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesWindow::PreferencesWindow(QWidget *parent) : PreferenceDialog(parent)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("PreferencesWindow"), QStringLiteral("Preferences"), QStringLiteral("Use this dialog to edit program settings..."),
                                         QStringLiteral(":/icons/check.svg"));
    m_box = new QCheckBox(QStringLiteral("Do not show 'Splashscreen' at startup"), this);
    m_box->setObjectName(QStringLiteral("DoNotShowSplashscreenAtStartup"));
    body->addWidget(m_box);
    body->addSpacing(6);
    auto *label = new QLabel(QStringLiteral("Join with:"), this);
    m_engine = new QComboBox(this);
    m_engine->setObjectName(QStringLiteral("JoinWith"));
    // In the order of JoinEngine: the encoder, then Tapeweld's own writer.
    m_engine->addItem(QStringLiteral("The encoder (MEncoder): two passes, one sound track"));
    m_engine->addItem(QStringLiteral("Tapeweld's own writer: one pass, every stream kept in step"));
    label->setBuddy(m_engine);
    body->addWidget(label);
    body->addWidget(m_engine);
    body->addStretch();
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    addButtonRow(body, {}, {close});
    resize(420, 230);
    // LoadSplashPreference
    m_box->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()))));
    m_engine->setCurrentIndex(JoinEngines::configured() == JoinEngine::Builtin ? 1 : 0);
}

void PreferencesWindow::savePreference()
{
    Settings::writeCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()));
    const JoinEngine chosen = m_engine->currentIndex() == 1 ? JoinEngine::Builtin : JoinEngine::Encoder;
    // An unknown value in the file stays as it was until the user chooses another engine.
    if (chosen != JoinEngines::configured())
        JoinEngines::configure(chosen);
}
