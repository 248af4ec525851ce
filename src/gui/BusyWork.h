#pragma once
#include <functional>

// Runs work on a thread of its own and returns when it is done. Meanwhile the
// windows keep painting and timers run, but no click or key is taken (a wait
// cursor says why), and the main window ignores its close box. Work must not
// touch widgets.
void runWhileBusy(const std::function<void()> &work);
// True while runWhileBusy waits for its work.
bool IsBusy();
