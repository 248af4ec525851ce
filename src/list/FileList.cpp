#include "FileList.h"
#include "app/SystemServices.h"
#include "platform/FileSystem.h"

void FileList::setListPath(const QString &path)
{
    m_listPath = path;
    Q_EMIT titleChanged(title());
}

QString FileList::title() const
{
    if (m_listPath.isEmpty())
        return QStringLiteral("Tapeweld - (Untitled List)");
    return QStringLiteral("Tapeweld - (") + FileNameOf(m_listPath) + u')';
}

void FileList::setListStatus(ListStatus status)
{
    m_listStatus = status;
    Q_EMIT statusChanged(status);
}

void FileList::setListType(const QString &type)
{
    m_listType = type;
    Q_EMIT listTypeChanged(type);
}

void FileList::setTotals(const Totals &totals)
{
    m_totals = totals;
    Q_EMIT totalsChanged();
}

bool FileList::holds(const QString &path) const
{
    for (const FileListModel::Row &row : m_model.rows())
        if (row[FileListModel::Filepath] == path || FileSystem::sameFile(row[FileListModel::Filepath], path))
            return true;
    return false;
}
