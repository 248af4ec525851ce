#pragma once
#include <MediaInfoDLL/MediaInfoDLL_Static.h>

#include <QString>

// The media library's C functions, loaded the first time a file is asked of
// it: a command line that reads only AVI files itself, and the window, never
// pay for loading the library and what it links (a network library among them).
namespace MediaLibrary {
struct Functions
{
    decltype(&::MediaInfo_New) create = nullptr;
    decltype(&::MediaInfo_Delete) destroy = nullptr;
    decltype(&::MediaInfo_Option) option = nullptr;
    decltype(&::MediaInfo_Open) open = nullptr;
    decltype(&::MediaInfo_Close) close = nullptr;
    decltype(&::MediaInfo_Get) get = nullptr;
    decltype(&::MediaInfo_Count_Get) count = nullptr;
};
// Loads the library once, on any thread; null when it cannot be loaded (said
// once on standard error: the files it would read are then left unread).
const Functions *functions();
} // namespace MediaLibrary
