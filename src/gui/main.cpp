#include "MainWindow.h"
#include "Resources.h"
#include "app/Shell.h"
#include "Splashscreen.h"
#include "WidgetDialogs.h"
#include "cli/CommandLineTool.h"
#include "compat/CheckCompatibility.h"
#include "list/UpdateListTotals.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Started by hand with the command line's options: the command line, as tapeweld runs it.
    if (const std::optional<int> exit = CommandLineTool::runIfWanted(argc, argv))
        return *exit;
    // "/debug" must be exact and alone: read before Qt takes out its own options.
    const QStringList arguments = CommandLineTool::argumentsOf(argc, argv);
    // Without a display the window cannot open: say so, rather than let the platform abort.
    const auto set = [](const char *name) { return !qEnvironmentVariableIsEmpty(name); };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM") && !arguments.contains(QStringLiteral("-platform"))) {
        std::fputs("tapeweld: there is no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Joins, repairs and checks need none: tapeweld --help\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tapeweld"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.larkvane.Tapeweld")); // Wayland matches windows to the entry by it
    // Files given without an option (the desktop's "Open With", a file manager's drop on the launcher).
    QStringList given;
    for (const QString &a : QApplication::arguments().mid(1))
        if (!a.startsWith(u'-') && a != QStringLiteral("/debug"))
            given << QFileInfo(a).absoluteFilePath();
    ensureResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tapeweld.svg")));
    setStatusCheck(&CheckCompatibility); // the refresh cascade ends in the status light
    WidgetDialogs dialogs;
    Dialogs::setProvider(&dialogs);
    Shell::setOpenHandler([](const QString &target) {
        const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
        return QDesktopServices::openUrl(url);
    });

    MainWindow *mainWindow = nullptr;
    bool showTips = false;
    Splashscreen splash([&] {
        mainWindow = new MainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
        mainWindow->startNewList();
        mainWindow->addGivenFiles(given);
        if (showTips)
            mainWindow->showTipOfTheDay();
    });
    if (splash.load(arguments, &showTips))
        splash.show();
    return app.exec();
}
