#include "PreferencesWindow.h"
#include "HeaderBand.h"
#include "join/Engines.h"
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
    m_joinWith = new QComboBox(this);
    m_joinWith->setObjectName(QStringLiteral("JoinWith"));
    for (const Engine *engine : Engines::all())
        m_joinWith->addItem(engine->choiceText());
    label->setBuddy(m_joinWith);
    body->addWidget(label);
    body->addWidget(m_joinWith);
    body->addStretch();
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    addButtonRow(body, {}, {close});
    resize(420, 230);
    // LoadSplashPreference
    m_box->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()))));
    m_shownRow = static_cast<int>(Engines::all().indexOf(&Engines::configured()));
    m_joinWith->setCurrentIndex(m_shownRow);
}

void PreferencesWindow::savePreference()
{
    Settings::writeCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()));
    // An unknown value in the file stays as it was until the user chooses another engine.
    if (m_joinWith->currentIndex() != m_shownRow && m_joinWith->currentIndex() >= 0)
        Engines::configure(*Engines::all().at(m_joinWith->currentIndex()));
}
