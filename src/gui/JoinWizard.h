#pragma once

#include "join/JoinOutcome.h"

#include <QDialog>
#include <QTimer>
#include <memory>
class QLabel;
class QMenu;
class BounceBar;
class HeaderBand;
class QPushButton;
class ScriptRun;

// Runs and watches a join: starts the two scripts one after the other and
// follows them through the file system only (the size of the file being
// written, the work folder each script removes as its last act).
class JoinWizard : public QDialog
{
    Q_OBJECT
public:
    // totalSizeText: the list's total as shown below it ("12,345 KB"). run holds
    // the per-user run lock (without one the wizard tries to take it); inputs
    // are the rows' paths, as the first script copies them.
    JoinWizard(const QString &outputPath, const QString &totalSizeText, QWidget *parent = nullptr,
               std::shared_ptr<ScriptRun> run = nullptr, const QStringList &inputs = {});
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
    QString reasonText() const; // why the join failed; empty otherwise
    QString cancelCaption() const;
    bool optionsEnabled() const;
    bool bounceVisible() const;
    int bounceLeft() const;
    bool ended() const { return m_ended; }
    QMenu *optionsMenu() const { return m_optionsMenu; }
    void setElapsedSeconds(int seconds) { m_elapsedSeconds = static_cast<qint16>(seconds); }

    static constexpr int kCancelWaitMs = 5000; // past the moment the encoder is killed
    static constexpr int kStopWaitMs = 3000;   // for the interpreter to stop by itself after a cancel

Q_SIGNALS:
    void operationChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setOperation(const QString &text);
    void measure(const QString &watched);
    bool operationEnded();
    void startScript(const QString &script);
    void recordOutcome(const JoinOutcome::Result &result);

    QString m_output;
    double m_max = 0;
    double m_value = 0;
    qint16 m_elapsedSeconds = 0;
    bool m_cancelled = false;
    bool m_ended = false;
    QString m_operationTag;
    std::shared_ptr<ScriptRun> m_run;
    QVector<JoinOutcome::Part> m_parts;
    bool m_scriptStarted = false;
    JoinOutcome::Result m_outcome;

    HeaderBand *m_header;
    QLabel *m_operation, *m_reason, *m_elapsedCaption, *m_elapsed, *m_written;
    BounceBar *m_bar;
    QPushButton *m_cancel, *m_options, *m_focusHolder;
    QMenu *m_optionsMenu;
    QTimer m_timer, m_elapsedTimer;
};
