#include "ProbeListItem.h"
#include "FileList.h"
#include "../app/SystemServices.h"
#include "../app/TextFormats.h"

#include <QFileInfo>
#include <cstddef>
#include <cmath>
#include <limits>
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

std::wstring wide(const QString &s) { return s.toStdWString(); }
} // namespace

QString WideTextFromPointer(const wchar_t *text) { return text ? QString::fromWCharArray(text) : QString(); }

MediaProbe::Facts MediaProbe::query(const QString &path)
{
    Facts facts;
    void *handle = MediaInfo_New();
    if (!handle)
        return facts;
    MediaInfo_Option(handle, L"Internet", L"no");
    // Debian's library leaves the legacy %Codec% field empty without this.
    MediaInfo_Option(handle, L"Legacy", L"1");
    MediaInfo_Open(handle, wide(path).c_str());
    auto inform = [handle](const wchar_t *templ) {
        MediaInfo_Option(handle, L"Inform", templ);
        return WideTextFromPointer(MediaInfo_Inform(handle, 0));
    };
    facts.codec = inform(L"Video;%Codec%");
    facts.width = inform(L"Video;%Width%");
    facts.height = inform(L"Video;%Height%");
    facts.playTime = inform(L"General;%PlayTime%");
    MediaInfo_Close(handle);
    MediaInfo_Delete(handle);
    return facts;
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

void ProbeListItem(FileList &list, int index)
{
    FileListModel &model = list.model();
    if (index == 0)
        index = model.count();
    if (index < 1 || index > model.count())
        return;
    const QString path = model.cell(index, FileListModel::Filepath);
    model.setCell(index, FileListModel::Filename, FileNameOf(path));
    const QFileInfo info(path); // one look at the file serves size, date and kind
    model.setCell(index, FileListModel::Filesize,
                  MediaProbe::sizeText(info.exists() && !info.isDir() ? info.size() : -1));
    if (info.exists())
        model.setCell(index, FileListModel::DateModified, TextFormats::generalDate(info.lastModified()));
    const MediaProbe::Facts facts = info.isFile() ? MediaProbe::query(path) : MediaProbe::Facts();
    model.setCell(index, FileListModel::VideoCodec, facts.codec);
    model.setCell(index, FileListModel::VideoSize, MediaProbe::frameSizeText(facts.width, facts.height));
    model.setCell(index, FileListModel::Duration, MediaProbe::durationText(facts.playTime));
}
