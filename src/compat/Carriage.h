#pragma once
#include "avi/Riff.h"

#include <QString>
#include <QStringList>

// What a join's writer keeps of its parts, as the checks need to know it: they
// ask only about what it will not carry.
struct Carriage
{
    QString who;                 // how the questions name it: "encoder", "writer"
    bool everySoundTrack = false; // keeps every sound track of row 1 (else only the first)
    bool text = false;           // keeps text streams
    bool filesByKind = false;    // files a chunk under row 1's stream of its kind (else by stream number)
    bool fillsSeams = false;     // puts silence or empty frames where sound and picture drift apart
    bool readsPartsApart = false; // reads each part by its own chunks (else the parts byte for byte, one after the other)
    bool retimesSound = false;    // times constant-rate sound by its bytes where the parts time it differently
    // Whether it keeps each frame's key flag. One that does not marks key every
    // frame of every codec but these, whose key frames it reads from the pictures.
    bool keepsKeyFrames = true;
    QStringList keyFramesReadOf;

    bool losesKeyFrames(quint32 compression) const
    {
        return !keepsKeyFrames && !keyFramesReadOf.contains(Riff::tagText(compression), Qt::CaseInsensitive);
    }
};
