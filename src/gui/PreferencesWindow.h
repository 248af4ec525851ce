#pragma once
#include "PreferenceDialog.h"
class QCheckBox;

// The one program preference: whether the splash window shows at start-up.
class PreferencesWindow : public PreferenceDialog
{
    Q_OBJECT
public:
    explicit PreferencesWindow(QWidget *parent = nullptr);
    QCheckBox *doNotShowSplash() const { return m_box; }

protected:
    void savePreference() override; // SaveSplashPreference

private:
    QCheckBox *m_box;
};
