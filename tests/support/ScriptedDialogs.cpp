#include "ScriptedDialogs.h"

QStringList ScriptedDialogs::messageTexts() const
{
    QStringList out;
    for (const Message &m : messages)
        out << m.text;
    return out;
}

Dialogs::Answer ScriptedDialogs::message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons,
                                         const QString &title)
{
    messages.append({text, icon, buttons, title});
    if (onMessage)
        onMessage();
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons == Dialogs::Buttons::Ok || buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Ok
                                                                                     : Dialogs::Answer::No;
}

Dialogs::Answer ScriptedDialogs::question(const QString &text, const QString &otherText, const QString &)
{
    return message(text, Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo, otherText);
}

QStringList ScriptedDialogs::openFiles(const Dialogs::FileRequest &request, bool)
{
    fileRequests.append(request);
    return files.isEmpty() ? QStringList() : files.dequeue();
}

QString ScriptedDialogs::saveFile(const Dialogs::FileRequest &request)
{
    fileRequests.append(request);
    const QStringList f = files.isEmpty() ? QStringList() : files.dequeue();
    return f.isEmpty() ? QString() : f.first();
}

QString ScriptedDialogs::folder(const QString &title)
{
    fileRequests.append({title, QString(), QString()});
    const QStringList f = files.isEmpty() ? QStringList() : files.dequeue();
    return f.isEmpty() ? QString() : f.first();
}
