#pragma once
#include "avi/AviSummary.h"

#include <QVector>

// How far each part's sound runs from its picture, seam by seam, and what a
// writer that keeps them in step puts in between: empty video frames where the
// sound ran longer, silence where it ran shorter. The checks before a join and
// the built-in writer use the same plan, so the question names exactly the
// shifts the output will keep.
namespace SyncPlan {

inline constexpr double kTolerance = 0.15; // seconds a seam may drift before it is worth a word

// Silence of this sound format can be written without re-encoding: PCM, MP3.
bool canFill(const Avi::StreamSummary &sound);

// What a header's timing may say and still be believed: a frame (of picture,
// or of sound stored a frame a chunk) of 1 ms to 10 s, a sample or byte of
// sound of at least 0.1 us (10 MHz). A part whose header says otherwise lies
// about its length and counts as in step: no seam gets a fill from it.
inline constexpr double kShortestFrame = 0.001, kShortestSample = 1e-7, kLongestTick = 10;
bool timed(const Avi::StreamSummary &stream);
// Sound of a constant byte rate (AC-3, DTS), whose chunks play by their bytes
// however they are cut: a writer may time the whole stream by its bytes.
bool constantRate(const Avi::StreamSummary &sound);
// How a sound stream's chunks are timed: a frame a chunk (sample size 0) or as a stream of bytes.
inline bool framePerChunk(const Avi::StreamSummary &sound) { return sound.sampleSize == 0; }

struct Seam
{
    int row = 0;             // the part that starts at this seam (2 or more)
    qint64 dropFrames = 0;   // empty video frames put before it
    double frameSeconds = 0; // how long one of them plays
    QVector<double> silence; // seconds of silence put before it, per sound track of row 1
    QVector<double> shift;   // per sound track: where its sound starts against its picture, after the fill (> 0: late)
};

// The seams of a join of rows (row 1's streams are the output's); fill says
// whether the writer pads (the built-in writer) or copies only (the encoder).
// A part whose streams cannot be timed counts as in step. A seam gets at most
// as many empty frames as the part before it has sound, and at most as much
// silence as it has picture.
QVector<Seam> plan(const QVector<Avi::Summary> &rows, bool fill);

// The first seam whose shift passes the tolerance on any track, or null.
const Seam *firstShifted(const QVector<Seam> &seams, int *track = nullptr);

// "1.5 s", "12 s": how far a seam moved, without its sign.
QString secondsText(double seconds);

// "Part 3's sound starts 1.5 s before its picture." for every seam that moved.
QStringList shiftLines(const QVector<Seam> &seams);
// What a writer that fills put in, one line a seam that got more than the
// tolerance (smaller fills are the sound's own framing, worth no word):
// "Before part 3 the writer put in 1.500 s of silence."
QStringList fillLines(const QVector<Seam> &seams);

} // namespace SyncPlan
