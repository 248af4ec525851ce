#include "BusyWork.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaObject>
#include <thread>

void RunWhileBusy(const std::function<void()> &work)
{
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
}
