#include "ConsoleDialogs.h"

#include <cstdio>
#include <unistd.h>

ConsoleDialogs::ConsoleDialogs(bool yes, bool quiet) : m_yes(yes), m_quiet(quiet) { m_previous = Dialogs::setProvider(this); }

ConsoleDialogs::~ConsoleDialogs() { Dialogs::setProvider(m_previous); }

namespace {
QByteArray forTerminal(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // What points at the window's controls gets the command line's words.
    t.replace(QStringLiteral("You can click the 'Red' icon in the bottom right corner for more information."),
              QStringLiteral("tapeweld --check with the same files says more."));
    return t.toLocal8Bit();
}

void put(FILE *to, const QByteArray &text)
{
    std::fprintf(to, "%s\n", text.constData());
    std::fflush(to);
}

// A question a person at a terminal can answer: "[y/N]", No on Enter or end of input.
bool askTerminal()
{
    std::fputs("[y/N] ", stderr);
    std::fflush(stderr);
    char line[64] = {};
    if (!std::fgets(line, sizeof line, stdin))
        return false;
    return line[0] == 'y' || line[0] == 'Y';
}
} // namespace

void ConsoleDialogs::print(const QString &text) { put(stderr, forTerminal(text)); }

void ConsoleDialogs::printError(const QString &text) { put(stderr, "tapeweld: " + forTerminal(text)); }

void ConsoleDialogs::printVerdict(const QString &text) { put(stdout, forTerminal(text)); }

Dialogs::Answer ConsoleDialogs::message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title)
{
    const QString shown = title.isEmpty() || title == QStringLiteral("Tapeweld") ? text : title + QStringLiteral("\r\n") + text;
    if (buttons == Dialogs::Buttons::YesNo || buttons == Dialogs::Buttons::YesNoCancel || buttons == Dialogs::Buttons::OkCancel) {
        // A question is always printed: it is what a script needs to see when it stops.
        print(shown);
        const Dialogs::Answer yes = buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Ok : Dialogs::Answer::Yes;
        const Dialogs::Answer no = buttons == Dialogs::Buttons::OkCancel ? Dialogs::Answer::Cancel : Dialogs::Answer::No;
        if (m_yes) {
            if (!m_quiet)
                print(QStringLiteral("(yes: --yes was given)\n"));
            return yes;
        }
        if (::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))
            return askTerminal() ? yes : no;
        printError(QStringLiteral("not answered (no terminal to ask on): --yes would go on."));
        return no;
    }
    if (icon == Dialogs::Icon::Critical)
        printError(shown);
    else if (!m_quiet || icon == Dialogs::Icon::Exclamation)
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
