#pragma once
#include <QList>
#include <QRect>

// The main window's place, size and column widths between runs, in
// Settings.ini [Window]; written when the user changes them, never at the end.
namespace WindowMemory {

struct Saved
{
    QRect geometry; // empty: nothing saved
    bool maximized = false;
    QList<int> columns; // one width per column; empty: nothing saved
};
Saved read();
void writeGeometry(const QRect &geometry, bool maximized);
void writeColumns(const QList<int> &widths);

// Where a saved frame goes on the screens there are now: kept when it lies on
// one of them, otherwise moved onto the first, and never larger than that screen
// nor smaller than minimum.
QRect placeOnScreens(const QRect &saved, const QList<QRect> &screens, const QSize &minimum);

} // namespace WindowMemory
