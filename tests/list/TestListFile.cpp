#include "compat/CheckCompatibility.h"
#include "app/Settings.h"
#include "app/TextFormats.h"
#include "list/FileList.h"
#include "list/ListFile.h"
#include "list/ListFunctions.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <QFile>
#include <gtest/gtest.h>

namespace {
FileListModel::Row row(const QString &name, const QString &path, const QString &size = QStringLiteral("1,024 KB"),
                       const QString &duration = QStringLiteral("10 seconds"))
{
    return {name, size, QStringLiteral("12/8/26 2:05:09 PM"), path, QStringLiteral("XVID"), QStringLiteral("640x480"), duration};
}

void bind(FileList &list)
{
    NewList(list, false);
    list.model().replaceAll({row(QStringLiteral("a.avi"), QStringLiteral("/v/a.avi")),
                             row(QStringLiteral("b.avi"), QStringLiteral("/v/b.avi"), QStringLiteral("2 KB"),
                                 QStringLiteral("5 seconds"))});
}
} // namespace

TEST(ListFile, SaveThenOpenGivesTheSameCells)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    bind(list);
    const QString target = env.path(QStringLiteral("lists/holiday.tpw"));
    QDir().mkpath(env.path(QStringLiteral("lists")));
    dialogs.files.enqueue({target});
    ASSERT_TRUE(SaveListFile(list, false));
    EXPECT_EQ(list.listPath(), target);
    EXPECT_EQ(list.title(), QStringLiteral("Tapeweld - (holiday.tpw)"));
    EXPECT_EQ(Settings::read(SettingsKeys::kSaveList), env.path(QStringLiteral("lists/")));
    EXPECT_EQ(readAll(target), QByteArray("TPW List v1.0\r\n<AVI>\r\n"
                                          "a.avi|1,024 KB|12/8/26 2:05:09 PM|/v/a.avi|XVID|640x480|10 seconds\r\n"
                                          "b.avi|2 KB|12/8/26 2:05:09 PM|/v/b.avi|XVID|640x480|5 seconds\r\n"));

    // Saving a bound list asks nothing; the files named need not exist.
    const int asked = static_cast<int>(dialogs.fileRequests.size());
    ASSERT_TRUE(SaveListFile(list, false));
    EXPECT_EQ(dialogs.fileRequests.size(), asked);

    FileList opened;
    NewList(opened, false);
    dialogs.files.enqueue({target});
    OpenListFile(opened);
    EXPECT_EQ(opened.model().rows(), list.model().rows());
    EXPECT_EQ(opened.listPath(), target);
    EXPECT_EQ(opened.totals().size, QStringLiteral("1,026 KB"));
    // The values behind the texts, as a sort and the checks read them.
    const RowFacts &b = opened.model().row(2).facts;
    EXPECT_EQ(b.kilobytes, 2);
    EXPECT_EQ(b.seconds, 5);
    EXPECT_EQ(b.width, 640);
    EXPECT_EQ(b.height, 480);
    EXPECT_EQ(TextFormats::readGeneralDate(opened.model().cell(2, FileListModel::DateModified)), QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9)));
    EXPECT_EQ(opened.totals().duration, QStringLiteral("00:00:15"));
    // Its files are gone (they never were): Red, and the light's box says which row.
    EXPECT_EQ(opened.listStatus(), ListStatus::Red);
    EXPECT_TRUE(Compatibility::boxText(opened.model(), opened.listStatus(), Carriage{})
                    .endsWith(QStringLiteral("\r\rRow 1 (a.avi) is gone: /v/a.avi no longer exists.")));
}

TEST(ListFile, RejectionsChangeNothing)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    QByteArray million;
    million.reserve(8 * 1000 * 1000);
    million += "tpw list v1.0\r\n";
    const QList<QByteArray> bad{"tpw list v1.0\r\n<AVI>\r\n", "", QByteArray("\x00\x01\xff\xfe junk", 10),
                                "TPW List v1.0 \r\n<AVI>\r\n"};
    FileList list;
    bind(list);
    list.setListPath(env.path(QStringLiteral("current.tpw")));
    const auto rows = list.model().rows();
    int n = 0;
    for (const QByteArray &content : bad) {
        dialogs.files.enqueue({env.write(QStringLiteral("bad%1.tpw").arg(++n), content)});
        OpenListFile(list);
        EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Unable to open; Invalid File!"));
        EXPECT_EQ(dialogs.messages.last().icon, Dialogs::Icon::Exclamation);
    }
    dialogs.files.enqueue({env.path(QStringLiteral("missing.tpw"))});
    OpenListFile(list);
    EXPECT_EQ(dialogs.messages.size(), 5);
    EXPECT_EQ(list.model().rows(), rows);
    EXPECT_EQ(list.listPath(), env.path(QStringLiteral("current.tpw")));
}

TEST(ListFile, OddLinesAndForeignText)
{
    QByteArray data = "TPW List v1.0\r\nanything\r\n\r\nonly|two\r\n"
                      "1|2|3|4|5|6|7|8|9\n";
    data += "caf\xe9.avi|1 KB|d|/v/caf\xe9.avi|||\r\n";          // Windows-1252
    data += "na\xc3\xafve.avi|1 KB|d|/v/na\xc3\xafve.avi|||\r\n"; // UTF-8
    data += QByteArray(100 * 1024, 'x') + "|long\r\n";
    const ListFile::Parsed p = ListFile::parse(data);
    ASSERT_TRUE(p.valid);
    ASSERT_EQ(p.rows.size(), 4);
    EXPECT_EQ(p.rows[0][0], QStringLiteral("only"));
    EXPECT_EQ(p.rows[0][1], QStringLiteral("two"));
    EXPECT_EQ(p.rows[0][6], QString());
    EXPECT_EQ(p.rows[1][6], QStringLiteral("7")); // fields beyond the last column are ignored
    EXPECT_EQ(p.rows[2][3], QStringLiteral("/v/caf\u00e9.avi"));
    EXPECT_EQ(p.rows[3][0], QStringLiteral("na\u00efve.avi"));
    EXPECT_EQ(p.tooLong, QList<int>{8}); // longer than any row: left out

    // A byte-order mark opens the file, not a row's name.
    const ListFile::Parsed marked = ListFile::parse("\xEF\xBB\xBFTPW List v1.0\r\n<AVI>\r\n\xEF\xBB\xBFodd.avi|1 KB\r\n");
    ASSERT_TRUE(marked.valid);
    ASSERT_EQ(marked.rows.size(), 1);
    EXPECT_EQ(marked.rows[0][0], QStringLiteral("\uFEFFodd.avi"));

    QByteArray many = "TPW List v1.0\r\n<AVI>\r\n";
    for (int i = 0; i < 1000000; ++i)
        many += "f|1 KB\r\n";
    const ListFile::Parsed big = ListFile::parse(many);
    EXPECT_EQ(big.rows.size(), FileListModel::kMaxRows);
    EXPECT_TRUE(big.truncated);
}

TEST(ListFile, EmptyAndClearedLists)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString headerOnly = env.write(QStringLiteral("empty.tpw"), "TPW List v1.0\r\n<AVI>\r\n");
    FileList list;
    bind(list);
    dialogs.files.enqueue({headerOnly});
    OpenListFile(list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.listPath(), headerOnly);

    bind(list);
    list.setListPath(headerOnly);
    ClearList(list, false);
    EXPECT_EQ(list.title(), QStringLiteral("Tapeweld - (empty.tpw)"));
    ASSERT_TRUE(SaveListFile(list, false));
    EXPECT_EQ(readAll(headerOnly), QByteArray("TPW List v1.0\r\n<AVI>\r\n"));
}

namespace {
// Lowers the file-size limit for this process and what it starts; a write past
// it fails with EFBIG (SIGXFSZ ignored). Root cannot step over it.
struct FileSizeLimit
{
    struct rlimit old;
    explicit FileSizeLimit(qint64 bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit limit = old;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, SIG_DFL);
    }
};

QVector<FileListModel::Row> manyRows(int n)
{
    QVector<FileListModel::Row> rows;
    for (int i = 0; i < n; ++i)
        rows.append(row(QStringLiteral("clip %1.avi").arg(i), QStringLiteral("/videos/clip %1.avi").arg(i)));
    return rows;
}
} // namespace

TEST(ListFile, AFailedSaveKeepsThePreviousFile)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    bind(list);

    // A target that cannot exist (a file stands where its folder should be): refused, still unbound.
    const QString blocker = env.write(QStringLiteral("blocker"), "x");
    dialogs.files.enqueue({blocker + QStringLiteral("/list.tpw")});
    EXPECT_FALSE(SaveListFile(list, true));
    EXPECT_EQ(list.listPath(), QString());
    EXPECT_EQ(readAll(blocker), QByteArray("x"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Your list was not saved to\r\n") + blocker
                                            + QStringLiteral("/list.tpw\r\n\r\nA part of the path is not a folder.\r\n"
                                                             "The file was left as it was."));

    // A full disk (a file-size limit) while saving 10 and 10,000 rows: the old file stays byte for byte.
    for (const int n : {10, 10000}) {
        dialogs.messages.clear();
        const QByteArray old = "TPW List v1.0\r\n<AVI>\r\nold|row\r\n";
        const QString target = env.write(QStringLiteral("full%1.tpw").arg(n), old);
        list.model().replaceAll(manyRows(n));
        list.setListPath(target);
        {
            FileSizeLimit limit(old.size() + 100);
            EXPECT_FALSE(SaveListFile(list, false));
        }
        EXPECT_EQ(readAll(target), old);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("The file grew beyond the size this disk or a limit allows.")))
            << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(QDir(env.root()).entryList({QStringLiteral("*.tw-*")}, QDir::Files), QStringList()); // nothing left behind
    }
}

TEST(ListFile, AWritableFileInAFolderThatTakesNoNewFileIsSavedInPlace)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString folder = env.path(QStringLiteral("locked"));
    const QString target = env.write(QStringLiteral("locked/keep.tpw"), "TPW List v1.0\r\n<AVI>\r\nold|row\r\n");
    // An immutable folder takes no new file, from root either; the file in it stays writable.
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) != 0)
        GTEST_SKIP() << "this file system has no immutable folders";
    FileList list;
    bind(list);
    list.setListPath(target);
    EXPECT_TRUE(SaveListFile(list, false));
    EXPECT_EQ(ListFile::read(target).rows, list.model().rows());
    // In place too, a file-size limit leaves the old content as it was.
    const QByteArray before = readAll(target);
    list.model().replaceAll(manyRows(1000));
    {
        FileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(SaveListFile(list, false));
    }
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    EXPECT_EQ(readAll(target), before);
    EXPECT_TRUE(dialogs.messages.last().text.contains(QStringLiteral("The file grew beyond")));
}

TEST(ListFile, PipesDevicesAndFoldersAnswerAtOnce)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QStringList odd = env.notRegularFiles(QStringLiteral(".tpw"));
    ASSERT_EQ(odd.size(), 3);
    FileList list;
    for (const QString &path : odd) {
        QElapsedTimer clock;
        clock.start();
        dialogs.files.enqueue({path});
        OpenListFile(list);
        EXPECT_LT(clock.elapsed(), 1000) << path.toStdString();
        EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Unable to open; Invalid File!"));
    }
}

TEST(ListFile, ALongerFileOpenedInPartIsNeverShortened)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    QByteArray content = "TPW List v1.0\r\n<AVI>\r\n";
    for (int i = 0; i < 40000; ++i)
        content += "clip.avi|1 KB|d|/v/clip" + QByteArray::number(i) + ".avi|XVID|640x480|1 seconds\r\n";
    const QString file = env.write(QStringLiteral("big.tpw"), content);
    FileList list;
    dialogs.files.enqueue({file});
    OpenListFile(list);
    EXPECT_EQ(list.count(), FileListModel::kMaxRows);
    EXPECT_EQ(list.listPath(), QString()); // untitled
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(QStringLiteral("This list file holds more than 32,767 files")));
    EXPECT_FALSE(SaveListFile(list, false)); // Ctrl+S asks for a name; the dialog is cancelled
    EXPECT_EQ(readAll(file).count("\r\n"), 40002);
}

TEST(ListFile, HostileFilesOpenAtOnceAndBoundedInSize)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    // A megabyte of lone CRs is a megabyte of empty lines, split in one pass.
    const ListFile::Parsed crs = ListFile::parse("TPW List v1.0\r<AVI>" + QByteArray(1 << 20, '\r') + "a|1 KB|d|/v/a.avi|X|1x1|1 seconds");
    ASSERT_TRUE(crs.valid);
    EXPECT_EQ(crs.rows.size(), 1);
    // A line longer than any row is left out, said so, and the list opens untitled.
    const QString file = env.write(QStringLiteral("long.tpw"), "TPW List v1.0\r\n<AVI>\r\n" + QByteArray(100000, 'x')
                                                                   + "\r\nb|1 KB|d|/v/b.avi|X|1x1|1 seconds\r\n");
    FileList list;
    NewList(list, false);
    dialogs.files.enqueue({file});
    OpenListFile(list);
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(list.listPath().isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("These lines of the list file are longer than a row can be (65,536 bytes) "
                                                                   "and were left out: 3")));
    // A save killed before its rename left its temporary file: the next save of that list takes it away.
    const QString stale = env.write(QStringLiteral("long.tpw.tw-AbC123"), "half");
    const QString fresh = env.write(QStringLiteral("long.tpw.tw-XyZ789"), "a save under way");
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(stale).constData(), old, 0), 0);
    ASSERT_TRUE(ListFile::write(file, "TPW List v1.0\r\n<AVI>\r\n").ok());
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(fresh));
}

TEST(ListFile, EveryLineEndEndsALine)
{
    for (const QByteArray &end : {QByteArray("\r"), QByteArray("\r\r\n"), QByteArray("\n"), QByteArray("\r\n")}) {
        const QByteArray data = "TPW List v1.0" + end + "<AVI>" + end + "a|1 KB|d|/v/a.avi|XVID|640x480|1 seconds" + end
                                + "b|1 KB|d|/v/b.avi|XVID|640x480|2 seconds" + end;
        const ListFile::Parsed p = ListFile::parse(data);
        ASSERT_TRUE(p.valid) << end.toHex().toStdString();
        ASSERT_EQ(p.rows.size(), 2) << end.toHex().toStdString();
        EXPECT_EQ(p.rows[0][6], QStringLiteral("1 seconds"));
        EXPECT_EQ(p.rows[1][6], QStringLiteral("2 seconds"));
    }
}

TEST(ListFile, NewListAndCloseQuestion)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    bind(list);
    list.setListPath(env.path(QStringLiteral("x.tpw")));
    dialogs.answers.enqueue(Dialogs::Answer::No);
    NewList(list, true);
    EXPECT_EQ(list.count(), 2);
    dialogs.answers.enqueue(Dialogs::Answer::Yes);
    NewList(list, true);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.title(), QStringLiteral("Tapeweld - (Untitled List)"));
    EXPECT_EQ(list.model().headers().size(), 7);

    dialogs.answers.enqueue(Dialogs::Answer::Cancel);
    EXPECT_FALSE(AskToSaveOnClose(list));
    dialogs.answers.enqueue(Dialogs::Answer::No);
    EXPECT_TRUE(AskToSaveOnClose(list));
    dialogs.answers.enqueue(Dialogs::Answer::Yes); // then the save dialog is cancelled
    EXPECT_FALSE(AskToSaveOnClose(list));
    dialogs.answers.enqueue(Dialogs::Answer::Yes);
    dialogs.files.enqueue({env.path(QStringLiteral("closing.tpw"))});
    EXPECT_TRUE(AskToSaveOnClose(list));
    EXPECT_TRUE(QFile::exists(env.path(QStringLiteral("closing.tpw"))));
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Would you like to save your list?"));
    EXPECT_EQ(dialogs.messages.last().buttons, Dialogs::Buttons::YesNoCancel);
}
