#pragma once
#include <QString>

// How a join or a repair stands: the one answer every way of ending maps to
// (a script or encoder that failed or was killed, a failed start, a cancel, an
// output judged incomplete). Windows and the command line only show it.
struct RunStatus
{
    enum class State { Running, Finished, Failed, Cancelled };
    State state = State::Running;
    // Failed: why, in a user's words. Finished: what the user should know of
    // an output that is whole (empty when there is nothing to say).
    QString detail;

    bool running() const { return state == State::Running; }
    // How an ended run is announced: "Finished!", "Cancelled!" or "Failed!".
    QString words() const
    {
        return state == State::Finished    ? QStringLiteral("Finished!")
               : state == State::Cancelled ? QStringLiteral("Cancelled!")
                                           : QStringLiteral("Failed!");
    }
    static RunStatus finished(const QString &detail = QString()) { return {State::Finished, detail}; }
    static RunStatus failed(const QString &why) { return {State::Failed, why}; }
    static RunStatus cancelled() { return {State::Cancelled, QString()}; }
};
