#include "ListviewLayout.h"
#include "FileList.h"

void ClearColumns(FileList &list) { list.model().clearHeaders(); }

void AddFileColumns(FileList &list)
{
    for (const char *caption : {"Filename", "Filesize", "Date Modified", "Filepath"})
        list.model().addHeader(QString::fromLatin1(caption));
}

void AddVideoColumns(FileList &list)
{
    for (const char *caption : {"Video Codec", "Video Size", "Duration"})
        list.model().addHeader(QString::fromLatin1(caption));
}
