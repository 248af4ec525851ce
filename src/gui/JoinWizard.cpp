#include "JoinWizard.h"
#include "BounceBar.h"
#include "gui/HeaderBand.h"
#include "app/Shell.h"
#include "app/TextFormats.h"
#include "gui/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCancel = QStringLiteral("&Cancel");
const QString kClose = QStringLiteral("&Close");
} // namespace

JoinWizard::JoinWizard(const JoinPlan &plan, QWidget *parent, std::shared_ptr<RunSession> run)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_job(JoinRun::create(std::move(run), plan))
{
    setObjectName(QStringLiteral("JoinWizard"));
    setWindowTitle(QStringLiteral("Join Wizard"));
    setModal(true);

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
    QAction *launch = m_optionsMenu->addAction(QStringLiteral("&Launch File"), this, [this] { Shell::open(m_job->output()); });
    launch->setObjectName(QStringLiteral("OptionsLaunchFile"));
    QAction *folder = m_optionsMenu->addAction(QStringLiteral("&Open Folder"), this, [this] { Shell::showInFolder(m_job->output()); });
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
    setOperation(JoinRun::caption(JoinRun::Phase::Copying));
    m_elapsedSeconds = 0;
    m_job->start();
    m_timer.start();
    m_elapsedTimer.start();
}

JoinWizard::~JoinWizard() = default;

void JoinWizard::setOperation(const QString &text)
{
    if (m_operation->text() == text)
        return;
    m_operation->setText(text);
    Q_EMIT operationChanged(text);
}

void JoinWizard::Timer_Timer()
{
    const JoinRun::Phase before = m_job->phase();
    m_job->tick();
    const JoinRun::Phase now = m_job->phase();
    if (now == JoinRun::Phase::Ended) {
        FinishJoinWizard();
        return;
    }
    if (before == JoinRun::Phase::Copying && now != JoinRun::Phase::Copying) {
        setOperation(JoinRun::caption(JoinRun::Phase::Writing));
        m_bar->setProgress(0, m_job->maximum());
        m_written->setText(QStringLiteral("0 KB"));
    }
    if (now == JoinRun::Phase::Indexing) {
        setOperation(JoinRun::caption(now));
        m_bar->startBouncing();
    } else if (now == JoinRun::Phase::Writing) {
        setOperation(JoinRun::caption(now));
        m_bar->stopBouncing();
    }
    if (m_job->measured())
        showProgress();
}

void JoinWizard::showProgress()
{
    m_written->setText(m_job->writtenText());
    const double max = m_job->maximum();
    m_bar->setProgress(m_job->progress(), max);
    // A maximum of 0 (sizes that read as 0) shows 0 % instead of dividing by zero.
    const qint64 percent = max > 0 ? TextFormats::roundHalfEven(static_cast<float>(m_job->progress() / max * 100)) : 0;
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
    m_bar->stopBouncing(); // the writer ends in its index phase, with no writing phase to stop it
    m_bar->hideBlock();
    setWindowTitle(QStringLiteral("Join Wizard"));
    m_header->setSubText(QStringLiteral("You may now close this wizard..."));
    m_elapsedTimer.stop();
    m_elapsedCaption->setText(QStringLiteral("Time taken:"));
    const RunStatus &status = m_job->status();
    m_written->setText(m_job->writtenText());
    setOperation(status.words());
    if (!status.detail.isEmpty()) {
        m_reason->setText(status.detail);
        m_reason->show();
        // The window grows by the reason's line instead of squeezing the frame below it.
        layout()->activate();
        setFixedSize(width(), qMax(height(), sizeHint().height()));
    }
    m_bar->setProgress(1, 1);
    m_cancel->setText(kClose);
    m_cancel->setEnabled(true);
    m_options->setEnabled(status.state != RunStatus::State::Cancelled);
    m_ended = true;
}

void JoinWizard::CancelButton_Click()
{
    m_timer.stop();
    if (m_ended) {
        m_job->close();
        accept();
        return;
    }
    m_cancel->setEnabled(false);
    setWindowTitle(QStringLiteral("Join Wizard (Cancelling...)"));
    m_job->cancel([this] { setWindowTitle(QStringLiteral("Join Wizard (Cancelling...)")); });
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
