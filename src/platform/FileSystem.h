#pragma once
#include <QString>

// File-system services in the platform's terms. Paths are native ("/").
namespace FileSystem {

inline constexpr QChar kSeparator = u'/';

bool pathExists(const QString &path);   // anything stat() can examine
bool folderExists(const QString &path);
// A regular file whose name does not start with "." (hidden); never a folder.
bool isNormalFile(const QString &path);
qint64 fileSize(const QString &path);   // -1 when it cannot be read
bool isRegularFile(const QString &path);
// Gives the owner write permission back (the "normal attributes" reset).
void makeWritable(const QString &path);
// Bytes available to this user on the file system holding path, or on its
// nearest existing ancestor; 0 on failure.
double freeBytes(const QString &path);
// Mount point of the file system that holds path, with a trailing separator.
QString mountPointOf(const QString &path);
// True when both name the same existing file (same device and inode).
bool sameFile(const QString &a, const QString &b);
// What stands at a path a program is about to write: nothing, a regular file
// (or a link to one) it may replace, or something no output can take the place
// of (a folder, a device, a pipe, a link that leads nowhere or round in a loop).
enum class Occupant { None, File, Other };
Occupant occupantOf(const QString &path);
// Everything up to and including the last separator; empty when there is none.
QString folderPart(const QString &path);
// Writes all size bytes to fd, at the offset at (pwrite) or, with at < 0, at the
// file's position; retries on EINTR. False with errno set (ENOSPC where the
// disk took nothing) when it could not.
bool writeAll(int fd, const char *data, qint64 size, qint64 at = -1);
// Reads exactly size bytes at offset at, retrying short reads; false when they are not all there.
bool readAll(int fd, char *data, qint64 size, qint64 at);

} // namespace FileSystem
