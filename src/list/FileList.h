#pragma once
#include "FileListModel.h"
#include "ListStatus.h"

#include <QObject>

// The list as the rest of the program sees it: the rows, the list file it is
// bound to, the last compatibility result and the totals shown below it.
class FileList : public QObject
{
    Q_OBJECT
public:
    explicit FileList(QObject *parent = nullptr) : QObject(parent), m_model(this) {}

    FileListModel &model() { return m_model; }
    const FileListModel &model() const { return m_model; }
    int count() const { return m_model.count(); }
    // A row's file is this path, under its text or another spelling (a link,
    // "./", a doubled separator): the same device and inode.
    bool holds(const QString &path) const;

    QString listPath() const { return m_listPath; }
    void setListPath(const QString &path);
    QString title() const;

    ListStatus listStatus() const { return m_listStatus; }
    void setListStatus(ListStatus status);

    QString listType() const { return m_listType; }
    void setListType(const QString &type);

    struct Totals
    {
        QString count = QStringLiteral("0");
        QString duration = QStringLiteral("00:00:00");
        QString size = QStringLiteral("0 KB");
        double kilobytes = 0; // the sum behind size
        double bytes() const { return kilobytes * 1024.0; }
    };
    const Totals &totals() const { return m_totals; }
    void setTotals(const Totals &totals);

Q_SIGNALS:
    void titleChanged(const QString &title);
    void statusChanged(ListStatus status);
    void totalsChanged();
    void listTypeChanged(const QString &type);

private:
    FileListModel m_model;
    QString m_listPath;
    ListStatus m_listStatus = ListStatus::None;
    QString m_listType = QStringLiteral("?");
    Totals m_totals;
};
