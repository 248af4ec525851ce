#pragma once
#include <functional>

// Runs work on a thread of its own and returns when it is done. Meanwhile the
// windows keep painting and timers run, but no click or key is taken (a wait
// cursor says why); work must not touch widgets.
void RunWhileBusy(const std::function<void()> &work);
