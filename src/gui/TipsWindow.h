#pragma once
#include "PreferenceDialog.h"
class QCheckBox;
class QLabel;

// Tip of the day: a tip drawn from the settings file; its box is saved on close.
class TipsWindow : public PreferenceDialog
{
    Q_OBJECT
public:
    explicit TipsWindow(QWidget *parent = nullptr);
    // What opening the window does: the setting read again and a new tip drawn.
    void Form_Load();
    void NextTipButton_Click();
    QString tipText() const;
    QCheckBox *showAtStartup() const { return m_show; }

protected:
    void savePreference() override; // SaveTipsPreference

private:
    QLabel *m_tip;
    QCheckBox *m_show;
};
