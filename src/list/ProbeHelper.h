#pragma once
#include "ProbeListItem.h"

#include <QString>
#include <mutex>
#include <sys/types.h>

// The library's part of a probe, asked of a helper process (tapeweld-probe).
// The library serialises its work inside one process, so two cores read two
// files at once only from two processes; and a file that crashes the library
// takes down a helper, not the program.
class ProbeHelper
{
public:
    explicit ProbeHelper(const QString &program);
    ~ProbeHelper();
    ProbeHelper(const ProbeHelper &) = delete;
    ProbeHelper &operator=(const ProbeHelper &) = delete;

    bool running() const { return m_pid > 0; }
    // False when the helper is gone, or gave no answer within the deadline (it
    // is then ended and reaped): a file whose reads never come back.
    [[nodiscard]] bool query(const QString &path, MediaProbe::Facts *facts);
    // From another thread: ends the helper now, so that a query waiting on it returns.
    void abort();

    static constexpr int kDeadlineMs = 10000; // no answer for this long: the helper is stuck
    static void setDeadlineForTesting(int ms);

    // One request and one answer a line: the path; the four texts,
    // blank-separated and percent-encoded; a tab, then the AVI summary.
    static QByteArray answerFor(const MediaProbe::Facts &facts);
    [[nodiscard]] static bool parseAnswer(const QByteArray &line, MediaProbe::Facts *facts);

private:
    void stop();
    std::mutex m_mutex; // m_pid, between query's thread and abort's
    pid_t m_pid = -1;
    int m_socket = -1; // its standard input and output
    QByteArray m_pending;
};
