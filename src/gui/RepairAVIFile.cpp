#include "join/Engines.h"
#include "RepairAVIFile.h"
#include "app/AppPaths.h"
#include "app/Dialogs.h"
#include "gui/HeaderBand.h"
#include "app/Settings.h"
#include "app/SupportedFiles.h"
#include "app/SystemServices.h"
#include "gui/Twips.h"
#include "gui/BounceBar.h"
#include "join/RunSession.h"
#include "repair/RepairChecks.h"
#include "repair/StartRepair.h"
#include "repair/RepairRun.h"
#include "join/RepairScript.h"
#include "gui/BusyWork.h"
#include "platform/PathRules.h"

#include <QCloseEvent>
#include <QCoreApplication>
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
    if (const QString problem = RepairChecks::inputProblem(input); !problem.isEmpty()) {
        Dialogs::message(problem, Dialogs::Icon::Exclamation);
        m_input->setFocus();
        return;
    }
    const Engine *engine = &Engines::configured();
    std::unique_ptr<RunSession> lock;
    // The input is read off the window's thread.
    if (StartRepair(input, RepairScript::outputFor(input), engine, &runWhileBusy, lock) != StartRepairResult::Ready)
        return;
    m_run = std::make_unique<RepairRun>(std::move(lock), input, *engine);
    m_repair->setEnabled(false);
    m_cancel->setText(kCancel);
    m_percent = 0;
    m_bar->setProgress(0, m_run->maximum());
    m_stack->setCurrentIndex(1);
    QCoreApplication::processEvents();
    m_run->start();
    m_progressTimer.start();
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
    if (m_cancelling || !m_run)
        return; // a tick during the cancel could take a partial output for a result
    m_run->tick();
    switch (m_run->phase()) {
    case RepairRun::Phase::Ended: {
        const RunStatus status = m_run->status();
        const QString output = m_run->output();
        m_run.reset();
        resetToIdle();
        const bool repaired = status.state == RunStatus::State::Finished;
        if (repaired)
            Dialogs::message(RepairChecks::repairedMessage(output) + (status.detail.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + status.detail),
                             Dialogs::Icon::Information);
        else
            Dialogs::message(RepairChecks::notRepairedMessage(status.detail), Dialogs::Icon::Exclamation);
        Q_EMIT finished(repaired);
        break;
    }
    case RepairRun::Phase::Writing:
        m_bar->stopBouncing();
        m_bar->setProgress(m_run->progress(), m_run->maximum());
        m_percent = m_run->percent();
        setStatus(QStringLiteral("Repairing AVI File (%1%)").arg(m_percent));
        break;
    case RepairRun::Phase::Indexing:
    case RepairRun::Phase::Starting:
        m_bar->startBouncing();
        setStatus(QStringLiteral("Fixing Index..."));
        break;
    }
}

void RepairAVIFile::cmdCancel_Click()
{
    if (!m_run) {
        // Left-overs go only when no other window's run is using them.
        RunSession::removeLeftovers(AppPaths::applicationSettingsPath());
        accept();
        return;
    }
    m_cancelling = true;
    m_cancel->setEnabled(false);
    setWindowTitle(kTitle + QStringLiteral(" (Cancelling...)"));
    m_run->cancel([this] { setWindowTitle(kTitle + QStringLiteral(" (Cancelling...)")); });
    setWindowTitle(kTitle);
    m_cancel->setEnabled(true);
    m_cancelling = false;
    // The next tick finds the run ended and shows it as not repaired.
}

QString RepairAVIFile::statusText() const { return m_status->text(); }
QString RepairAVIFile::cancelCaption() const { return m_cancel->text(); }
bool RepairAVIFile::running() const { return m_run != nullptr; }
bool RepairAVIFile::bounceVisible() const { return m_bar->bouncing(); }
int RepairAVIFile::progressPercent() const { return m_percent; }

void RepairAVIFile::reject() { cmdCancel_Click(); }

void RepairAVIFile::closeEvent(QCloseEvent *event)
{
    // From the title bar too: a running repair is cancelled first, so its
    // script cannot remove the work folder later under a join's feet.
    event->ignore();
    if (m_cancel->isEnabled())
        cmdCancel_Click();
}
