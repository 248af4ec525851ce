#pragma once
#include <QtGlobal>
#include <optional>

// Which frames of a video stream are key frames, read from the frames
// themselves where no index says: the published bitstream headers of the
// codecs users meet in AVI files. A seek lands on a key frame, so a flag
// set wrong shows a broken picture there.
namespace Avi::KeyFrames {

enum class Rule {
    Unknown, // its frames do not say: only an index can
    AllKey,  // every picture stands alone (MJPEG, HuffYUV, DV, raw ...)
    Read,    // each frame's header says
};
Rule ruleFor(quint32 compression);
// XVID, DIVX, DX50, FMP4 and kin: MPEG-4 part 2 video.
bool isMpeg4Part2(quint32 compression);

// How many of a frame's first bytes the rules need at most.
inline constexpr qint64 kBytesNeeded = 1024;

// Whether a frame is a key frame, from its first bytes (head, n of them, of a
// frame of size bytes); nullopt when its codec's frames do not say.
std::optional<bool> isKey(quint32 compression, const char *head, qint64 n, qint64 size);

} // namespace Avi::KeyFrames
