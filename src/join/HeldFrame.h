#pragma once
#include <QByteArray>

// What the writer puts in where a part's picture must be held while its sound
// plays on: a frame that shows the picture before it again. An empty chunk does
// that too, but players that drop empty frames freeze or lose step on them.
namespace HeldFrame {

enum class Kind {
    Empty,    // an empty chunk: the codec has no frame that repeats another
    Repeat,   // the last frame again: every frame of the codec stands alone
    NotCoded, // MPEG-4 part 2: a picture that codes nothing (vop_coded 0)
};
Kind kindFor(quint32 compression);

// An MPEG-4 part 2 picture that codes nothing, for the stream whose video
// object layer header lies in header (a stream's extra data or its first
// frame); empty when no such header is found.
QByteArray notCoded(const QByteArray &header);

} // namespace HeldFrame
