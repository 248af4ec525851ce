#pragma once
class FileList;

void ClearColumns(FileList &list);
void AddFileColumns(FileList &list);  // Filename, Filesize, Date Modified, Filepath (hidden)
void AddVideoColumns(FileList &list); // Video Codec, Video Size, Duration
