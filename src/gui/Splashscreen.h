#pragma once
#include <QTimer>
#include <QWidget>
#include <functional>
class QLabel;

// The start-up window: runs the start-up sequence and hands over to the main
// window after 2000 ms or a click on its surface, exactly once.
class Splashscreen : public QWidget
{
    Q_OBJECT
public:
    // closeSplash runs once, when the splash ends (or at once when it is skipped).
    explicit Splashscreen(std::function<void()> closeSplash, QWidget *parent = nullptr);
    QLabel *versionLabel() const { return m_version; }
    bool timerRunning() const { return m_timer.isActive(); } // it would close the splash and open the window
    // Runs start-up; returns true when the splash is to be displayed.
    bool load(const QStringList &arguments, bool *showTips);
    void Timer_Timer();

protected:
    void mousePressEvent(class QMouseEvent *event) override;
    void paintEvent(class QPaintEvent *event) override;

private:
    std::function<void()> m_closeSplash;
    QTimer m_timer;
    QLabel *m_version;
    bool m_done = false;
};
