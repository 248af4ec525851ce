#include "ConsoleDialogs.h"

#include <cstdio>

ConsoleDialogs::ConsoleDialogs(bool yes, bool quiet) : m_yes(yes), m_quiet(quiet) { m_previous = Dialogs::setProvider(this); }

ConsoleDialogs::~ConsoleDialogs() { Dialogs::setProvider(m_previous); }

void ConsoleDialogs::print(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    std::fprintf(stderr, "%s\n", t.toLocal8Bit().constData());
    std::fflush(stderr);
}

Dialogs::Answer ConsoleDialogs::message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title)
{
    const QString shown = title.isEmpty() || title == QStringLiteral("Tapeweld") ? text : title + QStringLiteral("\r\n") + text;
    if (buttons == Dialogs::Buttons::YesNo || buttons == Dialogs::Buttons::YesNoCancel || buttons == Dialogs::Buttons::OkCancel) {
        // A question is always printed: it is what a script needs to see when it stops.
        print(shown);
        if (m_yes) {
            if (!m_quiet)
                print(QStringLiteral("(yes: --yes was given)\n"));
            return buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Ok : Dialogs::Answer::Yes;
        }
        return buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Cancel : Dialogs::Answer::No;
    }
    if (!m_quiet || icon == Dialogs::Icon::Critical || icon == Dialogs::Icon::Exclamation)
        print(shown);
    return Dialogs::Answer::Ok;
}

QStringList ConsoleDialogs::openFiles(const Dialogs::FileRequest &, bool) { return {}; }

QString ConsoleDialogs::saveFile(const Dialogs::FileRequest &)
{
    // The output named on the command line, once: asked again, it was refused.
    if (m_outputGiven)
        return QString();
    m_outputGiven = true;
    return m_output;
}

QString ConsoleDialogs::folder(const QString &) { return QString(); }

Dialogs::Answer ConsoleDialogs::question(const QString &text, const QString &otherText, const QString &otherOption)
{
    // The third choice is an option of the command line here.
    return message(text + QStringLiteral("\r\n(%1: run again with %2.)").arg(otherText, otherOption), Dialogs::Icon::Exclamation,
                   Dialogs::Buttons::YesNo, QString());
}
