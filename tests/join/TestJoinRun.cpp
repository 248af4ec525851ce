#include "app/AppPaths.h"
#include "join/JoinRun.h"
#include "join/RunFiles.h"
#include "join/RunSession.h"
#include "support/Summaries.h"
#include "support/TestEngines.h"
#include "support/TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// A join with a stand-in writer that does what body says; the run is ticked to its end.
struct WriterRun
{
    TestEnvironment env;
    double mostProgress = 0;
    QList<JoinRun::Phase> phases;

    RunStatus run(const QByteArray &body, const std::function<void(JoinRun &)> &during = {})
    {
        const QString folder = env.path(QStringLiteral("program"));
        QDir().mkpath(folder);
        if (!body.isEmpty()) {
            env.write(QStringLiteral("program/tapeweld-join"), "#!/bin/sh\nwhile [ \"$1\" != -- ]; do shift; done\nout=$2\n" + body + '\n');
            QFile::setPermissions(folder + QStringLiteral("/tapeweld-join"), QFile::ReadOwner | QFile::ExeOwner);
        }
        AppPaths::setProgramFolder(folder);
        JoinPlan plan{env.path(QStringLiteral("out.avi")), {{env.path(QStringLiteral("a.avi")), 500, Summaries::clip(1, 1)},
                                                            {env.path(QStringLiteral("b.avi")), 500, Summaries::clip(1, 1)}},
                      1000, &writerEngine(), {}, -1, false, {}};
        const std::unique_ptr<JoinRun> job = JoinRun::create(nullptr, plan);
        job->start();
        const QDeadlineTimer deadline(20000);
        while (job->phase() != JoinRun::Phase::Ended && !deadline.hasExpired()) {
            if (phases.isEmpty() || phases.last() != job->phase())
                phases << job->phase();
            if (during)
                during(*job);
            QThread::msleep(10);
            job->tick();
            mostProgress = std::max(mostProgress, job->progress() < job->maximum() ? job->progress() : mostProgress);
        }
        const RunStatus status = job->status();
        job->close();
        return status;
    }
};
} // namespace

// Every way the writer can end, as the run tells it.
TEST(JoinRun, TheWritersEveryEndIsToldAsItHappened)
{
    const struct
    {
        const char *name;
        QByteArray body; // empty: no writer installed
        RunStatus::State state;
        const char *detail;
    } cases[] = {
        {"says why", "echo 'copy 5'\necho index\necho 'failed the disk is full' >&2\nexit 1", RunStatus::State::Failed,
         "The join failed: the disk is full."},
        {"killed", "kill -9 $$", RunStatus::State::Failed, "The writer was stopped (signal 9)."},
        {"an exit code without a word", "exit 3", RunStatus::State::Failed,
         "The join failed: the writer tapeweld-join stopped with exit code 3."},
        {"not there", "", RunStatus::State::Failed, "The join could not start: the writer tapeweld-join could not be run."},
        {"no output", "exit 0", RunStatus::State::Failed, "The writer wrote no output."},
        {"stuck", "printf partial > \"$out\"\nexec sleep 30", RunStatus::State::Failed,
         "The writer did nothing for 2 seconds and was stopped.\nThe unfinished output was removed."},
    };
    const int limit = std::exchange(RunSession::stallLimitMs, 2000);
    for (const auto &c : cases) {
        WriterRun w;
        const RunStatus status = w.run(c.body);
        EXPECT_EQ(status.state, c.state) << c.name;
        EXPECT_EQ(status.detail, QString::fromUtf8(c.detail)) << c.name;
        EXPECT_FALSE(QFile::exists(RunFiles::writerLog())) << c.name; // closed: the run's files are gone
        EXPECT_FALSE(QFile::exists(w.env.path(QStringLiteral("out.avi")))) << c.name;
    }
    RunSession::stallLimitMs = limit;
}

TEST(JoinRun, ProgressComesInWholeLinesAndACancelLeavesNothing)
{
    WriterRun w;
    // A line printed in two pieces is read once it is whole.
    w.run("printf 'copy 3'; sleep 0.3; printf '00\\nindex\\n'; echo 'failed stop' >&2; exit 1");
    EXPECT_EQ(w.mostProgress, 300);
    EXPECT_EQ(w.phases.first(), JoinRun::Phase::Copying);
    EXPECT_TRUE(w.phases.contains(JoinRun::Phase::Indexing));

    WriterRun c;
    const RunStatus cancelled = c.run("printf partial > \"$out\"\necho 'copy 1'\nexec sleep 30", [](JoinRun &job) {
        if (QFile::exists(job.output()))
            job.cancel({});
    });
    EXPECT_EQ(cancelled.state, RunStatus::State::Cancelled);
    EXPECT_FALSE(QFile::exists(c.env.path(QStringLiteral("out.avi"))));
    EXPECT_TRUE(noProcessMentions(c.env.path(QStringLiteral("program")), 5000));
}
