#include "MainWindowLayout.h"

MainWindowLayout::Result MainWindowLayout::arrange(const Design &d, int w, int h)
{
    Result r{d.listView, d.controlPanel, d.infoPanel};
    r.controlPanel.moveLeft(w - d.controlPanel.width() - 100);
    r.infoPanel.moveTop(h - d.infoPanel.height() - 380);
    r.infoPanel.setWidth(w - 170);
    r.listView.setWidth(w - d.controlPanel.width() - 270);
    r.listView.setHeight(h - d.toolbarHeight - d.infoPanel.height() - 450);
    return r;
}
