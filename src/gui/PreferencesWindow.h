#pragma once
#include "PreferenceDialog.h"
class QCheckBox;
class QComboBox;

// The program's preferences: whether the splash window shows at start-up, and
// who writes a join's output ("Join with").
class PreferencesWindow : public PreferenceDialog
{
    Q_OBJECT
public:
    explicit PreferencesWindow(QWidget *parent = nullptr);
    QCheckBox *doNotShowSplash() const { return m_box; }
    QComboBox *joinWith() const { return m_joinWith; }

protected:
    void savePreference() override; // SaveSplashPreference

private:
    QCheckBox *m_box;
    int m_shownRow = 0; // the row shown when the window opened
    QComboBox *m_joinWith;
};
