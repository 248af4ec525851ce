#include "ProbeListItem.h"
#include "FileList.h"
#include "app/SystemServices.h"
#include "app/TextFormats.h"

#include <QFile>
#include <QHash>
#include <QPair>
#include <atomic>
#include <mutex>
#include <QFileInfo>
#include <cmath>
#include <cstddef>
#include <clocale>
#include <langinfo.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <MediaInfoDLL/MediaInfoDLL_Static.h>

namespace {
// CInt / CLng: a number text rounded half to even; out of range or not a number gives 0.
qint64 wholeNumber(const QString &text, qint64 min, qint64 max)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    const double r = std::nearbyint(v);
    return (r < static_cast<double>(min) || r > static_cast<double>(max)) ? 0 : static_cast<qint64>(r);
}

// The library turns wide file names into bytes with the C library's locale;
// under LANG=C (or a locale that is not installed) a non-ASCII name would not
// open. Names on this system are UTF-8, so the character type is made UTF-8.
void makeNamesUtf8()
{
    static const bool done = [] {
        if (QByteArray(::nl_langinfo(CODESET)) != "UTF-8")
            ::setlocale(LC_CTYPE, "C.UTF-8");
        return true;
    }();
    Q_UNUSED(done);
}

std::atomic<int> opened{0};

// A MediaInfo handle on one regular file.
class Handle
{
public:
    // parseSpeed: how far the library reads into the file; the cells and the
    // join's facts need only the headers, and read the same at 0 on every
    // kind of AVI tried.
    explicit Handle(const QString &path, const wchar_t *parseSpeed = nullptr)
    {
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return; // a folder or a pipe would make the library scan or block
        makeNamesUtf8();
        ++opened;
        m_handle = MediaInfo_New();
        if (!m_handle)
            return;
        MediaInfo_Option(m_handle, L"Internet", L"no");
        // Debian's library leaves the legacy %Codec% field empty without this.
        MediaInfo_Option(m_handle, L"Legacy", L"1");
        if (parseSpeed)
            MediaInfo_Option(m_handle, L"ParseSpeed", parseSpeed);
        MediaInfo_Open(m_handle, path.toStdWString().c_str());
    }
    ~Handle()
    {
        if (m_handle) {
            MediaInfo_Close(m_handle);
            MediaInfo_Delete(m_handle);
        }
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool open() const { return m_handle != nullptr; }
    QString eachStream(MediaInfo_stream_C kind, const wchar_t *field) const
    {
        QString text;
        for (size_t i = 0, n = count(kind); i < n; ++i)
            text += get(kind, i, field);
        return text;
    }
    QString get(MediaInfo_stream_C kind, size_t number, const wchar_t *field) const
    {
        return WideTextFromPointer(MediaInfo_Get(m_handle, kind, number, field, MediaInfo_Info_Text, MediaInfo_Info_Name));
    }
    size_t count(MediaInfo_stream_C kind) const { return MediaInfo_Count_Get(m_handle, kind, static_cast<size_t>(-1)); }

private:
    void *m_handle = nullptr;
};

MediaProbe::Streams streamsOf(const Handle &h)
{
    MediaProbe::Streams s;
    s.readable = true;
    bool ok = false;
    s.videoStreams = static_cast<int>(h.count(MediaInfo_Stream_Video));
    const qint64 frames = h.get(MediaInfo_Stream_Video, 0, L"FrameCount").toLongLong(&ok);
    s.frameCount = ok ? frames : -1;
    s.frameRate = h.get(MediaInfo_Stream_Video, 0, L"FrameRate");
    const double ms = h.get(MediaInfo_Stream_General, 0, L"Duration").toDouble(&ok);
    s.durationMs = ok ? static_cast<qint64>(ms) : -1;
    const size_t audio = h.count(MediaInfo_Stream_Audio);
    for (size_t i = 0; i < audio; ++i)
        s.audio.append({h.get(MediaInfo_Stream_Audio, i, L"Format"), h.get(MediaInfo_Stream_Audio, i, L"SamplingRate"),
                        h.get(MediaInfo_Stream_Audio, i, L"Channel(s)"), h.get(MediaInfo_Stream_Audio, i, L"BitRate_Mode"),
                        h.get(MediaInfo_Stream_Audio, i, L"BitRate")});
    return s;
}

// Streams by path, each with the stamp its file had before it was read: a
// file changed since reads again, even one whose time was set back (ctime).
std::mutex cacheMutex;
QHash<QString, QPair<QByteArray, MediaProbe::Streams>> cache;

QByteArray stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QByteArray::number(static_cast<qint64>(st.st_size)) + '/' + QByteArray::number(static_cast<qint64>(st.st_mtim.tv_sec))
           + '.' + QByteArray::number(static_cast<qint64>(st.st_mtim.tv_nsec)) + '/'
           + QByteArray::number(static_cast<quint64>(st.st_ino)) + '/' + QByteArray::number(static_cast<qint64>(st.st_ctim.tv_sec))
           + '.' + QByteArray::number(static_cast<qint64>(st.st_ctim.tv_nsec));
}

void remember(const QString &path, const QByteArray &stamp, const MediaProbe::Streams &s)
{
    if (stamp.isEmpty())
        return;
    std::lock_guard<std::mutex> lock(cacheMutex);
    if (cache.size() > 100000)
        cache.clear();
    cache.insert(path, {stamp, s});
}

bool recall(const QString &path, const QByteArray &stamp, MediaProbe::Streams *s)
{
    if (stamp.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(cacheMutex);
    const auto it = cache.constFind(path);
    if (it == cache.constEnd() || it->first != stamp)
        return false;
    if (s)
        *s = it->second;
    return true;
}
} // namespace

int MediaProbe::libraryOpens() { return opened.load(); }

QString WideTextFromPointer(const wchar_t *text) { return text ? QString::fromWCharArray(text) : QString(); }

MediaProbe::Facts MediaProbe::query(const QString &path)
{
    Facts facts;
    const Handle h(path, L"0");
    if (!h.open())
        return facts;
    // What the templates "Video;%Codec%", "Video;%Width%", "Video;%Height%" and
    // "General;%PlayTime%" give (one text per stream, run together), read field
    // by field: the library keeps the Inform template for the whole process, so
    // two threads asking at once would read each other's answers.
    facts.codec = h.eachStream(MediaInfo_Stream_Video, L"Codec");
    facts.width = h.eachStream(MediaInfo_Stream_Video, L"Width");
    facts.height = h.eachStream(MediaInfo_Stream_Video, L"Height");
    facts.playTime = h.eachStream(MediaInfo_Stream_General, L"PlayTime");
    facts.streams = streamsOf(h);
    return facts;
}

bool MediaProbe::isKept(const QString &path) { return recall(path, stampOf(path), nullptr); }

MediaProbe::Streams MediaProbe::streams(const QString &path)
{
    const QByteArray stamp = stampOf(path);
    Streams s;
    if (recall(path, stamp, &s))
        return s;
    s = readStreams(path);
    remember(path, stamp, s);
    return s;
}

MediaProbe::Streams MediaProbe::readStreams(const QString &path)
{
    const Handle h(path, L"0");
    return h.open() ? streamsOf(h) : Streams();
}

QString MediaProbe::sizeText(qint64 bytes)
{
    QString digits = bytes < 0 ? QString() : TextFormats::groupedOrEmpty(static_cast<double>(bytes) / 1024.0);
    if (digits.isEmpty())
        digits = QStringLiteral("1");
    return digits + QStringLiteral(" KB");
}

QString MediaProbe::frameSizeText(const QString &width, const QString &height)
{
    return QString::number(wholeNumber(width, -32768, 32767)) + u'x' + QString::number(wholeNumber(height, -32768, 32767));
}

QString MediaProbe::durationText(const QString &playTimeMs)
{
    const qint64 ms = wholeNumber(playTimeMs, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return QString::number(ms / 1000) + QStringLiteral(" seconds");
}

MediaProbe::Probed MediaProbe::probe(const QString &path) { return probe(path, &MediaProbe::query); }

MediaProbe::Probed MediaProbe::probe(const QString &path, const std::function<Facts(const QString &)> &query)
{
    Probed p;
    FileListModel::Row &row = p.row;
    row[FileListModel::Filepath] = path;
    row[FileListModel::Filename] = FileNameOf(path);
    const QFileInfo info(path); // one look at the file serves size, date and kind
    row[FileListModel::Filesize] = sizeText(info.exists() && !info.isDir() ? info.size() : -1);
    p.hasDate = info.exists();
    if (p.hasDate)
        row[FileListModel::DateModified] = TextFormats::generalDate(info.lastModified());
    const QByteArray stamp = info.isFile() ? stampOf(path) : QByteArray();
    const Facts facts = info.isFile() ? query(path) : Facts();
    // Kept even when a helper died on the file: it stays unreadable here too,
    // so no later check reads it in this process.
    remember(path, stamp, facts.streams);
    row[FileListModel::VideoCodec] = facts.codec;
    row[FileListModel::VideoSize] = frameSizeText(facts.width, facts.height);
    row[FileListModel::Duration] = durationText(facts.playTime);
    return p;
}

void ProbeListItem(FileList &list, int index)
{
    FileListModel &model = list.model();
    if (index == 0)
        index = model.count();
    if (index < 1 || index > model.count())
        return;
    const MediaProbe::Probed p = MediaProbe::probe(model.cell(index, FileListModel::Filepath));
    for (const auto column : {FileListModel::Filename, FileListModel::Filesize, FileListModel::DateModified,
                              FileListModel::VideoCodec, FileListModel::VideoSize, FileListModel::Duration})
        if (column != FileListModel::DateModified || p.hasDate) // an unreadable date keeps the cell's text
            model.setCell(index, column, p.row[column]);
}
