#include "app/TextFormats.h"
#include "list/FileList.h"
#include "tools/ListTools.h"

#include <QMap>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
QStringList column(const FileListModel &m, int c)
{
    QStringList out;
    for (const auto &row : m.rows())
        out << row[c];
    return out;
}
} // namespace

TEST(ListTools, SortsNamesNaturallyAndNumbersByValueStably)
{
    // Rows as a list file holds them: the values come from the texts.
    FileListModel m;
    const QList<QStringList> rows{
        {QStringLiteral("clip 10.avi"), QStringLiteral("2,620 KB"), QStringLiteral("1/5/26 9:00:00 AM"), QStringLiteral("12 seconds"), QStringLiteral("640x480")},
        {QStringLiteral("clip 2.avi"), QStringLiteral("304 KB"), QStringLiteral("12/30/25 11:00:00 PM"), QStringLiteral("9 seconds"), QStringLiteral("320x240")},
        {QStringLiteral("Clip 1.avi"), QStringLiteral("304 KB"), QStringLiteral("12/31/25"), QStringLiteral("75 seconds"), QStringLiteral("640x360")},
        {QStringLiteral("clip 09.avi"), QStringLiteral("1,024 KB"), QStringLiteral("2/1/26 8:00:00 AM"), QStringLiteral("60 seconds"), QStringLiteral("1280x720")},
        {QStringLiteral("Part2 CD10.avi"), QStringLiteral("10 KB"), QStringLiteral("letters"), QStringLiteral("many seconds"), QStringLiteral("640x480")},
        {QStringLiteral("Part2 CD9.avi"), QStringLiteral("2,620 KB"), QStringLiteral("1/5/26 9:00:00 AM"), QStringLiteral("12 seconds"), QStringLiteral("640x480")},
    };
    // Each sort starts from the rows' first order, so that equal keys show they keep it.
    const auto order = [&](int by, bool descending) {
        m.clear();
        for (const QStringList &r : rows)
            m.appendRow({r[0], r[1], r[2], QStringLiteral("/v/") + r[0], QStringLiteral("XVID"), r[4], r[3]});
        ListTools::sortRows(m, by, descending);
        return column(m, FileListModel::Filename);
    };
    const QStringList names{QStringLiteral("Clip 1.avi"), QStringLiteral("clip 2.avi"), QStringLiteral("clip 09.avi"), QStringLiteral("clip 10.avi"),
                            QStringLiteral("Part2 CD9.avi"), QStringLiteral("Part2 CD10.avi")};
    EXPECT_EQ(order(FileListModel::Filename, false), names);
    QStringList reversed = names;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(order(FileListModel::Filename, true), reversed);
    EXPECT_EQ(order(FileListModel::Filepath, false), names);
    // 10 KB before 304 KB before 2,620 KB; equal sizes keep their order (clip 2 before Clip 1, clip 10 before Part2 CD9).
    EXPECT_EQ(order(FileListModel::Filesize, false),
              (QStringList{QStringLiteral("Part2 CD10.avi"), QStringLiteral("clip 2.avi"), QStringLiteral("Clip 1.avi"), QStringLiteral("clip 09.avi"),
                           QStringLiteral("clip 10.avi"), QStringLiteral("Part2 CD9.avi")}));
    // Across a year's end, the unreadable date first; equal times keep their order.
    EXPECT_EQ(order(FileListModel::DateModified, false),
              (QStringList{QStringLiteral("Part2 CD10.avi"), QStringLiteral("clip 2.avi"), QStringLiteral("Clip 1.avi"), QStringLiteral("clip 10.avi"),
                           QStringLiteral("Part2 CD9.avi"), QStringLiteral("clip 09.avi")}));
    // Over a minute, 75 before 60 before 12 before 9 seconds, descending; letters are no number and go last.
    EXPECT_EQ(order(FileListModel::Duration, true),
              (QStringList{QStringLiteral("Clip 1.avi"), QStringLiteral("clip 09.avi"), QStringLiteral("clip 10.avi"), QStringLiteral("Part2 CD9.avi"),
                           QStringLiteral("clip 2.avi"), QStringLiteral("Part2 CD10.avi")}));
    // Width, then height.
    EXPECT_EQ(order(FileListModel::VideoSize, false).first(3),
              (QStringList{QStringLiteral("clip 2.avi"), QStringLiteral("Clip 1.avi"), QStringLiteral("clip 10.avi")}));
}

// LANG=C is a user's locale too: its collator knows no numbers.
TEST(ListTools, NaturalOrderHoldsInTheCLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    QStringList names{QStringLiteral("clip 10.avi"), QStringLiteral("caf\u00e9 9.avi"), QStringLiteral("Clip 2.avi"), QStringLiteral("clip 1.avi")};
    TextFormats::sortNaturally(names);
    QLocale::setDefault(before);
    EXPECT_EQ(names, (QStringList{QStringLiteral("caf\u00e9 9.avi"), QStringLiteral("clip 1.avi"), QStringLiteral("Clip 2.avi"), QStringLiteral("clip 10.avi")}));
}

TEST(ListTools, DistinctValuesAndMatching)
{
    FileListModel m;
    for (const char *codec : {"XVID", "", "xvid", "XVID", "DX50", ""}) {
        FileListModel::Row r;
        r.setText(FileListModel::VideoCodec, QString::fromLatin1(codec));
        m.appendRow(r);
    }
    EXPECT_EQ(ListTools::distinctValues(m, FileListModel::VideoCodec),
              (QStringList{QStringLiteral("XVID"), QString(), QStringLiteral("xvid"), QStringLiteral("DX50")}));
    EXPECT_TRUE(ListTools::removes(QStringLiteral("xvid"), QStringLiteral("XVID"), true));
    EXPECT_FALSE(ListTools::removes(QStringLiteral("XVID"), QStringLiteral("XVID"), true));
    EXPECT_TRUE(ListTools::removes(QStringLiteral("XVID"), QStringLiteral("XVID"), false));
    EXPECT_FALSE(ListTools::removes(QStringLiteral("XVID "), QStringLiteral("XVID"), false));
}

TEST(ListTools, ListInformation)
{
    const auto empty = ListTools::listInfo(QString(), QStringLiteral("Red"), QStringLiteral("AVI"), 0,
                                           QStringLiteral("00:00:00"), QStringLiteral("0 KB"));
    ASSERT_EQ(empty.size(), 10);
    EXPECT_EQ(empty[0].second, QStringLiteral("(unsaved)"));
    EXPECT_EQ(empty[1].second, QStringLiteral("RED"));
    EXPECT_EQ(empty[4].second, QStringLiteral("0"));
    EXPECT_EQ(empty[8].second, QStringLiteral("00:00:00"));
    EXPECT_EQ(empty[9].second, QStringLiteral("0 KB"));

    EXPECT_EQ(ListTools::averageDuration(QStringLiteral("00:00:10"), 3), QStringLiteral("00:00:03"));
    EXPECT_EQ(ListTools::averageDuration(QStringLiteral("00:00:05"), 2), QStringLiteral("00:00:02"));
    EXPECT_EQ(ListTools::averageDuration(QStringLiteral("garbage"), 2), QStringLiteral("00:00:00"));
    EXPECT_EQ(ListTools::averageSize(QStringLiteral("3,000 KB"), 2), QStringLiteral("1,500 KB"));

    const auto info = ListTools::listInfo(QStringLiteral("/lists/holiday.tpw"), QStringLiteral("Green"), QStringLiteral("AVI"),
                                          3, QStringLiteral("01:00:00"), QStringLiteral("3,000 KB"));
    EXPECT_EQ(ListTools::listInfoText(info),
              QStringLiteral("Filename=holiday.tpw\r\nStatus=GREEN\r\nList Type=AVI\r\nTotal items in list=3\r\n"
                             "Duration=01:00:00\r\nFilesize=3,000 KB\r\nAverage Duration (Per File)=00:20:00\r\n"
                             "Average Size (Per File)=1,000 KB\r\n"));
}

