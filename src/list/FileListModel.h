#pragma once
#include "RowFacts.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>
#include <array>

// The list's only store: every row is seven text cells and the facts they
// show as values. Indices in the public helpers are 1-based, as the rest of
// the program addresses rows.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Filename, Filesize, DateModified, Filepath, VideoCodec, VideoSize, Duration, CellCount };
    struct Row
    {
        std::array<QString, CellCount> cells; // written through setText, which keeps the facts in step
        RowFacts facts;

        Row() = default;
        // Cells in column order; the facts are read from their texts (as a list file's row).
        Row(std::initializer_list<QString> texts);
        const QString &operator[](int column) const { return cells[static_cast<size_t>(column)]; }
        auto begin() const { return cells.begin(); }
        auto end() const { return cells.end(); }
        // Sets a cell and the value its text stands for.
        void setText(Column column, const QString &text);
        // Rows are the same when their texts are: the facts follow the texts or the file.
        bool operator==(const Row &other) const { return cells == other.cells; }
    };
    static constexpr int kMaxRows = 32767; // row indices are 16-bit

    using QAbstractTableModel::QAbstractTableModel;

    // Column headers (ListviewLayout rebuilds them for every new list).
    void clearHeaders();
    void addHeader(const QString &caption);
    QStringList headers() const { return m_headers; }

    int count() const { return static_cast<int>(m_rows.size()); }
    QString cell(int index, Column column) const;
    void setCell(int index, Column column, const QString &text); // the fact behind it follows the text
    void setRow(int index, const Row &row);
    void setFacts(int index, const RowFacts &facts);
    const Row &row(int index) const { return m_rows[index - 1]; }
    const QVector<Row> &rows() const { return m_rows; }

    void appendRow(const Row &row);
    void appendRows(const QVector<Row> &rows); // one insertion for the whole batch
    void insertRowAt(int index, const Row &row); // the new row gets this index
    void removeRowAt(int index);
    void clear();
    void replaceAll(QVector<Row> rows); // bulk load, sort or filter: one reset

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list")}; }

private:
    QStringList m_headers;
    QVector<Row> m_rows;
};
