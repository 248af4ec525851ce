#pragma once
#include <QtGlobal>

// Positions and sizes of the window design are in twips: 15 twips a pixel.
inline int twips(int t) { return qRound(t / 15.0); }
inline int toTwips(int pixels) { return pixels * 15; }
