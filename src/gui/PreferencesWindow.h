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
    QComboBox *joinWith() const { return m_engine; }

protected:
    void savePreference() override; // SaveSplashPreference

private:
    QCheckBox *m_box;
    QComboBox *m_engine;
};
