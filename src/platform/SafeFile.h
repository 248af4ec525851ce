#pragma once
#include "Result.h"

#include <QByteArray>
#include <QString>

// Reading and replacing the files the program keeps (list files, Settings.ini).
namespace SafeFile {

// The whole content of a regular file of at most maxBytes into data; anything
// else (a pipe, a device, a folder, a larger file) fails at once.
Result readRegular(const QString &path, qint64 maxBytes, QByteArray *data);

// Replaces the file only once the new content is completely on disk: written
// beside it, synced, then renamed over it (through a symbolic link, its target).
// Where the folder takes no new file but the file itself is writable, it is
// overwritten in place after its space is reserved; a failure puts the old
// bytes back. On failure the old file is as it was.
Result replace(const QString &path, const QByteArray &content);

} // namespace SafeFile
