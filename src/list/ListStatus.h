#pragma once
#include <QString>

// The last compatibility result: none before the first check, then Red or Green.
enum class ListStatus { None, Red, Green };

// "Green", "Red", or empty: as the explanation and the list information write it.
inline QString statusText(ListStatus status)
{
    return status == ListStatus::Green ? QStringLiteral("Green") : status == ListStatus::Red ? QStringLiteral("Red") : QString();
}
