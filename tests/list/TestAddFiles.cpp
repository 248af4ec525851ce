#include "app/AppPaths.h"
#include "app/Settings.h"
#include "list/ProbeHelper.h"
#include "gui/FileListView.h"
#include "list/AddFilesModule.h"
#include "list/ListFunctions.h"
#include "list/ProbeListItem.h"
#include "support/SampleMedia.h"
#include "list/FileList.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {
// Records what the status bar would show; "clicks" (Cancel) at a chosen file.
struct RecordingProgress : AddProgress
{
    int cancelAt = 0;
    QStringList texts;
    int maximum = 0, value = 0, finished = 0;
    bool visible = false;
    void begin(const QString &statusText, int max) override
    {
        texts << statusText;
        maximum = max;
        value = 1;
        visible = true;
    }
    void setValue(int v) override
    {
        value = v;
        if (v == cancelAt) { // what the overlay's click handler does
            SetAddCancelled();
            finish();
        }
    }
    void finish() override
    {
        ++finished;
        visible = false;
    }
};

QStringList paths(const FileList &list)
{
    QStringList out;
    for (const auto &row : list.model().rows())
        out << row[FileListModel::Filepath];
    return out;
}
} // namespace

TEST(AddFiles, DirectoryAddsSupportedFilesInNameOrder)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString dir = env.path(QStringLiteral("clips"));
    for (const char *name : {"c.mpg", "b.xvid", "A.AVI", "d.DivX", ".hidden.avi", "sub/e.avi"})
        env.write(QStringLiteral("clips/") + QString::fromLatin1(name), "x");
    FileList list;
    RecordingProgress progress;
    dialogs.files.enqueue({dir});
    ChooseAndAddDirectory(list, &progress);
    EXPECT_EQ(paths(list), (QStringList{dir + QStringLiteral("/A.AVI"), dir + QStringLiteral("/b.xvid"),
                                        dir + QStringLiteral("/d.DivX")}));
    EXPECT_EQ(progress.texts, QStringList{QStringLiteral("Adding Files...")});
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(list.totals().count, QStringLiteral("3"));
    EXPECT_TRUE(dialogs.fileRequests.first().title.startsWith(QStringLiteral("Browse for a directory...\rSupported Filetypes: *.avi;*.divx;*.xvid")));

    // A camera's clips come in the order they were numbered.
    const QString camera = env.path(QStringLiteral("camera"));
    QStringList expected;
    for (int i = 12; i >= 1; --i)
        env.write(QStringLiteral("camera/clip %1.avi").arg(i), "x");
    for (int i = 1; i <= 12; ++i)
        expected << camera + QStringLiteral("/clip %1.avi").arg(i);
    FileList clips;
    dialogs.files.enqueue({camera});
    ChooseAndAddDirectory(clips, &progress);
    EXPECT_EQ(paths(clips), expected);

    // A folder without matching files, and a cancelled browser, add nothing but still refresh.
    list.setTotals({});
    dialogs.files.enqueue({env.path(QStringLiteral("clips/sub/none"))});
    ChooseAndAddDirectory(list, &progress);
    ChooseAndAddDirectory(list, &progress);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.totals().count, QStringLiteral("3"));
}

TEST(AddFiles, CancelAfterTheFifthOfTenKeepsFive)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    QStringList chosen;
    for (int i = 0; i < 10; ++i)
        chosen << env.write(QStringLiteral("v/%1.avi").arg(i), "x");
    dialogs.files.enqueue(chosen);
    FileList list;
    RecordingProgress progress;
    progress.cancelAt = 5;
    ChooseAndAddFiles(list, &progress);
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(paths(list), chosen.mid(0, 5));
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(progress.maximum, 10);
    EXPECT_EQ(list.totals().count, QStringLiteral("5"));
    EXPECT_TRUE(AddCancelled());
}

TEST(AddFiles, DialogTextsAndRememberedFolder)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString one = env.write(QStringLiteral("v/one.avi"), "x");
    FileList list;
    RecordingProgress progress;

    dialogs.files.enqueue({one});
    ChooseAndAddFiles(list, &progress);
    EXPECT_EQ(progress.texts, QStringList{QStringLiteral("Adding File...")});
    EXPECT_EQ(dialogs.fileRequests.last().title, QStringLiteral("Add File(s)"));
    EXPECT_EQ(dialogs.fileRequests.last().filter,
              QStringLiteral("All Supported Files (*.avi;*.divx;*.xvid)|*.avi;*.divx;*.xvid|All Files|*.*"));
    EXPECT_EQ(Settings::read(SettingsKeys::kAddFiles), env.path(QStringLiteral("v/")));

    // Same folder again: the key is not rewritten (a hand edit beside it survives byte for byte).
    const QByteArray before = readAll(env.settingsFile());
    dialogs.files.enqueue({one});
    ChooseAndAddFiles(list, &progress);
    EXPECT_EQ(dialogs.fileRequests.last().startFolder, env.path(QStringLiteral("v/")));
    EXPECT_EQ(readAll(env.settingsFile()), before);
    EXPECT_EQ(list.count(), 2); // the same file twice gives two rows

    // A cancelled dialog adds nothing and runs no cascade.
    list.setTotals({});
    ChooseAndAddFiles(list, &progress);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.totals().count, QStringLiteral("0"));
}

TEST(AddFiles, DropAddsEverythingInOrder)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString text = env.write(QStringLiteral("d/readme.txt"), "x");
    const QString folder = env.path(QStringLiteral("d"));
    FileList list;
    ListView_OLEDragDrop(list, {text, folder, env.path(QStringLiteral("d/vanished.avi"))}, nullptr);
    EXPECT_EQ(paths(list), (QStringList{text, folder, env.path(QStringLiteral("d/vanished.avi"))}));
    EXPECT_EQ(list.model().cell(2, FileListModel::VideoSize), QStringLiteral("0x0"));
    ListView_OLEDragDrop(list, {}, nullptr);
    EXPECT_EQ(list.totals().count, QStringLiteral("3"));
}

TEST(AddFiles, RefusesPathsThatListsAndScriptsCannotCarry)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    const QString good = env.write(QStringLiteral("ok.avi"), "x");
    const QString pipe = env.write(QStringLiteral("a|b.avi"), "x");
    const QString quote = env.write(QStringLiteral("say \"hi\".avi"), "x");
    const QString newline = env.write(QStringLiteral("two\nlines.avi"), "x");
    FileList list;
    ListView_OLEDragDrop(list, {pipe, good, quote, newline}, nullptr);
    EXPECT_EQ(paths(list), QStringList{good});
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(pipe));
    EXPECT_TRUE(dialogs.messages[0].text.contains(quote));
    EXPECT_TRUE(dialogs.messages[0].text.contains(env.path(QStringLiteral("two lines.avi"))));
}

TEST(AddFiles, StopsAtTheRowLimit)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    FileList list;
    list.model().replaceAll(QVector<FileListModel::Row>(FileListModel::kMaxRows - 1));
    const QString a = env.write(QStringLiteral("a.avi"), "x"), b = env.write(QStringLiteral("b.avi"), "x");
    RecordingProgress progress;
    ListView_OLEDragDrop(list, {a, b, a}, &progress);
    EXPECT_EQ(list.count(), FileListModel::kMaxRows);
    EXPECT_EQ(list.model().cell(FileListModel::kMaxRows, FileListModel::Filepath), a);
    EXPECT_FALSE(progress.visible);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The list is full")));
}

TEST(AddFiles, NamesThatAreNotTextAreRefusedNotSwapped)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    // "caf\xe9.avi" is not valid UTF-8; a file whose name really holds U+FFFD stands beside it.
    const QByteArray raw = QFile::encodeName(env.root()) + "/caf\xe9.avi";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString lookalike = env.write(QStringLiteral("caf\uFFFD.avi"), "another file");
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file://" + raw.toPercentEncoding("/"))}); // as a file manager sends it
    const QStringList dropped = FileListView::localPaths(&mime);
    ASSERT_EQ(dropped.size(), 1);
    FileList list;
    ListView_OLEDragDrop(list, dropped, nullptr);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("bytes that are not valid UTF-8 text")));
    EXPECT_EQ(readAll(lookalike), QByteArray("another file"));

    // A NUL from a hand-edited list file: the row stays out, and the list is not bound to the file.
    QByteArray content = "TPW List v1.0\r\n<AVI>\r\na|1 KB|d|/v/a.avi|||\r\nb|1 KB|d|/v/b";
    content += '\0';
    content += "x.avi|||\r\n";
    const QString file = env.write(QStringLiteral("l.tpw"), content);
    dialogs.files.enqueue({file});
    OpenListFile(list);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.listPath(), QString());
    EXPECT_TRUE(dialogs.messages.last().text.startsWith(QStringLiteral("These rows were left out")));
}

TEST(AddFiles, ProbedAheadTheRowsAreInOrderAndTheSameAsOneAtATime)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    using K = SampleMedia::Kind;
    QStringList kinds;
    int n = 0;
    for (const K kind : {K::Xvid320, K::Dx50, K::Mjpg, K::NoAudio})
        kinds << SampleMedia::make(kind, env.root(), QStringLiteral("kind %1.avi").arg(++n), 1);
    kinds << env.write(QStringLiteral("zero.avi"), "") << env.write(QStringLiteral("notes.avi"), "not a video at all")
          << env.write(QStringLiteral("na\u00efve \u00e9t\u00e9.avi"), readAll(kinds[0]));
    QStringList paths;
    for (int i = 0; i < 60; ++i) // more files than the workers look ahead of the window
        paths << kinds[i % kinds.size()];
    FileList parallel;
    ListView_OLEDragDrop(parallel, paths, nullptr);
    ASSERT_EQ(parallel.count(), paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        FileList single; // the same file probed on its own, on this thread
        single.model().appendRow({QString(), QString(), QString(), paths[i], QString(), QString(), QString()});
        ProbeListItem(single, 0);
        EXPECT_EQ(parallel.model().row(i + 1), single.model().row(1)) << i;
    }
    EXPECT_EQ(parallel.model().cell(1, FileListModel::VideoCodec), QStringLiteral("XVID"));
    EXPECT_EQ(parallel.model().cell(7, FileListModel::VideoCodec), QStringLiteral("XVID")); // the non-ASCII name

    // A cancel midway keeps the rows shown so far: a prefix of the chosen files, nothing else.
    FileList cancelled;
    RecordingProgress progress;
    progress.cancelAt = 23;
    ListView_OLEDragDrop(cancelled, paths, &progress);
    ASSERT_EQ(cancelled.count(), 23);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(cancelled.model().cell(i + 1, FileListModel::Filepath), paths[i]);
    EXPECT_FALSE(progress.visible);
}

TEST(AddFiles, AFileWhoseReadsNeverComeBackIsGivenUpAndCancelAnswersAtOnce)
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    // A helper that never answers, as on a stalled network disk (started, and ended, by the add itself).
    const QString helper = env.write(QStringLiteral("program/tapeweld-probe"), "#!/bin/sh\nexec sleep 60\n");
    ASSERT_TRUE(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    AppPaths::setProgramFolder(env.path(QStringLiteral("program")));
    const QString a = env.write(QStringLiteral("a.avi"), "a"), b = env.write(QStringLiteral("b.avi"), "b");
    ProbeHelper::setDeadlineForTesting(300);
    QElapsedTimer clock;
    clock.start();
    FileList list;
    ListView_OLEDragDrop(list, {a, b}, nullptr);
    EXPECT_EQ(paths(list), (QStringList{a, b})); // each given up after the deadline: unreadable rows, the add goes on
    EXPECT_EQ(list.model().cell(1, FileListModel::VideoSize), QStringLiteral("0x0"));
    // With no deadline in sight, "(Cancel)" ends the wait; the file in progress stays.
    ProbeHelper::setDeadlineForTesting(60000);
    FileList other;
    QTimer::singleShot(300, [] { SetAddCancelled(); });
    ListView_OLEDragDrop(other, {a, b}, nullptr);
    EXPECT_EQ(paths(other), QStringList{a});
    EXPECT_LT(clock.elapsed(), 20000);
    ProbeHelper::setDeadlineForTesting(ProbeHelper::kDeadlineMs);
    AppPaths::setProgramFolder(QStringLiteral(TW_PROGRAM_DIR));
}
