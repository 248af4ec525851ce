#pragma once
#include <QVector>
#include <functional>
class FileList;

// Runs work that reads files so that the window keeps painting (the window
// layer's BusyWork); without one, the work runs where it is called.
using BusyRunner = std::function<void(const std::function<void()> &work)>;

// Brings every row's stream facts up to date: rows never probed here (a list
// opened from a file) or whose file changed since are read again, through the
// probe's helper processes, two at a time, and never on the calling thread when
// a runner is given. Returns each row's file size as it is now (-1: gone, or
// no regular file).
QVector<qint64> refreshRowFacts(FileList &list, const BusyRunner &whileBusy);
