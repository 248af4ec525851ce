#include "ListFunctions.h"
#include "FileList.h"
#include "AddFilesModule.h"
#include "ListFile.h"
#include "ListviewLayout.h"
#include "ProbeListItem.h"
#include "UpdateListTotals.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "platform/ErrorText.h"
#include "platform/PathRules.h"

#include <QLocale>
#include <QSet>

namespace {
const QString kTpwFilter = QStringLiteral("TPW Files|*.tpw");

void operationComplete(int removed)
{
    Dialogs::message(QStringLiteral("Operation Complete!\rItems Removed: ") + QString::number(removed),
                     Dialogs::Icon::Information);
}
} // namespace

void NewList(FileList &list, bool ask)
{
    if (ask && Dialogs::message(QStringLiteral("Are you sure you would like to create a new list?"), Dialogs::Icon::Question,
                                Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes)
        return;
    list.setListPath(QString());
    list.setListType(QStringLiteral("AVI"));
    ClearColumns(list);
    AddFileColumns(list);
    AddVideoColumns(list);
    list.model().clear();
    UpdateListTotals(list);
}

bool SaveListFile(FileList &list, bool saveAs)
{
    QString target = list.listPath();
    if (target.isEmpty() || saveAs) {
        const QString start = Settings::startFolder(SettingsKeys::kSaveList);
        target = Dialogs::saveFile({QStringLiteral("Save List"), start, kTpwFilter});
        if (target.isEmpty())
            return false;
        Settings::rememberFolder(SettingsKeys::kSaveList, start, target);
    }
    if (const Result written = ListFile::write(target, ListFile::format(list.listType(), list.model().rows())); !written.ok()) {
        Dialogs::message(QStringLiteral("Your list was not saved to\r\n") + target + QStringLiteral("\r\n\r\n")
                             + ErrorText::sentence(written.why()) + QStringLiteral("\r\nThe file was left as it was."),
                         Dialogs::Icon::Critical);
        return false;
    }
    list.setListPath(target);
    return true;
}

void OpenListFile(FileList &list)
{
    const QString start = Settings::startFolder(SettingsKeys::kOpenList);
    const QString file = Dialogs::openFile({QStringLiteral("Open List"), start, kTpwFilter});
    if (file.isEmpty())
        return;
    Settings::rememberFolder(SettingsKeys::kOpenList, start, file);
    (void)LoadListFile(list, file); // a file that is no list was said so
}

bool LoadListFile(FileList &list, const QString &file)
{
    ListFile::Parsed parsed = ListFile::read(file);
    if (!parsed.valid) {
        Dialogs::message(QStringLiteral("Unable to open; Invalid File!"), Dialogs::Icon::Exclamation);
        return false;
    }
    // Rows a join script could not carry (possible in a hand-edited file) stay out.
    QStringList refused;
    QVector<FileListModel::Row> rows;
    rows.reserve(parsed.rows.size());
    for (FileListModel::Row &row : parsed.rows) {
        if (PathRules::canCarryInScript(row[FileListModel::Filepath]))
            rows.append(std::move(row));
        else
            refused << row[FileListModel::Filepath];
    }
    ClearList(list, false);
    list.model().replaceAll(std::move(rows));
    // A list opened in part stays untitled: a save must never shorten its file.
    const bool partly = parsed.truncated || !refused.isEmpty() || !parsed.tooLong.isEmpty();
    list.setListPath(partly ? QString() : file);
    UpdateListTotals(list);
    const QString untitled = QStringLiteral("\r\n\r\nThe list was opened as an untitled list, so that saving it cannot shorten the file.");
    if (!parsed.tooLong.isEmpty()) {
        QStringList lines;
        for (const int l : std::as_const(parsed.tooLong))
            lines << QString::number(l);
        Dialogs::message(QStringLiteral("These lines of the list file are longer than a row can be (%1 bytes) and were left out: %2")
                                 .arg(QLocale().toString(ListFile::kMaxLineBytes), lines.join(QStringLiteral(", ")))
                             + untitled,
                         Dialogs::Icon::Exclamation);
    }
    if (parsed.truncated)
        Dialogs::message(QStringLiteral("This list file holds more than 32,767 files; only the first 32,767 were opened.") + untitled,
                         Dialogs::Icon::Exclamation);
    if (!refused.isEmpty())
        Dialogs::message(QStringLiteral("These rows were left out, because their file names hold a character that join "
                                        "scripts cannot carry (\", a line break, NUL, or bytes that are not valid UTF-8 text):")
                             + AddFiles::namesForMessage(refused) + untitled,
                         Dialogs::Icon::Exclamation);
    return true;
}

bool AskToSaveOnClose(FileList &list)
{
    switch (Dialogs::message(QStringLiteral("Would you like to save your list?"), Dialogs::Icon::Question,
                             Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes: return SaveListFile(list, false);
    case Dialogs::Answer::No: return true;
    default: return false;
    }
}

void RemoveListItem(FileList &list, int index)
{
    list.model().removeRowAt(index);
    UpdateListTotals(list);
}

void ClearList(FileList &list, bool ask)
{
    if (!ask || Dialogs::message(QStringLiteral("Are you sure you would like to clear your list?"), Dialogs::Icon::Question,
                                 Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
        list.model().clear();
    UpdateListTotals(list);
}

void RemoveDuplicatedFiles(FileList &list)
{
    // Keeps each path's last occurrence, in one pass from the end.
    const QVector<FileListModel::Row> &rows = list.model().rows();
    const int before = static_cast<int>(rows.size());
    QSet<QString> seen;
    QVector<FileListModel::Row> kept;
    for (int i = before - 1; i >= 0; --i)
        if (!seen.contains(rows[i][FileListModel::Filepath])) {
            seen.insert(rows[i][FileListModel::Filepath]);
            kept.append(rows[i]);
        }
    std::reverse(kept.begin(), kept.end());
    if (kept.size() != before)
        list.model().replaceAll(std::move(kept));
    UpdateListTotals(list);
    operationComplete(before - list.count());
}

void RemoveDeadFiles(FileList &list)
{
    const int before = list.count();
    QVector<FileListModel::Row> kept;
    for (const FileListModel::Row &row : list.model().rows())
        if (FileSystem::isNormalFile(row[FileListModel::Filepath]))
            kept.append(row);
    if (kept.size() != before)
        list.model().replaceAll(std::move(kept));
    UpdateListTotals(list);
    operationComplete(before - list.count());
}

int MoveItemUp(FileList &list, int index)
{
    FileListModel &model = list.model();
    if (index <= 1 || index > model.count())
        return 0;
    FileListModel::Row moved;
    moved.setText(FileListModel::Filename, model.cell(index, FileListModel::Filename));
    moved.setText(FileListModel::Filepath, model.cell(index, FileListModel::Filepath));
    model.insertRowAt(index - 1, moved);
    model.removeRowAt(index + 1);
    ProbeListItem(list, index);
    ProbeListItem(list, index - 1);
    return index - 1;
}

int MoveItemDown(FileList &list, int index)
{
    FileListModel &model = list.model();
    if (index < 1 || index >= model.count())
        return 0;
    FileListModel::Row moved;
    moved.setText(FileListModel::Filename, model.cell(index, FileListModel::Filename));
    moved.setText(FileListModel::Filepath, model.cell(index, FileListModel::Filepath));
    model.insertRowAt(index + 2, moved);
    model.removeRowAt(index);
    ProbeListItem(list, index);
    ProbeListItem(list, index + 1);
    return index + 1;
}
