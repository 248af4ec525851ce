#pragma once
#include <QString>
#include <functional>

// Shell verbs. "Open" goes through a handler the window layer installs (the
// desktop's associated program); tests install a recorder instead.
namespace Shell {
using OpenHandler = std::function<bool(const QString &target)>;
OpenHandler setOpenHandler(OpenHandler handler);
// The file manager's D-Bus methods (ShowItems, ShowItemProperties); tests record instead.
using FileManagerCall = std::function<bool(const QString &method, const QString &filePath)>;
FileManagerCall setFileManagerCall(FileManagerCall call);

bool open(const QString &fileOrUrl); // document, folder or web address
// The file manager's properties dialog (freedesktop FileManager1 over D-Bus).
bool showProperties(const QString &filePath);
// Shows the file selected in the file manager; opens its folder when no file manager answers.
bool showInFolder(const QString &filePath);
} // namespace Shell
