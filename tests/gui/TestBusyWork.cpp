#include "gui/BusyWork.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

TEST(BusyWork, TimersRunWhileWorkRunsElsewhere)
{
    std::atomic<bool> timerRan{false};
    std::thread::id workThread;
    Qt::CursorShape cursorDuring = Qt::ArrowCursor;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        cursorDuring = QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    });
    runWhileBusy([&] {
        workThread = std::this_thread::get_id();
        // The work ends only once the window's thread has run its timer.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!timerRan && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    EXPECT_TRUE(timerRan);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(cursorDuring, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Work that is done at once returns at once.
    int runs = 0;
    runWhileBusy([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}
