#pragma once
#include <QDialog>
class FileList;
class QComboBox;

// Reorders the list once by the text of one column.
class SortWizard : public QDialog
{
    Q_OBJECT
public:
    SortWizard(FileList &list, QWidget *parent = nullptr);
    QComboBox *sortField() const { return m_field; }
    QComboBox *sortMethod() const { return m_method; }
    void SortButton_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    FileList &m_list;
    QComboBox *m_field, *m_method;
};
