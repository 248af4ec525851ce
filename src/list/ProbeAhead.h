#pragma once
#include "ProbeListItem.h"
class ProbeHelper;

#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Probes the files of an add on worker threads, a bounded stretch ahead of the
// rows the window has taken, so that two cores read two files at once. Rows are
// still taken, and appended, one by one and in order on the window's thread.
class ProbeAhead
{
public:
    // Only the files marked wanted are probed; the others come back empty at once.
    ProbeAhead(const QStringList &paths, const std::vector<bool> &wanted, int workers, int window = 64);
    ~ProbeAhead(); // stops the workers, ending a helper stuck on a file at once
    ProbeAhead(const ProbeAhead &) = delete;
    ProbeAhead &operator=(const ProbeAhead &) = delete;

    // Waits at most waitMs for file i (0-based); true when its row is ready.
    [[nodiscard]] bool waitFor(int i, int waitMs);
    // The row of file i, once ready; the workers may then go on past it.
    MediaProbe::Probed take(int i);

    static int defaultWorkers();

private:
    void work();
    void track(ProbeHelper *helper, bool add);

    const QStringList m_paths;
    QString m_helperProgram; // empty: the library is asked in this process
    const std::vector<bool> m_wanted;
    const int m_window;
    std::vector<MediaProbe::Probed> m_results;
    std::vector<char> m_ready;
    std::mutex m_mutex;
    std::condition_variable m_readyChanged, m_roomChanged;
    int m_next = 0, m_taken = 0;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
    std::vector<ProbeHelper *> m_helpers; // the workers' helpers, ended at once when the probe is dropped
};
