#pragma once
#include <QDialog>
class QCheckBox;

// The one program preference. Loaded when the window is made, saved whenever it closes.
class PreferencesWindow : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesWindow(QWidget *parent = nullptr);
    QCheckBox *doNotShowSplash() const { return m_box; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void done(int result) override;

private:
    QCheckBox *m_box;
    bool m_saved = false;
};
