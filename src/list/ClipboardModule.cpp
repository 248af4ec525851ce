#include "ClipboardModule.h"
#include "platform/PathRules.h"
#include "FileList.h"
#include "ProbeListItem.h"
#include "UpdateListTotals.h"
#include "app/Dialogs.h"

QString ClipboardModule::rowEntry(const FileListModel &model, int index)
{
    QString entry = QStringLiteral("TPW:") + model.cell(index, FileListModel::Filename);
    const int columns = static_cast<int>(model.headers().size());
    for (int sub = 1; sub < columns; ++sub)
        entry += u'|' + model.cell(index, static_cast<FileListModel::Column>(sub));
    return entry;
}

QString ClipboardModule::listText(const FileListModel &model)
{
    QString text;
    const int columns = static_cast<int>(model.headers().size());
    for (int i = 1; i <= model.count(); ++i) {
        text += u'"' + model.cell(i, FileListModel::Filename) + u'"';
        for (int sub = 1; sub < columns; ++sub)
            text += QStringLiteral(",\"") + model.cell(i, static_cast<FileListModel::Column>(sub)) + u'"';
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString ClipboardModule::pathOfEntry(const QString &text)
{
    if (!text.startsWith(QStringLiteral("TPW:")))
        return QString();
    const QStringList fields = text.mid(4).split(u'|');
    return fields.size() > FileListModel::Filepath ? fields[FileListModel::Filepath] : QString();
}

int ClipboardModule::PasteEntry(FileList &list, const QString &clipboardText)
{
    const QString path = pathOfEntry(clipboardText);
    if (path.isEmpty() || !PathRules::canCarryInList(path) || list.count() >= FileListModel::kMaxRows) {
        Dialogs::message(QStringLiteral("Invalid Clipboard Entry."), Dialogs::Icon::Exclamation);
        return 0;
    }
    FileListModel::Row row;
    row.setText(FileListModel::Filepath, path);
    list.model().appendRow(row);
    ProbeListItem(list, 0);
    const int index = list.count();
    UpdateListTotals(list);
    return index;
}
