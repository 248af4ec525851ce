#include "list/FileListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(FileListModel, ModelStaysConsistentUnderEdits)
{
    FileListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char *h : {"Filename", "Filesize", "Date Modified", "Filepath", "Video Codec", "Video Size", "Duration"})
        model.addHeader(QString::fromLatin1(h));
    FileListModel::Row a, b;
    a.setText(FileListModel::Filename, QStringLiteral("a"));
    b.setText(FileListModel::Filename, QStringLiteral("b"));
    model.appendRow(a);
    model.appendRow(b);
    model.insertRowAt(1, b);
    model.setCell(2, FileListModel::Filesize, QStringLiteral("2 KB"));
    model.removeRowAt(3);
    EXPECT_EQ(model.count(), 2);
    EXPECT_EQ(model.cell(1, FileListModel::Filename), QStringLiteral("b"));
    EXPECT_EQ(model.cell(2, FileListModel::Filesize), QStringLiteral("2 KB"));
    EXPECT_EQ(model.cell(9, FileListModel::Filename), QString()); // out of range reads empty
    model.clearHeaders();
    EXPECT_EQ(model.columnCount(), 0);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}
