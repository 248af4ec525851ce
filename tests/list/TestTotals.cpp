#include "list/FileList.h"
#include "list/UpdateListTotals.h"
#include "app/TextFormats.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
FileListModel::Row row(const QString &size, const QString &duration, const QString &codec = QStringLiteral("XVID"),
                       const QString &frame = QStringLiteral("640x480"))
{
    FileListModel::Row r;
    r.setText(FileListModel::Filesize, size);
    r.setText(FileListModel::Duration, duration);
    r.setText(FileListModel::VideoCodec, codec);
    r.setText(FileListModel::VideoSize, frame);
    return r;
}
} // namespace

TEST(Totals, SumsCellsAndWrapsAtADay)
{
    FileList list;
    UpdateListTotals(list);
    EXPECT_EQ(list.totals().count, QStringLiteral("0"));
    EXPECT_EQ(list.totals().duration, QStringLiteral("00:00:00"));
    EXPECT_EQ(list.totals().size, QStringLiteral("0 KB"));
    EXPECT_EQ(list.listStatus(), ListStatus::Red); // the check runs on an empty list too

    list.model().replaceAll({row(QStringLiteral("1,024 KB"), QStringLiteral("10 seconds")),
                             row(QStringLiteral("2 KB"), QStringLiteral("20 seconds")),
                             row(QStringLiteral("0 KB"), QStringLiteral("30 seconds"))});
    UpdateListTotals(list);
    EXPECT_EQ(list.totals().count, QStringLiteral("3"));
    EXPECT_EQ(list.totals().duration, QStringLiteral("00:01:00"));
    EXPECT_EQ(list.totals().size, QStringLiteral("1,026 KB"));

    list.model().replaceAll({row(QStringLiteral("5 KB"), QStringLiteral("90000 seconds")),
                             row(QStringLiteral("7 KB"), QStringLiteral("many seconds"))});
    UpdateListTotals(list);
    EXPECT_EQ(list.totals().duration, QStringLiteral("01:00:00")); // 25 hours show as 01:00:00
    EXPECT_EQ(list.totals().size, QStringLiteral("12 KB"));         // the lettered row's size still counts
}

TEST(Totals, FormatHelpers)
{
    EXPECT_EQ(TextFormats::timeOfDay(65), QStringLiteral("00:01:05"));
    EXPECT_EQ(TextFormats::roundHalfEven(2.5), 2);
    EXPECT_EQ(TextFormats::roundHalfEven(3.5), 4);
    EXPECT_EQ(TextFormats::groupedOrEmpty(0.4), QString());
    EXPECT_EQ(TextFormats::generalDate(QDateTime(QDate(2026, 12, 8), QTime(0, 0))), QStringLiteral("12/8/26"));
    EXPECT_EQ(TextFormats::generalDate(QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9))), QStringLiteral("12/8/26 2:05:09 PM"));
}

TEST(Totals, LinearOnAFullList)
{
    FileList list;
    QVector<FileListModel::Row> rows(FileListModel::kMaxRows, row(QStringLiteral("1,234 KB"), QStringLiteral("12 seconds")));
    list.model().replaceAll(rows);
    UpdateListTotals(list);
    EXPECT_EQ(list.totals().count, QStringLiteral("32767"));
    EXPECT_EQ(list.totals().size, QStringLiteral("40,434,478 KB"));
    EXPECT_EQ(list.listStatus(), ListStatus::Green);
}
