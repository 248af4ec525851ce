#include "platform/SafeFile.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>
#include <gtest/gtest.h>

// What a read takes and refuses, and a replace that keeps the old file until the new one is whole.
TEST(SafeFile, ReadsRegularFilesOnlyAndWithinTheirLimit)
{
    TestEnvironment env;
    const QString small = env.write(QStringLiteral("small"), "12345");
    QByteArray data = "before";
    EXPECT_TRUE(SafeFile::readRegular(small, 5, &data).ok());
    EXPECT_EQ(data, QByteArray("12345"));
    data = "before";
    EXPECT_FALSE(SafeFile::readRegular(small, 4, &data).ok()); // larger than allowed
    EXPECT_FALSE(SafeFile::readRegular(env.path(QStringLiteral("missing")), 100, &data).ok());
    for (const QString &odd : env.notRegularFiles(QString()))
        EXPECT_FALSE(SafeFile::readRegular(odd, 100, &data).ok()) << odd.toStdString(); // returns at once, never blocks
}

TEST(SafeFile, ReplacesWholeOrNotAtAll)
{
    TestEnvironment env;
    const struct
    {
        const char *name;
        QByteArray before;
        QByteArray after;
    } cases[] = {{"shorter", "a longer old content", "new"}, {"longer", "old", QByteArray(100000, 'n')}, {"empty", "old", ""}};
    for (const auto &c : cases) {
        const QString path = env.write(QStringLiteral("f"), c.before);
        ASSERT_TRUE(SafeFile::replace(path, c.after).ok()) << c.name;
        EXPECT_EQ(readAll(path), c.after) << c.name;
        EXPECT_EQ(QDir(env.root()).entryList(QDir::Files).size(), 1) << c.name; // no temporary file left
    }
    // Through a link, its target is replaced and the link stays.
    const QString target = env.write(QStringLiteral("target"), "old");
    const QString link = env.path(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(SafeFile::replace(link, "new").ok());
    EXPECT_EQ(readAll(target), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    // A folder that takes no file and a file that takes no write: the old content stays.
    const QString locked = env.write(QStringLiteral("ro/file"), "old");
    QFile::setPermissions(locked, QFile::ReadOwner);
    QFile::setPermissions(env.path(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(SafeFile::replace(locked, "new").ok());
        EXPECT_EQ(readAll(locked), QByteArray("old"));
    }
    QFile::setPermissions(env.path(QStringLiteral("ro")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(SafeFile::replace(env.path(QStringLiteral("no such folder/file")), "new").ok());
}
