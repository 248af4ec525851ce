#include "PreferenceDialog.h"

#include <QCloseEvent>

namespace {
bool g_programEnds = false;
}

void PreferenceDialog::programEnds() { g_programEnds = true; }

void PreferenceDialog::showEvent(QShowEvent *event)
{
    m_saved = false; // a window shown again saves again when it closes
    QDialog::showEvent(event);
}

void PreferenceDialog::done(int result)
{
    if (!m_saved && !g_programEnds) {
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
