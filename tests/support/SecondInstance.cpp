// A second instance of the program in its own process: tries to join two files
// with the per-user folder of another instance, and prints every message it got.
#include "app/AppPaths.h"
#include "compat/CheckCompatibility.h"
#include "join/StartJoin.h"
#include "join/RunSession.h"
#include "list/FileList.h"
#include "list/UpdateListTotals.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    setStatusCheck(&CheckCompatibility);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2; // settings folder, program folder, two inputs, output
    AppPaths::setApplicationSettingsPath(args[1]);
    AppPaths::setProgramFolder(args[2]);
    ScriptedDialogs dialogs;
    dialogs.files.enqueue({args[5]});
    FileList list;
    for (int i = 3; i <= 4; ++i)
        list.model().appendRow({QStringLiteral("f.avi"), QStringLiteral("1 KB"), QString(), args[i], QStringLiteral("XVID"),
                                QStringLiteral("640x480"), QStringLiteral("1 seconds")});
    UpdateListTotals(list);
    bool wizard = false;
    JoinHooks hooks;
    hooks.freeBytes = [](const QString &) { return 1e15; };
    hooks.runJoin = [&](const JoinPlan &, std::shared_ptr<RunSession>) { wizard = true; };
    StartJoin(list, hooks);
    for (const QString &m : dialogs.messageTexts())
        std::printf("%s\n", qPrintable(m));
    return wizard ? 1 : 0;
}
