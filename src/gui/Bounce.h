#pragma once

// One 75 ms step of the bouncing block (twips): 75 to the right or left,
// turning at either end of the track.
struct Bounce
{
    enum class Direction { Right, Left }; // the timer's Tag, "moveright" and "moveleft"
    int left = 0;
    Direction direction = Direction::Right;
    void step(int trackWidth, int blockWidth)
    {
        left += direction == Direction::Right ? 75 : -75;
        if (left > trackWidth - blockWidth - 75) {
            left = trackWidth - blockWidth;
            direction = Direction::Left;
        } else if (left < 0) {
            left = 0;
            direction = Direction::Right;
        }
    }
};
