#include "PreferencesWindow.h"
#include "HeaderBand.h"
#include "Settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesWindow::PreferencesWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PreferencesWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(new HeaderBand(QStringLiteral("Preferences"), QStringLiteral("Use this dialog to edit program settings..."),
                                     QStringLiteral(":/icons/check.svg"), this));
    m_box = new QCheckBox(QStringLiteral("Do not show 'Splashscreen' at startup"), this);
    m_box->setObjectName(QStringLiteral("DoNotShowSplashscreenAtStartup"));
    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 0);
    body->addWidget(m_box);
    body->addStretch();
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    body->addLayout(buttons);
    layout->addLayout(body);
    resize(380, 180);
    // LoadSplashPreference
    m_box->setCheckState(Settings::checkStateOf(Settings::readCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState()))));
}

void PreferencesWindow::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        Settings::writeCheckValue(SettingsKeys::kDoNotShowSplash, Settings::valueOf(m_box->checkState())); // SaveSplashPreference
    }
    QDialog::done(result);
}

void PreferencesWindow::closeEvent(QCloseEvent *event)
{
    done(QDialog::Rejected);
    event->accept();
}
