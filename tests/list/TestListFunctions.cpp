#include "list/ClipboardModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "list/ListviewLayout.h"
#include "list/ProbeListItem.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
void add(FileList &list, const QString &path)
{
    FileListModel::Row r;
    r.setText(FileListModel::Filepath, path);
    list.model().appendRow(r);
    ProbeListItem(list, 0);
}
QStringList paths(const FileList &list)
{
    QStringList out;
    for (const auto &row : list.model().rows())
        out << row[FileListModel::Filepath];
    return out;
}
FileList *freshList()
{
    auto *list = new FileList;
    NewList(*list, false);
    return list;
}
} // namespace

TEST(ListFunctions, DuplicatesKeepTheLastOccurrence)
{
    ScriptedDialogs dialogs;
    std::unique_ptr<FileList> list(freshList());
    for (const char *p : {"/A", "/B", "/A", "/C", "/A", "/a"}) {
        FileListModel::Row r;
        r.setText(FileListModel::Filepath, QString::fromLatin1(p));
        list->model().appendRow(r);
    }
    RemoveDuplicatedFiles(*list);
    EXPECT_EQ(paths(*list), (QStringList{QStringLiteral("/B"), QStringLiteral("/C"), QStringLiteral("/A"), QStringLiteral("/a")}));
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Operation Complete!\rItems Removed: 2"));
    RemoveDuplicatedFiles(*list);
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Operation Complete!\rItems Removed: 0"));
    EXPECT_EQ(list->totals().count, QStringLiteral("4"));
}

TEST(ListFunctions, DeadFilesIncludeFoldersAndHiddenFiles)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    std::unique_ptr<FileList> list(freshList());
    const QString live = env.write(QStringLiteral("live.avi"), "x");
    const QString hidden = env.write(QStringLiteral(".hidden.avi"), "x");
    const QString deleted = env.write(QStringLiteral("deleted.avi"), "x");
    QDir().mkpath(env.path(QStringLiteral("folder")));
    for (const QString &p : {live, hidden, deleted, env.path(QStringLiteral("folder")), QString()})
        add(*list, p);
    QFile::remove(deleted);
    RemoveDeadFiles(*list);
    EXPECT_EQ(paths(*list), QStringList{live});
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Operation Complete!\rItems Removed: 4"));
}

TEST(ListFunctions, MovesReprobeBothRows)
{
    TestEnvironment env;
    std::unique_ptr<FileList> list(freshList());
    QStringList files;
    for (int i = 1; i <= 4; ++i)
        files << env.write(QStringLiteral("f%1.avi").arg(i), "x");
    for (const QString &f : files)
        add(*list, f);
    list->setTotals({}); // a move runs no cascade
    env.write(QStringLiteral("f3.avi"), QByteArray(3 * 1024 * 1024, 'z'));

    EXPECT_EQ(MoveItemDown(*list, 2), 3);
    EXPECT_EQ(paths(*list), (QStringList{files[0], files[2], files[1], files[3]}));
    EXPECT_EQ(list->model().cell(2, FileListModel::Filesize), QStringLiteral("3,072 KB")); // passed-over row re-probed
    EXPECT_EQ(list->model().cell(3, FileListModel::Filename), QStringLiteral("f2.avi"));
    EXPECT_EQ(list->totals().count, QStringLiteral("0"));

    EXPECT_EQ(MoveItemUp(*list, 3), 2);
    EXPECT_EQ(paths(*list), files);
    EXPECT_EQ(MoveItemUp(*list, 1), 0); // first row: nothing changes
    EXPECT_EQ(MoveItemDown(*list, 4), 0);
    EXPECT_EQ(paths(*list), files);
}

TEST(ListFunctions, RemoveAndClear)
{
    ScriptedDialogs dialogs;
    std::unique_ptr<FileList> list(freshList());
    add(*list, QStringLiteral("/gone/a.avi"));
    add(*list, QStringLiteral("/gone/b.avi"));
    dialogs.answers.enqueue(Dialogs::Answer::No);
    list->setTotals({});
    ClearList(*list, true);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->totals().count, QStringLiteral("2")); // refreshed after No too
    RemoveListItem(*list, 1);
    EXPECT_EQ(list->listStatus(), ListStatus::Red);
    RemoveListItem(*list, 1);
    EXPECT_EQ(list->totals().size, QStringLiteral("0 KB"));
    EXPECT_EQ(list->totals().duration, QStringLiteral("00:00:00"));
}

