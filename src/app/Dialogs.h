#pragma once
#include <QString>
#include <QStringList>

// The one seam every modal interaction goes through. Windows install the
// widget provider; tests install a scripted one, so no test blocks on a box.
namespace Dialogs {

enum class Icon { None, Information, Question, Exclamation, Critical };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No, Other };

struct FileRequest
{
    QString title;
    QString startFolder;
    QString filter; // "Name|pat;pat|Name2|pat"
};

class Provider
{
public:
    virtual ~Provider() = default;
    virtual Answer message(const QString &text, Icon icon, Buttons buttons, const QString &title) = 0;
    // A question with a third choice; its button says otherText, and otherOption
    // is how a command line makes the same choice ("--engine builtin").
    virtual Answer question(const QString &text, const QString &otherText, const QString &otherOption) = 0;
    virtual QStringList openFiles(const FileRequest &request, bool multiple) = 0; // empty: cancelled
    virtual QString saveFile(const FileRequest &request) = 0;                     // empty: cancelled
    virtual QString folder(const QString &title) = 0;                              // empty: cancelled
};

// Replaces the provider; returns the previous one. The caller keeps ownership.
Provider *setProvider(Provider *provider);
Provider *provider();

// Message boxes; CR and CR LF inside text become line breaks on screen.
Answer message(const QString &text, Icon icon = Icon::Information, Buttons buttons = Buttons::Ok,
               const QString &title = QString());
// A Yes/No question (No the default) with a third choice named otherText.
Answer question(const QString &text, const QString &otherText, const QString &otherOption);
QStringList openFiles(const FileRequest &request, bool multiple);
QString openFile(const FileRequest &request);
QString saveFile(const FileRequest &request);
QString folder(const QString &title);

// "Name|pat;pat|Name2|pat" becomes "Name (pat pat);;Name2 (pat)".
QString qtFilter(const QString &filter);

} // namespace Dialogs
