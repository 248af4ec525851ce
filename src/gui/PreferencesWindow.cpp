#include "PreferencesWindow.h"
#include "HeaderBand.h"
#include "app/Settings.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesWindow::PreferencesWindow(QWidget *parent) : PreferenceDialog(parent)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("PreferencesWindow"), QStringLiteral("Preferences"), QStringLiteral("Use this dialog to edit program settings..."),
                                         QStringLiteral(":/icons/check.svg"));
    m_box = new QCheckBox(QStringLiteral("Do not show 'Splashscreen' at startup"), this);
    m_box->setObjectName(QStringLiteral("DoNotShowSplashscreenAtStartup"));
    body->addWidget(m_box);
    body->addStretch();
    QPushButton *close = namedButton(QStringLiteral("CloseButton"), QStringLiteral("&Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    addButtonRow(body, {}, {close});
    resize(380, 180);
    // LoadSplashPreference
    m_box->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()))));
}

void PreferencesWindow::savePreference()
{
    Settings::writeCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()));
}
