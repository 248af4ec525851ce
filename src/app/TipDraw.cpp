#include "TipDraw.h"

#include <cmath>

int TipDraw::tipNumber(int count, double r)
{
    const float product = static_cast<float>(count) * static_cast<float>(r);
    const int n = static_cast<int>(std::nearbyint(product));
    return n == 0 ? 1 : n;
}
