#pragma once
#include <QDialog>
#include <QTimer>
#include <memory>
class QLabel;
class QLineEdit;
class BounceBar;
class QPushButton;
class QStackedWidget;
class RepairRun;

// Rebuilds the index of one AVI file into "<input>.fixed.avi": checks the
// input, then shows the repair (RepairRun) once a second and its outcome.
class RepairAVIFile : public QDialog
{
    Q_OBJECT
public:
    explicit RepairAVIFile(QWidget *parent = nullptr);
    ~RepairAVIFile() override;

    void cmdChooseInputFile_Click();
    void cmdRepair_Click();
    void ProgressTimer_Timer();
    void cmdCancel_Click();

    QLineEdit *inputFile() const { return m_input; }
    QString statusText() const;
    QString cancelCaption() const;
    bool running() const;
    bool bounceVisible() const;
    int progressPercent() const;

Q_SIGNALS:
    void finished(bool repaired);
    void statusChanged(const QString &status);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override; // Esc presses cmdCancel

private:
    void setStatus(const QString &text);
    void resetToIdle();

    QLineEdit *m_input;
    QStackedWidget *m_stack;
    QLabel *m_status;
    BounceBar *m_bar;
    QPushButton *m_cancel, *m_repair;
    QTimer m_progressTimer;
    int m_percent = 0;
    bool m_cancelling = false;
    std::unique_ptr<RepairRun> m_run; // while a repair runs
};
