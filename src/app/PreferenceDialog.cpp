#include "PreferenceDialog.h"

#include <QCloseEvent>

void PreferenceDialog::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        savePreference();
    }
    QDialog::done(result);
}

void PreferenceDialog::closeEvent(QCloseEvent *event)
{
    done(QDialog::Rejected);
    event->accept();
}
