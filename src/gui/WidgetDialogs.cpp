#include "WidgetDialogs.h"
#include "app/Version.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget *owner() { return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow(); }
} // namespace

Dialogs::Answer WidgetDialogs::message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(owner());
    box.setWindowTitle(title);
    box.setText(shown);
    switch (icon) {
    case Dialogs::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Dialogs::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Dialogs::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Dialogs::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Dialogs::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case Dialogs::Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Dialogs::Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Dialogs::Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Dialogs::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Dialogs::Answer::Yes;
    case QMessageBox::No: return Dialogs::Answer::No;
    case QMessageBox::Cancel: return Dialogs::Answer::Cancel;
    default: return buttons == Dialogs::Buttons::Ok || buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Ok : Dialogs::Answer::Cancel;
    }
}

QStringList WidgetDialogs::openFiles(const Dialogs::FileRequest &request, bool multiple)
{
    const QString filter = Dialogs::qtFilter(request.filter);
    if (multiple)
        return QFileDialog::getOpenFileNames(owner(), request.title, request.startFolder, filter);
    const QString file = QFileDialog::getOpenFileName(owner(), request.title, request.startFolder, filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
}

QString WidgetDialogs::saveFile(const Dialogs::FileRequest &request)
{
    QFileDialog dialog(owner(), request.title, request.startFolder, Dialogs::qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the callers ask their own question
    // A name typed without an extension is used exactly as typed: no extension is added.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString WidgetDialogs::folder(const QString &title)
{
    // The browser's text has a line break; a window caption cannot show one.
    QString caption = title;
    caption.replace(u'\r', QStringLiteral(" - "));
    return QFileDialog::getExistingDirectory(owner(), caption);
}

Dialogs::Answer WidgetDialogs::question(const QString &text, const QString &otherText, const QString &)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(QMessageBox::Warning, Version::kTitle, shown, QMessageBox::Yes | QMessageBox::No, owner());
    QPushButton *other = box.addButton(otherText, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::No); // Return never accepts a harm
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    if (box.clickedButton() == other)
        return Dialogs::Answer::Other;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Dialogs::Answer::Yes : Dialogs::Answer::No;
}
