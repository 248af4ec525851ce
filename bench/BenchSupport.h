#pragma once
// What every benchmark sets up, and the process figures they print.
#include "compat/CheckCompatibility.h"
#include "list/UpdateListTotals.h"

#include <QLocale>
#include <sys/resource.h>

// The program's status check and a fixed locale, as start-up installs them.
inline void benchDefaults()
{
    setStatusCheck(&CheckCompatibility);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// CPU seconds of this process, and with children also of its reaped children.
inline double cpuSeconds(bool children = false)
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        if (who == RUSAGE_CHILDREN && !children)
            break;
        rusage u{};
        ::getrusage(who, &u);
        total += static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

inline long peakMegabytes()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}
