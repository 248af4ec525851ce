#include "app/SystemServices.h"
#include "platform/FileSystem.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(FileSystem, ExistenceAndNames)
{
    TestEnvironment env;
    const QString file = env.write(QStringLiteral("v/a.avi"), "x");
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(env.path(QStringLiteral("v"))));
    EXPECT_TRUE(FolderExists(env.path(QStringLiteral("v"))));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(PathExists(env.path(QStringLiteral("missing"))));
    EXPECT_FALSE(PathExists(QString()));
    EXPECT_EQ(FileNameOf(QStringLiteral("/videos/a.avi")), QStringLiteral("a.avi"));
    EXPECT_EQ(FileNameOf(QStringLiteral("a.avi")), QStringLiteral("a.avi"));
    EXPECT_EQ(FileNameOf(QStringLiteral("/videos/")), QString());
}

TEST(FileSystem, FolderChainCreatesOnlyTheMissingTail)
{
    TestEnvironment env;
    const QString base = env.path(QStringLiteral("exists"));
    QDir().mkpath(base);
    env.write(QStringLiteral("exists/keep.txt"), "k");
    CreateFolderChain(base + QStringLiteral("/x/y/z/"));
    EXPECT_TRUE(FolderExists(base + QStringLiteral("/x/y/z")));
    EXPECT_TRUE(PathExists(base + QStringLiteral("/keep.txt")));
    CreateFolderChain(base + QStringLiteral("/x/y/z")); // again, without the separator: no harm
    EXPECT_TRUE(FolderExists(base + QStringLiteral("/x/y/z")));
    CreateFolderChain(QStringLiteral("/proc/not-allowed/here")); // failure ignored
}

TEST(FileSystem, FreeSpaceIgnoresBlanksAndTrailingSeparator)
{
    TestEnvironment env;
    const double clean = GetFreeDiskSpace(env.root());
    EXPECT_GT(clean, 0);
    const double spaced = GetFreeDiskSpace(QStringLiteral("  ") + env.root() + QStringLiteral("/  "));
    EXPECT_NEAR(spaced, clean, 64.0 * 1024 * 1024); // other writers may change it a little
    // A path not created yet counts on its nearest existing folder.
    EXPECT_GT(GetFreeDiskSpace(env.path(QStringLiteral("not/yet/there"))), 0);
    EXPECT_EQ(FileSystem::mountPointOf(QStringLiteral("/proc/self")), QStringLiteral("/proc/"));
    EXPECT_TRUE(FileSystem::mountPointOf(env.root()).endsWith(u'/'));
}

TEST(FileSystem, NormalFilesAndSameFile)
{
    TestEnvironment env;
    const QString file = env.write(QStringLiteral("n/a.avi"), "x");
    const QString hidden = env.write(QStringLiteral("n/.h.avi"), "x");
    EXPECT_TRUE(FileSystem::isNormalFile(file));
    EXPECT_FALSE(FileSystem::isNormalFile(hidden));
    EXPECT_FALSE(FileSystem::isNormalFile(env.path(QStringLiteral("n"))));
    EXPECT_TRUE(FileSystem::sameFile(file, env.path(QStringLiteral("n/./a.avi"))));
    EXPECT_TRUE(FileSystem::sameFile(file, env.path(QStringLiteral("n//a.avi"))));
    EXPECT_FALSE(FileSystem::sameFile(file, hidden));
}
