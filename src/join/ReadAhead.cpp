#include "ReadAhead.h"

#include <system_error>

ReadAhead::~ReadAhead()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ReadAhead::start(std::function<void()> job)
{
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { loop(); });
        } catch (const std::system_error &) {
            job(); // no thread to be had (a process at its limit): the copy is only slower
            return;
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_job = std::move(job);
        m_busy = true;
    }
    m_changed.notify_all();
}

void ReadAhead::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
}

void ReadAhead::loop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stop; });
        if (!m_busy)
            return;
        const std::function<void()> job = std::move(m_job);
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
