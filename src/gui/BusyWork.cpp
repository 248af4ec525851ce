#include "BusyWork.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <thread>

namespace {
int busy = 0; // the window's thread only
}

bool IsBusy() { return busy > 0; }

void runWhileBusy(const std::function<void()> &work)
{
    ++busy;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QEventLoop loop;
    // A quit posted before exec() starts is still taken by it.
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QGuiApplication::restoreOverrideCursor();
    --busy;
}
