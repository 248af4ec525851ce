#pragma once
#include <QString>

// One join or repair at a time per user, across instances: a kernel lock on a
// file in the per-user folder. A killed program releases it; the scripts it
// started keep it (they inherit the descriptor) until they end too.
class RunLock
{
public:
    explicit RunLock(const QString &folder);
    ~RunLock();
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    [[nodiscard]] bool tryAcquire(); // false when another run holds it (or the file cannot be made)
    bool held() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; } // handed to the children of the run
    void release();

    static QString fileIn(const QString &folder);

private:
    QString m_file;
    int m_fd = -1;
};
