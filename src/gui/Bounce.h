#pragma once
#include <QString>

// One 75 ms step of the bouncing block (twips): 75 to the right or left,
// turning at either end of the track.
struct Bounce
{
    int left = 0;
    QString tag = QStringLiteral("moveright");
    void step(int trackWidth, int blockWidth)
    {
        left += tag == QStringLiteral("moveright") ? 75 : -75;
        if (left > trackWidth - blockWidth - 75) {
            left = trackWidth - blockWidth;
            tag = QStringLiteral("moveleft");
        } else if (left < 0) {
            left = 0;
            tag = QStringLiteral("moveright");
        }
    }
};
