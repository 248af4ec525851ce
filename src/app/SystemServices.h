#pragma once
#include <QString>
#include <cstdint>

// Stateless services over the operating system that the whole program shares.
inline constexpr std::int32_t kFolderAppData = 0x001A;
inline constexpr std::int32_t kFolderCreate = 0x8000;

QString GetSpecialFolderPath(std::int32_t folderId);
QString GetWindowsFolder();
QString FileNameOf(const QString &path);
bool PathExists(const QString &path);
bool FolderExists(const QString &path);
void CreateFolderChain(const QString &folderPath);
double GetFreeDiskSpace(const QString &path);
// (Defined with the shell verbs, app/Shell, which the windows link.)
bool ShowFileProperties(const QString &filePath);
