#pragma once
#include "app/Dialogs.h"

#include <QString>

// The dialog seam on a terminal: every box is printed to standard error with
// the window's words (an error prefixed "tapeweld:"); a question is answered
// Yes with --yes, asked "[y/N]" on a terminal (No on Enter or end of input),
// and answered No elsewhere, saying that --yes would go on; the output dialog
// answers the path given on the command line, once.
class ConsoleDialogs : public Dialogs::Provider
{
public:
    ConsoleDialogs(bool yes, bool quiet);
    ~ConsoleDialogs() override;

    void setOutput(const QString &path) { m_output = path; }
    // Prints a box's text as a terminal shows it (CR LF and CR become line
    // breaks): to standard error, where progress and questions go; an error
    // prefixed "tapeweld:"; a verdict or report to standard output.
    static void print(const QString &text);
    static void printError(const QString &text);
    static void printVerdict(const QString &text);

    Dialogs::Answer message(const QString &text, Dialogs::Icon icon, Dialogs::Buttons buttons, const QString &title) override;
    QStringList openFiles(const Dialogs::FileRequest &request, bool multiple) override;
    QString saveFile(const Dialogs::FileRequest &request) override;
    QString folder(const QString &title) override;
    Dialogs::Answer question(const QString &text, const QString &otherText, const QString &otherOption) override;

private:
    Dialogs::Provider *m_previous;
    bool m_yes, m_quiet;
    QString m_output;
    bool m_outputGiven = false;
};
