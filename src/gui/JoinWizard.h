#pragma once

#include "join/JoinRun.h"

#include <QDialog>
#include <QTimer>
#include <memory>
class QLabel;
class QMenu;
class BounceBar;
class HeaderBand;
class QPushButton;
class RunSession;

// Shows a join under way (JoinRun): the operation, its progress and sizes, and
// the outcome; Cancel and Close act on the run.
class JoinWizard : public QDialog
{
    Q_OBJECT
public:
    // run holds the per-user run lock (without one the wizard tries to take it).
    explicit JoinWizard(const JoinPlan &plan, QWidget *parent = nullptr, std::shared_ptr<RunSession> run = nullptr);
    ~JoinWizard() override;

    void Form_Load();
    void Timer_Timer();
    void ElapsedTimer_Timer();
    void CancelButton_Click();
    void FinishJoinWizard();

    // For the window's users and tests.
    QString operationText() const;
    QString writtenSizeText() const;
    QString elapsedText() const;
    QString headerSubText() const;
    QString reasonText() const; // why the join failed, or what to know of a finished one; empty otherwise
    QString cancelCaption() const;
    bool optionsEnabled() const;
    bool bounceVisible() const;
    int bounceLeft() const;
    bool ended() const { return m_ended; }
    QMenu *optionsMenu() const { return m_optionsMenu; }
    void setElapsedSeconds(int seconds) { m_elapsedSeconds = static_cast<qint16>(seconds); }
    const JoinRun &run() const { return *m_job; }

Q_SIGNALS:
    void operationChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setOperation(const QString &text);
    void showProgress();

    std::unique_ptr<JoinRun> m_job;
    qint16 m_elapsedSeconds = 0;
    bool m_ended = false;

    HeaderBand *m_header;
    QLabel *m_operation, *m_reason, *m_elapsedCaption, *m_elapsed, *m_written;
    BounceBar *m_bar;
    QPushButton *m_cancel, *m_options, *m_focusHolder;
    QMenu *m_optionsMenu;
    QTimer m_timer, m_elapsedTimer;
};
