#pragma once
#include <QDialog>
class QCheckBox;
class QLabel;

// Tip of the day: a tip drawn from the settings file; its box is saved on close.
class TipsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TipsWindow(QWidget *parent = nullptr);
    void NextTipButton_Click();
    QString tipText() const;
    QCheckBox *showAtStartup() const { return m_show; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void done(int result) override;

private:
    QLabel *m_tip;
    QCheckBox *m_show;
    bool m_saved = false;
};
