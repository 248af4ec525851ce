#pragma once
#include "app/Dialogs.h"
class QWidget;

// The real boxes and file dialogs, parented to the active window.
class WidgetDialogs : public Dialogs::Provider
{
public:
    Dialogs::Answer message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title) override;
    QStringList openFiles(const Dialogs::FileRequest &request, bool multiple) override;
    QString saveFile(const Dialogs::FileRequest &request) override;
    QString folder(const QString &title) override;
    Dialogs::Answer question(const QString &text, const QString &otherText, const QString &otherOption) override;
};
