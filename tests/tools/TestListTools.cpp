#include "list/FileList.h"
#include "tools/ListTools.h"

#include <QMap>
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

TEST(ListTools, SortsDisplayedTextsStably)
{
    FileListModel m;
    for (const auto &[n, s] : QList<QPair<QString, QString>>{{QStringLiteral("b.avi"), QStringLiteral("9 KB")},
                                                            {QStringLiteral("A.avi"), QStringLiteral("10 KB")},
                                                            {QStringLiteral("c.avi"), QStringLiteral("9 KB")}}) {
        FileListModel::Row r;
        r.setText(FileListModel::Filename, n);
        r.setText(FileListModel::Filesize, s);
        m.appendRow(r);
    }
    ListTools::sortRows(m, FileListModel::Filename, true);
    EXPECT_EQ(column(m, 0), (QStringList{QStringLiteral("c.avi"), QStringLiteral("b.avi"), QStringLiteral("A.avi")}));
    ListTools::sortRows(m, FileListModel::Filesize, false);
    // Sizes compare as text: "10 KB" before "9 KB"; equal texts keep their order (c before b).
    EXPECT_EQ(column(m, 0), (QStringList{QStringLiteral("A.avi"), QStringLiteral("c.avi"), QStringLiteral("b.avi")}));
    ListTools::sortRows(m, FileListModel::Filesize, true);
    EXPECT_EQ(column(m, 0), (QStringList{QStringLiteral("c.avi"), QStringLiteral("b.avi"), QStringLiteral("A.avi")}));
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

