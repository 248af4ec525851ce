#include "ProbeListItem.h"
#include "FileList.h"
#include "ProbeAhead.h"
#include "app/SystemServices.h"
#include "app/TextFormats.h"

#include <QCoreApplication>
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
#include "MediaLibrary.h"
#include "avi/AviFile.h"

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
        m_library = MediaLibrary::functions();
        if (!m_library)
            return;
        makeNamesUtf8();
        ++opened;
        m_handle = m_library->create();
        if (!m_handle)
            return;
        m_library->option(m_handle, L"Internet", L"no");
        // Debian's library leaves the legacy %Codec% field empty without this.
        m_library->option(m_handle, L"Legacy", L"1");
        if (parseSpeed)
            m_library->option(m_handle, L"ParseSpeed", parseSpeed);
        m_library->open(m_handle, path.toStdWString().c_str());
    }
    ~Handle()
    {
        if (m_handle) {
            m_library->close(m_handle);
            m_library->destroy(m_handle);
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
        return WideTextFromPointer(m_library->get(m_handle, kind, number, field, MediaInfo_Info_Text, MediaInfo_Info_Name));
    }
    size_t count(MediaInfo_stream_C kind) const { return m_library->count(m_handle, kind, static_cast<size_t>(-1)); }

private:
    const MediaLibrary::Functions *m_library = nullptr;
    void *m_handle = nullptr;
};

} // namespace

QByteArray MediaProbe::stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QByteArray::number(static_cast<qint64>(st.st_size)) + '/' + QByteArray::number(static_cast<qint64>(st.st_mtim.tv_sec))
           + '.' + QByteArray::number(static_cast<qint64>(st.st_mtim.tv_nsec)) + '/'
           + QByteArray::number(static_cast<quint64>(st.st_ino)) + '/' + QByteArray::number(static_cast<qint64>(st.st_ctim.tv_sec))
           + '.' + QByteArray::number(static_cast<qint64>(st.st_ctim.tv_nsec));
}

int MediaProbe::libraryOpens() { return opened.load(); }

QString WideTextFromPointer(const wchar_t *text) { return text ? QString::fromWCharArray(text) : QString(); }

namespace {
std::atomic<bool> g_readAviItself{false};
} // namespace

void MediaProbe::setReadAviItself(bool itself) { g_readAviItself = itself; }
bool MediaProbe::readsAviItself() { return g_readAviItself; }

MediaProbe::Facts MediaProbe::ownReading(const Avi::File &file)
{
    Facts facts;
    facts.avi = Avi::Summary::of(file);
    double seconds = -1; // the longest stream, as the library's play time of the whole file
    for (int s = 0; s < file.streams.size(); ++s)
        if (file.streams[s].kind == Avi::Kind::Video || file.streams[s].kind == Avi::Kind::Audio)
            seconds = std::max(seconds, Avi::seconds(file.streams[s], file.counts.value(s)));
    facts.playTime = seconds >= 0 ? QString::number(std::llround(seconds * 1000)) : QString();
    const int video = file.firstOf(Avi::Kind::Video);
    if (video < 0)
        return facts;
    const Avi::Stream &v = file.streams[video];
    // A tag of letters as the library gives it; one that is none (raw pictures) in hex, as it does.
    const QString tag = Riff::tagText(v.compression);
    facts.codec = tag.contains(u'?') ? QStringLiteral("0x") + QString::number(v.compression, 16).rightJustified(8, u'0').toUpper() : tag.trimmed();
    facts.width = QString::number(v.width);
    facts.height = QString::number(qAbs(v.height));
    return facts;
}

MediaProbe::Facts MediaProbe::query(const QString &path)
{
    // Tapeweld's own reading first: an AVI file whose index says it holds more
    // than it has room for would keep the library reading until the helper's deadline.
    const Avi::File file = Avi::read(path, Avi::Detail::Counts);
    if (file.overstatedIndex)
        return ownReading(file);
    Facts facts;
    facts.avi = Avi::Summary::of(file);
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
    return facts;
}

double MediaProbe::shownKilobytes(qint64 bytes)
{
    const double rounded = bytes < 0 ? 0 : std::floor(static_cast<double>(bytes) / 1024.0 + 0.5);
    return rounded == 0 ? 1 : rounded; // never shown as 0 KB
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
    RowFacts &facts = row.facts;
    row.cells[FileListModel::Filepath] = path;
    row.cells[FileListModel::Filename] = FileNameOf(path);
    const QFileInfo info(path); // one look at the file serves size, date and kind
    facts.bytes = info.exists() && !info.isDir() ? info.size() : -1;
    facts.kilobytes = shownKilobytes(facts.bytes);
    row.cells[FileListModel::Filesize] = sizeText(facts.bytes);
    p.hasDate = info.exists();
    if (p.hasDate) {
        facts.modified = info.lastModified();
        row.cells[FileListModel::DateModified] = TextFormats::generalDate(facts.modified);
    }
    facts.stamp = info.isFile() ? stampOf(path) : QByteArray();
    const Facts read = info.isFile() ? query(path) : Facts();
    // Kept even when a helper died on the file: it stays unreadable here too,
    // so no later check reads it in this process.
    facts.avi = read.avi;
    row.cells[FileListModel::VideoCodec] = read.codec;
    facts.width = static_cast<int>(wholeNumber(read.width, -32768, 32767));
    facts.height = static_cast<int>(wholeNumber(read.height, -32768, 32767));
    row.cells[FileListModel::VideoSize] = QString::number(facts.width) + u'x' + QString::number(facts.height);
    facts.seconds = wholeNumber(read.playTime, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()) / 1000;
    row.cells[FileListModel::Duration] = QString::number(facts.seconds) + QStringLiteral(" seconds");
    return p;
}

void ProbeListItem(FileList &list, int index)
{
    FileListModel &model = list.model();
    if (index == 0)
        index = model.count();
    if (index < 1 || index > model.count())
        return;
    // Read by a helper process off the window's thread: the window keeps painting
    // (taking no input meanwhile), and a file whose read never comes back is
    // given up after the helper's deadline instead of freezing the window.
    MediaProbe::Probed p;
    {
        ProbeAhead ahead({model.cell(index, FileListModel::Filepath)}, {true}, 1);
        while (!ahead.waitFor(0, 16))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        p = ahead.take(0);
    }
    if (!p.hasDate) { // an unreadable date keeps the cell's text
        p.row.setText(FileListModel::DateModified, model.cell(index, FileListModel::DateModified));
    }
    model.setRow(index, p.row);
}
