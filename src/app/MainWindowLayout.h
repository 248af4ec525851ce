#pragma once
#include <QRect>

// Where the main window's resizable controls go, in twips, for an inner
// (client) size W x H. Left and top of the list and the panel's top stay as designed.
namespace MainWindowLayout {
struct Design
{
    int toolbarHeight;
    QRect listView;     // design rectangle
    QRect controlPanel; // design rectangle
    QRect infoPanel;    // design rectangle
};
struct Result
{
    QRect listView, controlPanel, infoPanel;
};
Result arrange(const Design &design, int innerWidth, int innerHeight);

// The minimum-size rule: an inner height of 5040 or less snaps the outer
// height to 5850, an inner width of 6615 or less the outer width to 6735.
inline constexpr int kSnapInnerHeight = 5040, kOuterHeight = 5850;
inline constexpr int kSnapInnerWidth = 6615, kOuterWidth = 6735;
} // namespace MainWindowLayout
