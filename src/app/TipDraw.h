#pragma once

// The tip of the day drawn for a random fraction r (0 <= r < 1): Count x r in
// single precision, rounded half to even; 0 becomes 1.
namespace TipDraw {
int tipNumber(int count, double r);
}
