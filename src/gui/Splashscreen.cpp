#include "Splashscreen.h"
#include "Resources.h"
#include "app/Shell.h"
#include "app/StartUp.h"
#include "app/Version.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>

Splashscreen::Splashscreen(std::function<void()> closeSplash, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_closeSplash(std::move(closeSplash))
{
    ensureResources();
    setObjectName(QStringLiteral("Splashscreen"));
    setFixedSize(480, 300);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(200, 24, 20, 16);
    auto *title = new QLabel(QStringLiteral("<span style='font-size:24pt;font-weight:600;color:#ffffff'>Tapeweld</span>"));
    m_version = new QLabel(QStringLiteral("Version:"));
    m_version->setObjectName(QStringLiteral("VersionLabel"));
    auto *visit = new QLabel(QStringLiteral("Visit us at:"));
    visit->setObjectName(QStringLiteral("VisitUsAtLabel"));
    auto *link = new QLabel(QStringLiteral("<a style='color:#ffe08a' href='%1'>%1</a>").arg(Version::kWebAddress));
    link->setObjectName(QStringLiteral("VisitUsAtValue"));
    connect(link, &QLabel::linkActivated, this, [](const QString &url) { Shell::open(url); });
    auto *disclaimerLabel = new QLabel(QStringLiteral("Disclaimer:"));
    disclaimerLabel->setObjectName(QStringLiteral("DisclaimerLabel"));
    auto *disclaimer = new QLabel(QStringLiteral(
        "Tapeweld is free to use and to pass on unchanged. It is provided as is, without any warranty: keep copies "
        "of videos you cannot replace."));
    disclaimer->setObjectName(QStringLiteral("DisclaimerValue"));
    disclaimer->setWordWrap(true);
    for (QLabel *l : {m_version, visit, disclaimerLabel, disclaimer})
        l->setStyleSheet(QStringLiteral("color:#e8eef6"));
    layout->addWidget(title);
    layout->addWidget(m_version);
    layout->addSpacing(12);
    layout->addWidget(visit);
    layout->addWidget(link);
    layout->addSpacing(12);
    layout->addWidget(disclaimerLabel);
    layout->addWidget(disclaimer);
    layout->addStretch();

    m_timer.setInterval(2000);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Splashscreen::Timer_Timer);
}

bool Splashscreen::load(const QStringList &arguments, bool *showTips)
{
    const StartUp::Preferences prefs = StartUp::run(arguments);
    m_version->setText(QStringLiteral("Version: ") + Version::text());
    if (showTips)
        *showTips = prefs.tipsShowAtStartup == 1;
    if (prefs.doNotShowSplash == 1) {
        Timer_Timer();
        return false;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_timer.start();
    return true;
}

void Splashscreen::Timer_Timer()
{
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    close();
    if (m_closeSplash)
        m_closeSplash();
}

void Splashscreen::mousePressEvent(QMouseEvent *event)
{
    // Only the window's own surface counts, not its labels.
    if (!childAt(event->position().toPoint()))
        Timer_Timer();
}

void Splashscreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(0x1f, 0x3a, 0x5c));
    g.setColorAt(1, QColor(0x0e, 0x1b, 0x2b));
    p.fillRect(rect(), g);
    QSvgRenderer art(QStringLiteral(":/icons/tapeweld.svg"));
    art.render(&p, QRectF(30, 60, 150, 150));
}
