#pragma once
#include <QStringList>

// The start-up sequence up to the splash decision; no window involved.
namespace StartUp {

struct Preferences
{
    int tipsShowAtStartup = 0;
    int doNotShowSplash = 0;
};

// True only for exactly one argument "/debug".
bool isDebugSwitch(const QStringList &arguments);

// Steps 1 to 3 and 5: settings folder, debug switch, template copy, preferences.
// arguments exclude the program name.
Preferences run(const QStringList &arguments);

} // namespace StartUp
