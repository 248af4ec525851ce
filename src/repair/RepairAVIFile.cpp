#include "RepairAVIFile.h"
#include "RepairScript.h"
#include "app/AppPaths.h"
#include "app/Dialogs.h"
#include "app/HeaderBand.h"
#include "app/Settings.h"
#include "app/SystemServices.h"
#include "app/Twips.h"
#include "join/JoinScripts.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QThread>
#include <QVBoxLayout>

namespace {
const QString kCancel = QStringLiteral("&Cancel");
const QString kClose = QStringLiteral("&Close");
const QString kTitle = QStringLiteral("Repair AVI File");
} // namespace

RepairAVIFile::RepairAVIFile(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RepairAVIFile"));
    setWindowTitle(kTitle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(new HeaderBand(kTitle, QStringLiteral("Rebuild the index of a damaged AVI file..."),
                                     QStringLiteral(":/icons/properties.svg"), this));
    auto *body = new QVBoxLayout;
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
    auto *bar = new QWidget(frame);
    bar->setFixedSize(twips(kTrackWidth), twips(255));
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setGeometry(0, 0, bar->width(), bar->height());
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_bounceTrack = new QWidget(bar);
    m_bounceTrack->setObjectName(QStringLiteral("picBounceBG"));
    m_bounceTrack->setGeometry(m_progress->geometry());
    m_bounceTrack->setStyleSheet(QStringLiteral("#picBounceBG { background: #f0f0f0; border: 1px solid #b0b8c4; }"));
    m_bounceTrack->hide();
    m_bounceBlock = new QWidget(m_bounceTrack);
    m_bounceBlock->setObjectName(QStringLiteral("picBounce"));
    m_bounceBlock->setGeometry(0, 0, twips(kBlockWidth), twips(255));
    m_bounceBlock->setStyleSheet(QStringLiteral("background: #404040;"));
    frameLayout->addWidget(m_status);
    frameLayout->addWidget(bar);
    m_stack->addWidget(frame);
    body->addWidget(m_stack);

    m_cancel = new QPushButton(kClose, this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    m_repair = new QPushButton(QStringLiteral("&Repair"), this);
    m_repair->setObjectName(QStringLiteral("cmdRepair"));
    m_repair->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &RepairAVIFile::cmdCancel_Click);
    connect(m_repair, &QPushButton::clicked, this, &RepairAVIFile::cmdRepair_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_repair);
    body->addLayout(buttons);
    layout->addLayout(body);

    m_progressTimer.setInterval(1000);
    m_bounceTimer.setInterval(75);
    connect(&m_progressTimer, &QTimer::timeout, this, &RepairAVIFile::ProgressTimer_Timer);
    connect(&m_bounceTimer, &QTimer::timeout, this, &RepairAVIFile::tmrBounce_Timer);
    setFixedSize(sizeHint().expandedTo(QSize(twips(4455) + 40, 0)));
}

void RepairAVIFile::cmdChooseInputFile_Click()
{
    const QString start = Settings::startFolder(SettingsKeys::kAddFiles);
    const QString file = Dialogs::openFile(
        {QStringLiteral("Choose Input File"), start,
         QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*")});
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
    m_repair->setEnabled(false);
    m_cancel->setText(kCancel);
    m_cancelled = false;
    m_value = 0;
    // An empty input still runs; its progress simply stays at 0 %.
    m_max = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(input)));
    m_progress->setValue(0);
    m_stack->setCurrentIndex(1);
    QCoreApplication::processEvents();

    JoinScripts::copyExecutable(JoinScripts::shippedEncoder(), JoinScripts::encoderCopy());
    JoinScripts::copyExecutable(AppPaths::programFolder() + QStringLiteral("/pthreadGC2.dll"), JoinScripts::threadLibCopy());
    if (!PathExists(JoinScripts::workFolder()))
        QDir().mkdir(JoinScripts::workFolder());
    QFile script(JoinScripts::secondScript());
    if (script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        script.write(RepairScript::text(AppPaths::applicationSettingsPath(), input));
    script.close();
    m_progressTimer.start();
    Processes::launchHidden(u'"' + JoinScripts::secondScript() + u'"', AppPaths::programFolder(), AppPaths::programFolder());
}

void RepairAVIFile::resetToIdle()
{
    m_progressTimer.stop();
    m_bounceTimer.stop();
    m_bounceTrack->hide();
    m_bounce = Bounce();
    m_bounceBlock->move(0, 0);
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
    if (!PathExists(JoinScripts::workFolder())) {
        resetToIdle();
        const qint64 size = FileSystem::fileSize(output);
        const bool repaired = !m_cancelled && size > 0;
        if (repaired)
            Dialogs::message(QStringLiteral("The selected AVI File has been repaired successfully!\r\n\r\n"
                                            "The repaired file has been saved to:\r\n")
                                 + output,
                             Dialogs::Icon::Information);
        else
            Dialogs::message(QStringLiteral("An error occured while repairing your AVI File!\r\nThe selected AVI File was not repaired."),
                             Dialogs::Icon::Exclamation);
        Q_EMIT finished(repaired);
    } else if (PathExists(output)) {
        if (m_bounceTrack->isVisibleTo(this)) {
            m_bounceTrack->hide();
            m_bounceTimer.stop();
        }
        const double size = static_cast<double>(qMax<qint64>(0, FileSystem::fileSize(output)));
        m_value = size > m_max ? m_max : size;
        m_progress->setValue(m_max > 0 ? static_cast<int>(m_value / m_max * 1000) : 0);
        setStatus(QStringLiteral("Repairing AVI File (%1%)").arg(RepairScript::percent(m_value, m_max)));
    } else {
        m_bounceTrack->show();
        if (!m_bounceTimer.isActive())
            m_bounceTimer.start();
        setStatus(QStringLiteral("Fixing Index..."));
    }
}

void RepairAVIFile::tmrBounce_Timer()
{
    m_bounce.step(kTrackWidth, kBlockWidth);
    m_bounceBlock->move(twips(m_bounce.left), 0);
}

void RepairAVIFile::cleanUp()
{
    QDir().rmdir(JoinScripts::workFolder());
    QFile::remove(JoinScripts::secondScript());
    if (PathExists(JoinScripts::encoderCopy())) {
        TerminateProcessesByName(QStringLiteral("AVI.exe"));
        QFile::remove(JoinScripts::encoderCopy());
    }
    QFile::remove(JoinScripts::threadLibCopy());
}

void RepairAVIFile::cmdCancel_Click()
{
    cleanUp();
    if (m_cancel->text() != kCancel) {
        accept();
        return;
    }
    m_cancelling = true;
    m_cancelled = true;
    m_cancel->setEnabled(false);
    const QString output = RepairScript::outputFor(m_input->text());
    QElapsedTimer waited;
    waited.start();
    while (PathExists(output) && waited.elapsed() < kCancelWaitMs) {
        setWindowTitle(kTitle + QStringLiteral(" (Cancelling...)"));
        QFile::remove(output);
        QCoreApplication::processEvents();
        if (PathExists(output))
            QThread::msleep(20);
    }
    setWindowTitle(kTitle);
    m_cancel->setEnabled(true);
    m_cancelling = false;
    // The next tick finds the work folder gone and ends the run as not repaired.
}

QString RepairAVIFile::statusText() const { return m_status->text(); }
QString RepairAVIFile::cancelCaption() const { return m_cancel->text(); }
bool RepairAVIFile::running() const { return m_cancel->text() == kCancel; }
bool RepairAVIFile::bounceVisible() const { return m_bounceTrack->isVisibleTo(this); }
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
