#include "Dialogs.h"
#include "Version.h"

namespace {
Dialogs::Provider *g_provider = nullptr;
}

Dialogs::Provider *Dialogs::setProvider(Provider *provider)
{
    Provider *old = g_provider;
    g_provider = provider;
    return old;
}

Dialogs::Provider *Dialogs::provider() { return g_provider; }

Dialogs::Answer Dialogs::message(const QString &text, Icon icon, Buttons buttons, const QString &title)
{
    if (!g_provider)
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::No;
    return g_provider->message(text, icon, buttons, title.isEmpty() ? Version::kTitle : title);
}

Dialogs::Answer Dialogs::question(const QString &text, const QString &otherText, const QString &otherOption)
{
    return g_provider ? g_provider->question(text, otherText, otherOption) : Answer::No;
}

QStringList Dialogs::openFiles(const FileRequest &request, bool multiple)
{
    return g_provider ? g_provider->openFiles(request, multiple) : QStringList();
}

QString Dialogs::openFile(const FileRequest &request)
{
    const QStringList files = openFiles(request, false);
    return files.isEmpty() ? QString() : files.first();
}

QString Dialogs::saveFile(const FileRequest &request) { return g_provider ? g_provider->saveFile(request) : QString(); }

QString Dialogs::folder(const QString &title) { return g_provider ? g_provider->folder(title) : QString(); }

QString Dialogs::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        if (patterns == QStringLiteral("*.*"))
            patterns = QStringLiteral("*"); // "All Files": names without an extension too
        QString name = parts[i];
        // A name that already shows its patterns keeps them as they are.
        out << (name.contains(u'(') ? name.left(name.indexOf(u'(')).trimmed() : name) + QStringLiteral(" (") + patterns + u')';
    }
    return out.join(QStringLiteral(";;"));
}
