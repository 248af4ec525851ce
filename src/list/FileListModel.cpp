#include "FileListModel.h"

void FileListModel::clearHeaders()
{
    if (m_headers.isEmpty())
        return;
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(m_headers.size()) - 1);
    m_headers.clear();
    endRemoveColumns();
}

void FileListModel::addHeader(const QString &caption)
{
    if (m_headers.size() >= CellCount)
        return;
    const int at = static_cast<int>(m_headers.size());
    beginInsertColumns(QModelIndex(), at, at);
    m_headers << caption;
    endInsertColumns();
}

QString FileListModel::cell(int index, Column column) const
{
    if (index < 1 || index > count())
        return QString();
    return m_rows[index - 1][column];
}

FileListModel::Row::Row(std::initializer_list<QString> texts)
{
    int column = 0;
    for (const QString &text : texts)
        if (column < CellCount)
            setText(static_cast<Column>(column++), text);
}

void FileListModel::Row::setText(Column column, const QString &text)
{
    cells[static_cast<size_t>(column)] = text;
    switch (column) {
    case Filesize: facts.readFrom(RowFacts::Filesize, text); break;
    case DateModified: facts.readFrom(RowFacts::DateModified, text); break;
    case VideoSize: facts.readFrom(RowFacts::VideoSize, text); break;
    case Duration: facts.readFrom(RowFacts::Duration, text); break;
    default: break;
    }
}

void FileListModel::setCell(int index, Column column, const QString &text)
{
    if (index < 1 || index > count())
        return;
    Row &row = m_rows[index - 1];
    if (row[column] == text)
        return;
    row.setText(column, text);
    const QModelIndex i = createIndex(index - 1, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

void FileListModel::setRow(int index, const Row &row)
{
    if (index < 1 || index > count())
        return;
    m_rows[index - 1] = row;
    Q_EMIT dataChanged(createIndex(index - 1, 0), createIndex(index - 1, CellCount - 1), {Qt::DisplayRole});
}

void FileListModel::setFacts(int index, const RowFacts &facts)
{
    if (index >= 1 && index <= count())
        m_rows[index - 1].facts = facts;
}

void FileListModel::appendRow(const Row &row) { insertRowAt(count() + 1, row); }

void FileListModel::appendRows(const QVector<Row> &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void FileListModel::insertRowAt(int index, const Row &row)
{
    index = qBound(1, index, count() + 1);
    beginInsertRows(QModelIndex(), index - 1, index - 1);
    m_rows.insert(index - 1, row);
    endInsertRows();
}

void FileListModel::removeRowAt(int index)
{
    if (index < 1 || index > count())
        return;
    beginRemoveRows(QModelIndex(), index - 1, index - 1);
    m_rows.removeAt(index - 1);
    endRemoveRows();
}

void FileListModel::clear() { replaceAll({}); }

void FileListModel::replaceAll(QVector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : count(); }

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= CellCount)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows[index.row()][index.column()];
    return QVariant();
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers[section];
    return QVariant();
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
