#include "RepairAVIFile.h"
#include "repair/RepairScript.h"
#include "app/AppPaths.h"
#include "app/Dialogs.h"
#include "gui/HeaderBand.h"
#include "app/Settings.h"
#include "app/SupportedFiles.h"
#include "app/SystemServices.h"
#include "gui/Twips.h"
#include "gui/BounceBar.h"
#include "join/JoinOutcome.h"
#include "join/JoinScripts.h"
#include "join/ScriptRun.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const QString kCancel = QStringLiteral("&Cancel");
const QString kClose = QStringLiteral("&Close");
const QString kTitle = QStringLiteral("Repair AVI File");
} // namespace

RepairAVIFile::RepairAVIFile(QWidget *parent) : QDialog(parent)
{
    QVBoxLayout *body = addHeaderAndBody(this, QStringLiteral("RepairAVIFile"), kTitle, QStringLiteral("Rebuild the index of a damaged AVI file..."),
                                         QStringLiteral(":/icons/properties.svg"));
    body->setContentsMargins(16, 10, 16, 0);
    m_stack = new QStackedWidget(this);
    m_stack->setFixedHeight(twips(735) + 16);

    auto *idle = new QWidget(m_stack);
    auto *idleLayout = new QVBoxLayout(idle);
    idleLayout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Please, select the AVI file you wish to repair:"), idle);
    label->setObjectName(QStringLiteral("lblInputFile"));
    m_input = new QLineEdit(idle);
    m_input->setObjectName(QStringLiteral("txtInputFile"));
    auto *choose = new QPushButton(QStringLiteral("..."), idle);
    choose->setObjectName(QStringLiteral("cmdChooseInputFile"));
    choose->setFixedWidth(32);
    connect(choose, &QPushButton::clicked, this, &RepairAVIFile::cmdChooseInputFile_Click);
    auto *row = new QHBoxLayout;
    row->addWidget(m_input);
    row->addWidget(choose);
    idleLayout->addWidget(label);
    idleLayout->addLayout(row);
    m_stack->addWidget(idle);

    auto *frame = new QWidget(m_stack);
    frame->setObjectName(QStringLiteral("ProgressFrame"));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel(QStringLiteral("Initializing..."), frame);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_bar = new BounceBar(frame);
    frameLayout->addWidget(m_status);
    frameLayout->addWidget(m_bar);
    m_stack->addWidget(frame);
    body->addWidget(m_stack);

    m_cancel = namedButton(QStringLiteral("cmdCancel"), kClose, this);
    m_cancel->setAutoDefault(false);
    m_repair = namedButton(QStringLiteral("cmdRepair"), QStringLiteral("&Repair"), this);
    m_repair->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &RepairAVIFile::cmdCancel_Click);
    connect(m_repair, &QPushButton::clicked, this, &RepairAVIFile::cmdRepair_Click);
    addButtonRow(body, {}, {m_cancel, m_repair});

    m_progressTimer.setInterval(1000);
    connect(&m_progressTimer, &QTimer::timeout, this, &RepairAVIFile::ProgressTimer_Timer);
    setFixedSize(sizeHint().expandedTo(QSize(twips(BounceBar::kTrackWidth) + 40, 0)));
}

RepairAVIFile::~RepairAVIFile() = default;

void RepairAVIFile::cmdChooseInputFile_Click()
{
    const QString start = Settings::startFolder(SettingsKeys::kAddFiles);
    const QString file = Dialogs::openFile(
        {QStringLiteral("Choose Input File"), start,
         SupportedFiles::kFilter});
    if (file.isEmpty())
        return;
    Settings::rememberFolder(SettingsKeys::kAddFiles, start, file);
    m_input->setText(file);
    m_input->setCursorPosition(static_cast<int>(file.size()));
    m_input->setFocus();
}

void RepairAVIFile::setStatus(const QString &text)
{
    if (m_status->text() == text)
        return;
    m_status->setText(text);
    Q_EMIT statusChanged(text);
}

void RepairAVIFile::cmdRepair_Click()
{
    const QString input = m_input->text();
    if (!PathExists(input)) {
        Dialogs::message(QStringLiteral("Please, choose a valid AVI File."), Dialogs::Icon::Exclamation);
        m_input->setFocus();
        return;
    }
    if (const QString problem = PathRules::scriptProblem(input); !problem.isEmpty()) {
        Dialogs::message(QStringLiteral("This file's name holds ") + problem
                             + QStringLiteral(", which the repair script cannot carry.\r\nPlease, rename the file and try again."),
                         Dialogs::Icon::Exclamation);
        m_input->setFocus();
        return;
    }
    const QString settingsPath = AppPaths::applicationSettingsPath();
    if (const QString problem = ScriptRun::settingsFolderProblem(QStringLiteral("repair"), QStringLiteral("the repair script"));
        !problem.isEmpty()) {
        Dialogs::message(problem, Dialogs::Icon::Critical);
        return;
    }
    // One join or repair at a time per user, across windows and instances.
    auto run = std::make_unique<ScriptRun>(settingsPath);
    if (!run->acquire()) {
        Dialogs::message(ScriptRun::busyMessage(), Dialogs::Icon::Exclamation);
        return;
    }
    m_run = std::move(run);
    m_repair->setEnabled(false);
    m_cancel->setText(kCancel);
    m_cancelled = false;
    m_value = 0;
    // An empty input still runs; its progress simply stays at 0 %.
    m_max = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(input)));
    m_bar->setProgress(0, m_max);
    m_stack->setCurrentIndex(1);
    QCoreApplication::processEvents();

    JoinScripts::copyExecutable(JoinScripts::shippedEncoder(), JoinScripts::encoderCopy());
    JoinScripts::copyExecutable(AppPaths::programFolder() + QStringLiteral("/pthreadGC2.dll"), JoinScripts::threadLibCopy());
    if (!PathExists(JoinScripts::workFolder()))
        QDir().mkdir(JoinScripts::workFolder());
    JoinScripts::writeScript(JoinScripts::secondScript(), RepairScript::text(settingsPath, input));
    m_progressTimer.start();
    m_started = m_run->start(JoinScripts::secondScript());
    if (!m_started)
        QDir().rmdir(JoinScripts::workFolder()); // the next tick ends the run as not repaired
}

void RepairAVIFile::resetToIdle()
{
    m_progressTimer.stop();
    m_bar->reset();
    m_stack->setCurrentIndex(0);
    setStatus(QStringLiteral("Initializing..."));
    m_repair->setEnabled(true);
    m_cancel->setText(kClose);
}

void RepairAVIFile::ProgressTimer_Timer()
{
    if (m_cancelling)
        return; // a tick during the cancel could take a partial output for a result
    const QString output = RepairScript::outputFor(m_input->text());
    const bool ended = !PathExists(JoinScripts::workFolder()) || !m_run || (m_started && !m_run->running());
    if (ended) {
        if (m_run && m_run->held())
            QDir().rmdir(JoinScripts::workFolder());
        const JoinOutcome::Result result =
            m_cancelled ? JoinOutcome::Result{false, QString(), QString()}
                        : JoinOutcome::checkRepair(m_input->text(), output, ScriptRun::errorLogOf(JoinScripts::secondScript()));
        m_run.reset(); // the lock: another window may join or repair now
        resetToIdle();
        if (result.ok)
            Dialogs::message(QStringLiteral("The selected AVI File has been repaired successfully!\r\n\r\n"
                                            "The repaired file has been saved to:\r\n")
                                 + output,
                             Dialogs::Icon::Information);
        else
            Dialogs::message(QStringLiteral("An error occured while repairing your AVI File!\r\nThe selected AVI File was not repaired.")
                                 + (result.reason.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + result.reason),
                             Dialogs::Icon::Exclamation);
        Q_EMIT finished(result.ok);
    } else if (PathExists(output)) {
        m_bar->stopBouncing();
        const double size = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(output)));
        m_value = size > m_max ? m_max : size;
        m_bar->setProgress(m_value, m_max);
        setStatus(QStringLiteral("Repairing AVI File (%1%)").arg(RepairScript::percent(m_value, m_max)));
    } else {
        m_bar->startBouncing();
        setStatus(QStringLiteral("Fixing Index..."));
    }
}

void RepairAVIFile::cmdCancel_Click()
{
    if (m_cancel->text() != kCancel) {
        // Left-overs go only when no other window's run is using them.
        ScriptRun cleanup(AppPaths::applicationSettingsPath());
        if (cleanup.acquire())
            JoinScripts::removeWorkFiles();
        accept();
        return;
    }
    m_cancelling = true;
    m_cancelled = true;
    m_cancel->setEnabled(false);
    setWindowTitle(kTitle + QStringLiteral(" (Cancelling...)"));
    if (m_run && m_run->held()) {
        // The interpreter sees its script gone and ends the encoder it started.
        QFile::remove(JoinScripts::secondScript());
        m_run->waitForEnd(kStopWaitMs);
        m_run->stop();
        JoinScripts::removeWorkFiles();
    }
    const QString output = RepairScript::outputFor(m_input->text());
    JoinScripts::removeWithin({output}, kCancelWaitMs,
                              [this] { setWindowTitle(kTitle + QStringLiteral(" (Cancelling...)")); });
    setWindowTitle(kTitle);
    m_cancel->setEnabled(true);
    m_cancelling = false;
    // The next tick finds the work folder gone and ends the run as not repaired.
}

QString RepairAVIFile::statusText() const { return m_status->text(); }
QString RepairAVIFile::cancelCaption() const { return m_cancel->text(); }
bool RepairAVIFile::running() const { return m_cancel->text() == kCancel; }
bool RepairAVIFile::bounceVisible() const { return m_bar->bouncing(); }
int RepairAVIFile::progressPercent() const { return RepairScript::percent(m_value, m_max); }

void RepairAVIFile::reject() { cmdCancel_Click(); }

void RepairAVIFile::closeEvent(QCloseEvent *event)
{
    // From the title bar too: a running repair is cancelled first, so its
    // script cannot remove the work folder later under a join's feet.
    event->ignore();
    if (m_cancel->isEnabled())
        cmdCancel_Click();
}
