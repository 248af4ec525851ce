#include "CheckCompatibility.h"
#include "CarryCheck.h"
#include "list/FileList.h"
#include "platform/FileSystem.h"

namespace {
// Does the concatenation of every row's cell still hold something once each
// left-to-right, non-overlapping occurrence of the first row's text is removed?
// The occurrences are counted rather than removed, so the check stays one pass.
bool leavesRemainder(const FileListModel &model, FileListModel::Column column)
{
    qsizetype total = 0;
    for (const FileListModel::Row &row : model.rows())
        total += row[column].size();
    const QString first = model.cell(1, column);
    if (first.isEmpty())
        return total > 0;
    QString all;
    all.reserve(total);
    for (const FileListModel::Row &row : model.rows())
        all += row[column];
    qsizetype removed = 0;
    for (qsizetype at = all.indexOf(first); at >= 0; at = all.indexOf(first, at + first.size()))
        removed += first.size();
    return removed != total;
}
} // namespace

ListStatus Compatibility::statusOf(const FileListModel &model)
{
    if (model.count() < 2)
        return ListStatus::Red;
    if (goneRow(model))
        return ListStatus::Red; // a join of it can only fail
    if (leavesRemainder(model, FileListModel::VideoCodec) || leavesRemainder(model, FileListModel::VideoSize))
        return ListStatus::Red;
    return ListStatus::Green;
}

void ShowStatus(FileList &list, ListStatus status) { list.setListStatus(status); }

void CheckCompatibility(FileList &list) { ShowStatus(list, Compatibility::statusOf(list.model())); }

Compatibility::Explanation Compatibility::explain(ListStatus status, int rows)
{
    const QString cr = QStringLiteral("\r");
    if (status == ListStatus::Green)
        return {QStringLiteral("Status: Green") + cr + cr
                    + QStringLiteral("This status indicates that there is nothing wrong with your list."),
                false};
    if (status != ListStatus::Red)
        return {};
    if (rows < 2)
        return {QStringLiteral("Status: Red") + cr + cr
                    + QStringLiteral("This status indicates that your list cannot be merged this way.") + cr + cr
                    + QStringLiteral("Possible Reasons:") + cr + QStringLiteral("-There are not enough items in your list."),
                true};
    return {QStringLiteral("Status: Red") + cr + cr
                + QStringLiteral("This status indicates that there are some (problems) with your list.") + cr + cr
                + QStringLiteral("Possible Reasons:") + cr + QStringLiteral("-Different Video Codecs") + cr
                + QStringLiteral("-Different Dimensions"),
            true};
}

int Compatibility::goneRow(const FileListModel &model)
{
    for (int i = 1; i <= model.count(); ++i) {
        const QString &path = model.row(i)[FileListModel::Filepath];
        if (!path.isEmpty() && !FileSystem::pathExists(path))
            return i;
    }
    return 0;
}

QString Compatibility::goneLine(const FileListModel &model, int row)
{
    return QStringLiteral("Row %1 (%2) is gone: %3 no longer exists.")
        .arg(row)
        .arg(model.cell(row, FileListModel::Filename), model.cell(row, FileListModel::Filepath));
}

QString Compatibility::firstDifferenceLine(const FileListModel &model, ListStatus status, const Carriage &carriage)
{
    if (model.count() < 2)
        return QString();
    if (status == ListStatus::Red) {
        if (const int gone = goneRow(model))
            return goneLine(model, gone);
        // The light's own rule, row by row: what is left once row 1's text is taken out.
        for (int i = 2; i <= model.count(); ++i)
            for (const auto &[column, name] : {std::pair{FileListModel::VideoCodec, QStringLiteral("video codec")},
                                               std::pair{FileListModel::VideoSize, QStringLiteral("frame size")}}) {
                const QString first = model.cell(1, column);
                QString rest = model.cell(i, column);
                if (!first.isEmpty())
                    rest.remove(first);
                if (!rest.isEmpty()) {
                    auto shown = [](const QString &t) { return t.isEmpty() ? QStringLiteral("none") : t; };
                    return CarryCheck::line(i, model.cell(i, FileListModel::Filename), model.cell(1, FileListModel::Filename), name,
                                            shown(model.cell(i, column)), shown(first));
                }
            }
        return QString();
    }
    if (status != ListStatus::Green)
        return QString();
    const QVector<CarryCheck::Difference> d = CarryCheck::check(model, carriage);
    return d.isEmpty() ? QString() : d.first().text;
}

QString Compatibility::boxText(const FileListModel &model, ListStatus status, const Carriage &carriage)
{
    const Explanation e = explain(status, model.count());
    const QString detail = firstDifferenceLine(model, status, carriage);
    if (e.text.isEmpty() || detail.isEmpty())
        return e.text;
    return e.text + QStringLiteral("\r\r") + (status == ListStatus::Green ? alsoAskedHeading() + u'\r' : QString()) + detail;
}
