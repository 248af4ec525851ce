#pragma once
#include "app/Dialogs.h"

#include <QQueue>
#include <QStringList>
#include <functional>

// Answers every modal interaction from a script and records what was asked.
// A question nobody scripted is answered with the box's default (Ok or No,
// or a cancelled dialog) and recorded, so a test never blocks.
class ScriptedDialogs : public Dialogs::Provider
{
public:
    ScriptedDialogs() { m_previous = Dialogs::setProvider(this); }
    ~ScriptedDialogs() override { Dialogs::setProvider(m_previous); }

    struct Message
    {
        QString text;
        Dialogs::Icon icon;
        Dialogs::Buttons buttons;
        QString title;
    };
    QList<Message> messages;
    QList<Dialogs::FileRequest> fileRequests;

    QQueue<Dialogs::Answer> answers;
    QQueue<QStringList> files; // for open, save and folder requests, in order
    std::function<void()> onMessage; // runs when a box is shown (e.g. to click elsewhere)

    QStringList messageTexts() const;

    Dialogs::Answer message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title) override;
    // Recorded as a Yes/No message whose title is the third choice's text.
    Dialogs::Answer question(const QString &text, const QString &otherText, const QString &otherOption) override;
    QStringList openFiles(const Dialogs::FileRequest &request, bool multiple) override;
    QString saveFile(const Dialogs::FileRequest &request) override;
    QString folder(const QString &title) override;

private:
    Dialogs::Provider *m_previous = nullptr;
};
