#include "list/ClipboardModule.h"
#include "list/FileList.h"
#include "list/ListFunctions.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
FileList *freshClipboardList()
{
    auto *list = new FileList;
    NewList(*list, false);
    return list;
}
} // namespace

TEST(Clipboard, EntriesAndListText)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    std::unique_ptr<FileList> list(freshClipboardList());
    list->model().replaceAll({{QStringLiteral("a.avi"), QStringLiteral("1 KB"), QStringLiteral("d"), QStringLiteral("/v/a.avi"),
                               QStringLiteral("XVID"), QStringLiteral("640x480"), QStringLiteral("1 seconds")},
                              {QStringLiteral("b.avi"), QStringLiteral("2 KB"), QStringLiteral("e"), QStringLiteral("/v/b.avi"),
                               QString(), QStringLiteral("0x0"), QStringLiteral("0 seconds")}});
    EXPECT_EQ(ClipboardModule::rowEntry(list->model(), 2), QStringLiteral("TPW:b.avi|2 KB|e|/v/b.avi||0x0|0 seconds"));
    EXPECT_EQ(ClipboardModule::listText(list->model()),
              QStringLiteral("\"a.avi\",\"1 KB\",\"d\",\"/v/a.avi\",\"XVID\",\"640x480\",\"1 seconds\"\r\n"
                             "\"b.avi\",\"2 KB\",\"e\",\"/v/b.avi\",\"\",\"0x0\",\"0 seconds\"\r\n"));

    const QString real = env.write(QStringLiteral("real.avi"), QByteArray(2048, 'r'));
    const int index = ClipboardModule::PasteEntry(*list, QStringLiteral("TPW:stale|9 KB|x|") + real + QStringLiteral("|X|1x1|9 seconds"));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(list->model().cell(3, FileListModel::Filename), QStringLiteral("real.avi"));
    EXPECT_EQ(list->model().cell(3, FileListModel::Filesize), QStringLiteral("2 KB")); // probed anew
    EXPECT_EQ(list->totals().count, QStringLiteral("3"));

    for (const QString &bad : {QStringLiteral("tpw:a|b|c|/v/a.avi"), QStringLiteral("hello"), QString(),
                               QStringLiteral("TPW:a|b|c"), QStringLiteral("TPW:a|b|c|/v/\"q\".avi")}) {
        EXPECT_EQ(ClipboardModule::PasteEntry(*list, bad), 0);
        EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Invalid Clipboard Entry."));
    }
    EXPECT_EQ(list->count(), 3);
}
