#pragma once
#include <QDialog>

// A window that keeps one preference: saved exactly once, however it closes
// (its button, its close box or Esc); ending the program saves nothing.
class PreferenceDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;
    // The program is ending: windows closed from now on save nothing.
    static void programEnds();

protected:
    virtual void savePreference() = 0;
    void done(int result) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_saved = false;
};
