#pragma once
#include <QDialog>
class FileList;
class QComboBox;
class QProgressBar;
class QPushButton;
class QRadioButton;

// Removes the rows whose text in one column equals a chosen value, or keeps only those.
class RemoveWizard : public QDialog
{
    Q_OBJECT
public:
    RemoveWizard(FileList &list, QWidget *parent = nullptr);
    QComboBox *columnToCheck() const { return m_column; }
    QComboBox *valueToCheck() const { return m_value; }
    QRadioButton *keepMatchingRows() const { return m_keep; }
    QRadioButton *removeMatchingRows() const { return m_remove; }
    void ColumnToCheck_Click();
    void FinishButton_Click();
    void CancelButton_Click();
    bool Cancelled = false;

    // Between two looks at the clock the removal lets window events run after every row,
    // and applies what it decided (with one refresh) at most this often.
    static constexpr int kApplyEveryMs = 40;

private:
    FileList &m_list;
    QComboBox *m_column, *m_value;
    QRadioButton *m_keep, *m_remove;
    QProgressBar *m_progress;
    QPushButton *m_finish;
};
