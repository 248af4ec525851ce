#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// One job at a time on a thread of its own: a copy's next read while its last
// write runs. The copy into memory and the copy out of it then overlap, and a
// join moves its data about as fast as the kernel's own copy (cat) does. The
// thread starts with the first job; where none can start, jobs run in place.
class ReadAhead
{
public:
    ReadAhead() = default;
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // Runs job on the thread. The job started before must have been waited for.
    void start(std::function<void()> job);
    // Returns when the job started last has run (at once when there is none).
    void wait();

private:
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_busy = false, m_stop = false;
    std::thread m_thread;
};
