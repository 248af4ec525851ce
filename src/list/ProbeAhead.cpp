#include "ProbeAhead.h"

#include "ProbeHelper.h"
#include "app/AppPaths.h"
#include "avi/AviFile.h"

#include <QFileInfo>
#include <QThread>
#include <memory>
#include <algorithm>
#include <chrono>

ProbeAhead::ProbeAhead(const QStringList &paths, const std::vector<bool> &wanted, int workers, int window)
    : m_paths(paths), m_wanted(wanted), m_window(window), m_results(static_cast<size_t>(paths.size())),
      m_ready(static_cast<size_t>(paths.size()), 0)
{
    const QString helper = AppPaths::programFolder() + QStringLiteral("/tapeweld-probe");
    // Helpers also for one file: a read that never comes back stalls a helper,
    // which can be ended, never the program.
    if (QFileInfo(helper).isExecutable())
        m_helperProgram = helper;
    for (int i = 0; i < qMax(1, workers); ++i)
        m_threads.emplace_back([this] { work(); });
}

ProbeAhead::~ProbeAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        for (ProbeHelper *h : m_helpers)
            h->abort();
    }
    m_roomChanged.notify_all();
    for (std::thread &t : m_threads)
        t.join();
}

void ProbeAhead::track(ProbeHelper *helper, bool add)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (add) {
        m_helpers.push_back(helper);
        if (m_stop)
            helper->abort();
    } else {
        m_helpers.erase(std::remove(m_helpers.begin(), m_helpers.end(), helper), m_helpers.end());
    }
}

int ProbeAhead::defaultWorkers() { return qBound(1, QThread::idealThreadCount(), 8); }

void ProbeAhead::work()
{
    const int n = static_cast<int>(m_paths.size());
    // The library's part goes to a helper process of this worker's own, when the
    // program ships one; a helper that dies (a file that crashed the library)
    // gives that file the cells of a file the library cannot read, and another
    // helper takes the next file.
    std::unique_ptr<ProbeHelper> helper;
    // The helper leaves the list before it goes, so the destructor never ends a gone one.
    struct Untrack
    {
        ProbeAhead *self;
        std::unique_ptr<ProbeHelper> &helper;
        ~Untrack()
        {
            if (helper)
                self->track(helper.get(), false);
        }
    } untrack{this, helper};
    auto query = [&](const QString &path) {
        if (MediaProbe::readsAviItself())
            if (const Avi::File file = Avi::read(path, Avi::Detail::Counts); file.isAvi())
                return MediaProbe::ownReading(file);
        if (m_helperProgram.isEmpty())
            return MediaProbe::query(path);
        if (!helper || !helper->running()) {
            if (helper)
                track(helper.get(), false);
            helper = std::make_unique<ProbeHelper>(m_helperProgram);
            track(helper.get(), true);
        }
        MediaProbe::Facts facts;
        if (helper->running() && helper->query(path, &facts))
            return facts;
        return MediaProbe::Facts();
    };
    for (;;) {
        int i;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_roomChanged.wait(lock, [&] { return m_stop || m_next >= n || m_next < m_taken + m_window; });
            if (m_stop || m_next >= n)
                return;
            i = m_next++;
        }
        MediaProbe::Probed p;
        if (m_wanted[static_cast<size_t>(i)])
            p = MediaProbe::probe(m_paths[i], query);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) // an aborted helper's answer is no answer
                return;
            m_results[static_cast<size_t>(i)] = std::move(p);
            m_ready[static_cast<size_t>(i)] = 1;
        }
        m_readyChanged.notify_all();
    }
}

bool ProbeAhead::waitFor(int i, int waitMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_readyChanged.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return m_ready[static_cast<size_t>(i)] != 0; });
}

MediaProbe::Probed ProbeAhead::take(int i)
{
    MediaProbe::Probed p;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        p = std::move(m_results[static_cast<size_t>(i)]);
        m_taken = qMax(m_taken, i + 1);
    }
    m_roomChanged.notify_all();
    return p;
}
