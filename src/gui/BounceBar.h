#pragma once
#include "Bounce.h"

#include <QTimer>
#include <QWidget>
class QProgressBar;

// A progress bar that a bouncing block covers while the encoder scans for
// the index and no size can be measured yet (picBounceBG, picBounce, tmrBounce).
class BounceBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTrackWidth = 4455, kBlockWidth = 375, kHeight = 255; // twips
    explicit BounceBar(QWidget *parent = nullptr);

    // value of max; a max of 0 shows an empty bar instead of dividing by zero.
    void setProgress(double value, double max);
    void startBouncing();
    void stopBouncing();
    void reset();     // track hidden, block back at the left, moving right
    void hideBlock(); // the end of a join: the track keeps its visibility
    bool bouncing() const;
    int blockLeft() const { return m_bounce.left; }
    void tmrBounce_Timer();

private:
    QProgressBar *m_progress;
    QWidget *m_track, *m_block;
    QTimer m_timer;
    Bounce m_bounce;
};
