#include "compat/CheckCompatibility.h"
#include "list/FileList.h"

#include <gtest/gtest.h>

namespace {
ListStatus statusFor(const QList<QPair<QString, QString>> &rows)
{
    FileListModel model;
    for (const auto &[codec, size] : rows) {
        FileListModel::Row r;
        r.setText(FileListModel::VideoCodec, codec);
        r.setText(FileListModel::VideoSize, size);
        model.appendRow(r);
    }
    return Compatibility::statusOf(model);
}
const QString X = QStringLiteral("XVID"), S = QStringLiteral("640x480");
constexpr ListStatus Green = ListStatus::Green, Red = ListStatus::Red;
} // namespace

TEST(Compatibility, StatusTable)
{
    EXPECT_EQ(statusFor({}), Red);
    EXPECT_EQ(statusFor({{X, S}}), Red);
    EXPECT_EQ(statusFor({{X, S}, {X, S}}), Green);
    EXPECT_EQ(statusFor({{X, S}, {QStringLiteral("DX50"), S}}), Red);
    EXPECT_EQ(statusFor({{X, S}, {QStringLiteral("xvid"), S}}), Red);
    EXPECT_EQ(statusFor({{X, S}, {QString(), S}}), Green);
    EXPECT_EQ(statusFor({{QString(), S}, {X, S}}), Red);
    EXPECT_EQ(statusFor({{X, S}, {QStringLiteral("XVIDXVID"), S}}), Green);
    EXPECT_EQ(statusFor({{X, S}, {X, QStringLiteral("320x240")}}), Red);
    EXPECT_EQ(statusFor({{QString(), QString()}, {QString(), QString()}}), Green);
    // Removal runs over the joined texts: "AB" twice is made of "AB" copies even split as "A","B".
    EXPECT_EQ(statusFor({{QStringLiteral("AB"), S}, {QStringLiteral("A"), S}, {QStringLiteral("B"), S}}), Green);
    // One pass only: "AABB" minus "AB" leaves "AB".
    EXPECT_EQ(statusFor({{QStringLiteral("AB"), S}, {QStringLiteral("AABB"), S}}), Red);
}

TEST(Compatibility, Explanations)
{
    const auto green = Compatibility::explain(Green, 5);
    EXPECT_EQ(green.text, QStringLiteral("Status: Green\r\rThis status indicates that there is nothing wrong with your list."));
    EXPECT_FALSE(green.critical);
    EXPECT_TRUE(Compatibility::explain(Red, 1).text.endsWith(QStringLiteral("-There are not enough items in your list.")));
    EXPECT_TRUE(Compatibility::explain(Red, 2).text.endsWith(QStringLiteral("-Different Video Codecs\r-Different Dimensions")));
    EXPECT_TRUE(Compatibility::explain(Red, 2).critical);
    EXPECT_TRUE(Compatibility::explain(ListStatus::None, 2).text.isEmpty());

    FileList list;
    CheckCompatibility(list);
    EXPECT_EQ(list.listStatus(), Red);
}
