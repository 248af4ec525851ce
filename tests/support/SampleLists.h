#pragma once
#include <QStringList>
class FileList;

// A new list of rows f00000.avi, f00001.avi, ... whose Video Codec cells hold
// codecs in order (1 KB, 640x480, 1 second each), refreshed as after an add.
void fillWithCodecs(FileList &list, const QStringList &codecs);
// The Video Codec cells, top row first.
QStringList codecsOf(const FileList &list);
