#include "MediaLibrary.h"
#include "app/DebugLog.h"

#include <cstdio>
#include <dlfcn.h>
#include <mutex>

namespace {
std::once_flag g_once;
MediaLibrary::Functions g_functions;
bool g_loaded = false;

template<typename F>
bool bind(void *library, const char *name, F &slot)
{
    slot = reinterpret_cast<F>(::dlsym(library, name));
    return slot != nullptr;
}

void load()
{
    // The system's search path only: never a library lying in the current folder.
    void *library = ::dlopen("libmediainfo.so.0", RTLD_NOW | RTLD_LOCAL);
    bool ok = library != nullptr;
    if (ok) {
        MediaLibrary::Functions &f = g_functions;
        ok = bind(library, "MediaInfo_New", f.create) && bind(library, "MediaInfo_Delete", f.destroy)
             && bind(library, "MediaInfo_Option", f.option) && bind(library, "MediaInfo_Open", f.open)
             && bind(library, "MediaInfo_Close", f.close) && bind(library, "MediaInfo_Get", f.get)
             && bind(library, "MediaInfo_Count_Get", f.count);
    }
    if (ok) {
        g_loaded = true; // kept loaded for the life of the process
        return;
    }
    const char *why = ::dlerror();
    const QString failure = QStringLiteral("The media library libmediainfo.so.0 could not be loaded (%1): the codec, frame size "
                                           "and play time of files Tapeweld does not read as AVI are left empty.")
                                .arg(why ? QString::fromLocal8Bit(why) : QStringLiteral("a function is missing"));
    std::fprintf(stderr, "tapeweld: %s\n", failure.toLocal8Bit().constData());
    WriteDebugLog(failure);
}
} // namespace

const MediaLibrary::Functions *MediaLibrary::functions()
{
    std::call_once(g_once, load);
    return g_loaded ? &g_functions : nullptr;
}
