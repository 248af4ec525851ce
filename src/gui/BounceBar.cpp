#include "BounceBar.h"
#include "gui/Twips.h"

#include <QProgressBar>

BounceBar::BounceBar(QWidget *parent) : QWidget(parent)
{
    setFixedSize(twips(kTrackWidth), twips(kHeight));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setGeometry(rect());
    m_progress->setRange(0, 1000); // sizes beyond 2 GiB do not fit an int: the bar shows thousandths
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_track = new QWidget(this);
    m_track->setObjectName(QStringLiteral("picBounceBG"));
    m_track->setGeometry(rect());
    m_track->setStyleSheet(QStringLiteral("#picBounceBG { background: #f0f0f0; border: 1px solid #b0b8c4; }"));
    m_track->hide();
    m_block = new QWidget(m_track);
    m_block->setObjectName(QStringLiteral("picBounce"));
    m_block->setGeometry(0, 0, twips(kBlockWidth), twips(kHeight));
    m_block->setStyleSheet(QStringLiteral("background: #404040;"));
    m_timer.setInterval(75);
    connect(&m_timer, &QTimer::timeout, this, &BounceBar::tmrBounce_Timer);
}

void BounceBar::setProgress(double value, double max)
{
    m_progress->setValue(max > 0 ? static_cast<int>(qBound(0.0, value / max, 1.0) * 1000) : 0);
}

void BounceBar::startBouncing()
{
    m_track->show();
    if (!m_timer.isActive())
        m_timer.start();
}

void BounceBar::stopBouncing()
{
    m_track->hide();
    m_timer.stop();
}

void BounceBar::reset()
{
    stopBouncing();
    m_bounce = Bounce();
    m_block->move(0, 0);
}

void BounceBar::hideBlock()
{
    m_timer.stop();
    m_block->hide();
}

bool BounceBar::bouncing() const { return m_track->isVisibleTo(window()); }

void BounceBar::tmrBounce_Timer()
{
    m_bounce.step(kTrackWidth, kBlockWidth);
    m_block->move(twips(m_bounce.left), 0);
}
