#pragma once
#include "tools/ListTools.h"

#include <QDialog>
class FileList;

// Facts about the current list, taken from the texts the main window shows.
class ListInfo : public QDialog
{
    Q_OBJECT
public:
    ListInfo(const FileList &list, QWidget *parent = nullptr);
    const ListTools::InfoRows &rows() const { return m_rows; }
    void CopyButton_Click();

private:
    ListTools::InfoRows m_rows;
};
