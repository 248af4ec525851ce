#include "JoinWizard.h"
#include "BounceBar.h"
#include "join/JoinScripts.h"
#include "join/ScriptRun.h"
#include "app/AppPaths.h"
#include "app/DebugLog.h"
#include "gui/HeaderBand.h"
#include "app/Shell.h"
#include "app/SystemServices.h"
#include "app/TextFormats.h"
#include "gui/Twips.h"
#include "platform/FileSystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCancel = QStringLiteral("&Cancel");
const QString kClose = QStringLiteral("&Close");

QString kilobytes(double bytes) { return TextFormats::groupedOrEmpty(bytes / 1024) + QStringLiteral(" KB"); }
} // namespace

JoinWizard::JoinWizard(const QString &outputPath, const QString &totalSizeText, QWidget *parent,
                       std::shared_ptr<ScriptRun> run, const QStringList &inputs)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_output(outputPath), m_run(std::move(run)), m_parts(JoinOutcome::partsOf(inputs))
{
    if (!m_run) {
        m_run = std::make_shared<ScriptRun>(AppPaths::applicationSettingsPath());
        m_run->acquire();
    }
    setObjectName(QStringLiteral("JoinWizard"));
    setWindowTitle(QStringLiteral("Join Wizard"));
    setModal(true);
    m_max = TextFormats::leadingNumber(totalSizeText, QStringLiteral(" KB"), nullptr) * 1024.0;

    auto *layout = new QVBoxLayout(this);
    m_header = new HeaderBand(QStringLiteral("Join Wizard"), QStringLiteral("Your files are being joined..."),
                              QStringLiteral(":/icons/join.svg"), this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(m_header);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(twips(120), 4, twips(120), 0);
    m_operation = new QLabel(QStringLiteral("Initializing..."), this);
    m_operation->setObjectName(QStringLiteral("lblOperation"));
    body->addWidget(m_operation);
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("lblReason"));
    m_reason->setWordWrap(true);
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->hide();

    m_bar = new BounceBar(this);
    body->addWidget(m_bar);
    body->addWidget(m_reason);

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(frame);
    m_elapsedCaption = new QLabel(QStringLiteral("Elapsed time:"), frame);
    m_elapsedCaption->setObjectName(QStringLiteral("ElapsedTime"));
    m_elapsed = new QLabel(QStringLiteral("00:00:00"), frame);
    m_elapsed->setObjectName(QStringLiteral("ElapsedTimeLabel"));
    auto *writtenCaption = new QLabel(QStringLiteral("Total written size:"), frame);
    writtenCaption->setObjectName(QStringLiteral("WrittenSize"));
    m_written = new QLabel(QStringLiteral("0 KB"), frame);
    m_written->setObjectName(QStringLiteral("WrittenSizeLabel"));
    grid->addWidget(m_elapsedCaption, 0, 0);
    grid->addWidget(m_elapsed, 0, 1);
    grid->addWidget(writtenCaption, 1, 0);
    grid->addWidget(m_written, 1, 1);
    grid->setColumnStretch(1, 1);
    body->addWidget(frame);

    auto *buttons = new QHBoxLayout;
    // Holds the focus so no visible button shows a focus frame.
    m_focusHolder = new QPushButton(QStringLiteral("Mondeo (UI)"), this);
    m_focusHolder->setObjectName(QStringLiteral("Ford"));
    m_focusHolder->setFixedSize(0, 0);
    m_focusHolder->setFlat(true);
    m_options = new QPushButton(QStringLiteral("&Options"), this);
    m_options->setObjectName(QStringLiteral("OptionsButton"));
    m_options->setEnabled(false);
    m_options->setAutoDefault(false);
    m_cancel = new QPushButton(kCancel, this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_focusHolder);
    buttons->addWidget(m_options);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    body->addLayout(buttons);
    layout->addLayout(body);
    setTabOrder(m_focusHolder, m_options);
    m_focusHolder->setFocus();

    m_optionsMenu = new QMenu(QStringLiteral("&Options"), this);
    m_optionsMenu->setObjectName(QStringLiteral("OptionsMenu"));
    QAction *launch = m_optionsMenu->addAction(QStringLiteral("&Launch File"), this, [this] { Shell::open(m_output); });
    launch->setObjectName(QStringLiteral("OptionsLaunchFile"));
    QAction *folder = m_optionsMenu->addAction(QStringLiteral("&Open Folder"), this, [this] { Shell::showInFolder(m_output); });
    folder->setObjectName(QStringLiteral("OptionsOpenFolder"));
    connect(m_options, &QPushButton::clicked, this, [this] { m_optionsMenu->popup(m_options->mapToGlobal(QPoint(0, 0))); });
    connect(m_cancel, &QPushButton::clicked, this, &JoinWizard::CancelButton_Click);

    m_timer.setInterval(10);
    m_elapsedTimer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &JoinWizard::Timer_Timer);
    connect(&m_elapsedTimer, &QTimer::timeout, this, &JoinWizard::ElapsedTimer_Timer);
    setFixedSize(sizeHint().expandedTo(QSize(twips(4680), twips(2880))));
}

void JoinWizard::Form_Load()
{
    m_operationTag = QStringLiteral("1");
    setOperation(QStringLiteral("Operation 1 of 2"));
    m_elapsedSeconds = 0;
    m_cancelled = false;
    if (!PathExists(JoinScripts::workFolder()))
        QDir().mkdir(JoinScripts::workFolder());
    startScript(JoinScripts::firstScript());
    if (IsDebugLogActive()) {
        WriteDebugLog(QStringLiteral("BAT1 Launched."));
        WriteDebugLog(QStringLiteral("OutputFile=") + m_output);
    }
    m_timer.start();
    m_elapsedTimer.start();
}

JoinWizard::~JoinWizard() = default;

void JoinWizard::startScript(const QString &script)
{
    m_scriptStarted = m_run->held() && m_run->start(script);
    if (!m_scriptStarted) {
        // Nothing will remove the work folder: the operation ends at the next tick.
        QDir().rmdir(JoinScripts::workFolder());
        recordOutcome({false,
                       m_run->held() ? QStringLiteral("The join could not start: the interpreter tapeweld-cmd could not be run.")
                                     : ScriptRun::busyMessage().section(u'\r', 0, 0),
                       QStringLiteral("Script not started: ") + script});
    }
}

void JoinWizard::recordOutcome(const JoinOutcome::Result &result)
{
    if (IsDebugLogActive() && !result.log.isEmpty())
        WriteDebugLog(result.log + (result.ok ? QStringLiteral(": good") : QStringLiteral(": ") + result.reason));
    if (m_outcome.ok)
        m_outcome = result;
}

// A script ends when it removes the work folder; one that was stopped or
// killed before it got there has ended too.
bool JoinWizard::operationEnded()
{
    return !PathExists(JoinScripts::workFolder()) || (m_scriptStarted && !m_run->running());
}

void JoinWizard::setOperation(const QString &text)
{
    if (m_operation->text() == text)
        return;
    m_operation->setText(text);
    Q_EMIT operationChanged(text);
}

void JoinWizard::Timer_Timer()
{
    const bool ended = operationEnded();
    const QString temp = m_output + JoinScripts::kTempSuffix;
    if (m_operationTag == QStringLiteral("1") && !ended) {
        measure(temp);
    } else if (m_operationTag == QStringLiteral("2") && !ended) {
        measure(m_output);
    } else if (m_operationTag == QStringLiteral("2")) {
        QDir().rmdir(JoinScripts::workFolder());
        if (m_outcome.ok)
            recordOutcome(JoinOutcome::checkOutput(m_parts, m_output, ScriptRun::errorLogOf(JoinScripts::secondScript())));
        FinishJoinWizard();
    } else {
        QDir().rmdir(JoinScripts::workFolder());
        if (m_outcome.ok && m_scriptStarted)
            recordOutcome(JoinOutcome::checkIntermediate(m_parts, temp, ScriptRun::errorLogOf(JoinScripts::firstScript())));
        if (!m_outcome.ok) {
            // The encoder would only turn a broken intermediate file into a broken output.
            QFile::remove(temp);
            FinishJoinWizard();
            return;
        }
        setOperation(QStringLiteral("Operation 2 of 2"));
        m_operationTag = QStringLiteral("2");
        m_value = 0;
        m_bar->setProgress(0, m_max);
        m_written->setText(QStringLiteral("0 KB"));
        if (!PathExists(JoinScripts::workFolder()))
            QDir().mkdir(JoinScripts::workFolder());
        startScript(JoinScripts::secondScript());
        measure(m_output);
    }
}

void JoinWizard::measure(const QString &watched)
{
    if (!PathExists(watched)) {
        if (m_operationTag == QStringLiteral("2")) {
            setOperation(QStringLiteral("Generating Index...(This may take a few minutes)"));
            m_bar->startBouncing();
        }
        return;
    }
    const double size = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(watched)));
    m_written->setText(kilobytes(size));
    if (m_operationTag == QStringLiteral("2")) {
        setOperation(QStringLiteral("Operation 2 of 2"));
        m_bar->stopBouncing();
    }
    m_value = size > m_max ? m_max : size;
    m_bar->setProgress(m_value, m_max);
    // A maximum of 0 (sizes that read as 0) shows 0 % instead of dividing by zero.
    const qint64 percent = m_max > 0 ? TextFormats::roundHalfEven(static_cast<float>(m_value / m_max * 100)) : 0;
    setWindowTitle(QStringLiteral("Join Wizard (%1%)").arg(percent));
}

void JoinWizard::ElapsedTimer_Timer()
{
    if (m_elapsedSeconds < 32767)
        ++m_elapsedSeconds;
    m_elapsed->setText(TextFormats::timeOfDay(m_elapsedSeconds));
}

void JoinWizard::FinishJoinWizard()
{
    m_timer.stop();
    m_bar->hideBlock();
    if (IsDebugLogActive())
        WriteDebugLog(QStringLiteral("Operation2 Size=") + m_written->text());
    setWindowTitle(QStringLiteral("Join Wizard"));
    m_header->setSubText(QStringLiteral("You may now close this wizard..."));
    m_elapsedTimer.stop();
    m_elapsedCaption->setText(QStringLiteral("Time taken:"));
    const bool outputExists = PathExists(m_output);
    if (m_cancelled)
        m_written->setText(QStringLiteral("[Cancelled]"));
    else if (outputExists)
        m_written->setText(kilobytes(static_cast<double>(FileSystem::fileSize(m_output))));
    const bool finished = !m_cancelled && outputExists && m_outcome.ok;
    setOperation(m_cancelled ? QStringLiteral("Cancelled!") : finished ? QStringLiteral("Finished!") : QStringLiteral("Failed!"));
    if (!m_cancelled && !finished) {
        m_reason->setText(m_outcome.reason.isEmpty() ? QStringLiteral("The encoder wrote no output file.") : m_outcome.reason);
        m_reason->show();
        // The window grows by the reason's line instead of squeezing the frame below it.
        layout()->activate();
        setFixedSize(width(), qMax(height(), sizeHint().height()));
        if (IsDebugLogActive())
            WriteDebugLog(QStringLiteral("Failed: ") + m_reason->text());
    }
    m_value = m_max;
    m_bar->setProgress(1, 1);
    m_cancel->setText(kClose);
    m_cancel->setEnabled(true);
    m_options->setEnabled(!m_cancelled);
    m_ended = true;
}

void JoinWizard::CancelButton_Click()
{
    m_timer.stop();
    if (m_cancel->text() != kCancel) {
        if (m_run->held()) {
            m_run->stop();
            JoinScripts::removeWorkFiles();
        }
        m_run.reset(); // the lock goes with it
        accept();
        return;
    }
    m_cancel->setEnabled(false);
    m_cancelled = true;
    setWindowTitle(QStringLiteral("Join Wizard (Cancelling...)"));
    if (m_run->held()) {
        // A deleted script stops its interpreter after the step it is in (a copy
        // is cut short) and the interpreter ends the encoder it started.
        QFile::remove(JoinScripts::firstScript());
        QFile::remove(JoinScripts::secondScript());
        m_run->waitForEnd(kStopWaitMs);
        m_run->stop(); // whatever of our own run is still there
        JoinScripts::removeWorkFiles();
    }
    const QString temp = m_output + JoinScripts::kTempSuffix;
    // A file another program keeps open is left behind rather than waited for forever.
    JoinScripts::removeWithin({m_output, temp}, kCancelWaitMs,
                              [this] { setWindowTitle(QStringLiteral("Join Wizard (Cancelling...)")); });
    if (m_run->held())
        QDir().rmdir(JoinScripts::workFolder());
    m_cancel->setEnabled(true);
    FinishJoinWizard();
    m_focusHolder->setFocus();
}

QString JoinWizard::operationText() const { return m_operation->text(); }
QString JoinWizard::writtenSizeText() const { return m_written->text(); }
QString JoinWizard::elapsedText() const { return m_elapsed->text(); }
QString JoinWizard::headerSubText() const { return m_header->subText(); }
QString JoinWizard::reasonText() const { return m_reason->isHidden() ? QString() : m_reason->text(); }
QString JoinWizard::cancelCaption() const { return m_cancel->text(); }
bool JoinWizard::optionsEnabled() const { return m_options->isEnabled(); }
bool JoinWizard::bounceVisible() const { return m_bar->bouncing(); }
int JoinWizard::bounceLeft() const { return m_bar->blockLeft(); }

void JoinWizard::closeEvent(QCloseEvent *event)
{
    // The title bar's close acts as the button: Cancel while a join runs, Close after it.
    event->ignore();
    if (m_cancel->isEnabled())
        CancelButton_Click();
}

void JoinWizard::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return; // Esc does not press Cancel
    QDialog::keyPressEvent(event);
}
