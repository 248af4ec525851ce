#include "SampleMedia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <unistd.h>

namespace {
// ffmpeg writing out; its exit code tells.
bool runFfmpeg(const QStringList &arguments, const QString &out)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments + QStringList{out});
    ffmpeg.waitForFinished(120000);
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// Media made from ffmpeg's own sources (no file of the test among the
// arguments) is made once per build, in a folder every test shares, and copied
// from there: a test may change its copy. Made under a name of its own and
// renamed, so that two tests asking at once both get a whole file.
QString madeOnce(const QStringList &arguments, const QString &out)
{
    const bool cacheable = std::none_of(arguments.begin(), arguments.end(), [](const QString &a) { return a.contains(u'/'); });
    if (!cacheable)
        return runFfmpeg(arguments, out) ? out : QString();
    const QString cache = QStringLiteral(TW_MEDIA_CACHE);
    QDir().mkpath(cache);
    const QString key = QString::fromLatin1(QCryptographicHash::hash(arguments.join(u'\n').toUtf8(), QCryptographicHash::Sha1).toHex());
    const QString cached = cache + u'/' + key + QStringLiteral(".avi");
    if (!QFile::exists(cached)) {
        const QString fresh = cache + u'/' + key + QStringLiteral(".%1.avi").arg(::getpid());
        if (!runFfmpeg(arguments, fresh) || !QFile::rename(fresh, cached)) {
            QFile::remove(fresh);
            if (!QFile::exists(cached))
                return QString();
        }
    }
    QFile::remove(out);
    return QFile::copy(cached, out) ? out : QString();
}
} // namespace

QString SampleMedia::make(Kind kind, const QString &folder, const QString &name, int seconds)
{
    const QString out = folder + u'/' + name;
    const QString duration = QString::number(seconds);
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")};
    auto video = [&](const char *size) {
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("testsrc=size=%1:rate=25").arg(QString::fromLatin1(size));
    };
    switch (kind) {
    case Kind::Xvid640: video("640x480"); break;
    case Kind::AudioOnly: break;
    default: video("320x240"); break;
    }
    args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
         << QStringLiteral("sine=frequency=440:sample_rate=44100") << QStringLiteral("-t") << duration;
    const QStringList xvid{QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID")};
    const QStringList mp3{QStringLiteral("-c:a"), QStringLiteral("libmp3lame")};
    switch (kind) {
    case Kind::Xvid640:
    case Kind::Xvid320: args << xvid << mp3; break;
    case Kind::Dx50:
        args << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-vtag") << QStringLiteral("DX50") << mp3;
        break;
    case Kind::Mjpg: args << QStringLiteral("-c:v") << QStringLiteral("mjpeg") << mp3; break;
    case Kind::AudioOnly: args << mp3; break;
    case Kind::XvidVbrMp3: args << xvid << mp3 << QStringLiteral("-q:a") << QStringLiteral("4"); break;
    case Kind::MjpgPcm: args << QStringLiteral("-c:v") << QStringLiteral("mjpeg") << QStringLiteral("-c:a") << QStringLiteral("pcm_s16le"); break;
    case Kind::NoAudio: args << xvid << QStringLiteral("-an"); break;
    case Kind::Mp42: args << QStringLiteral("-c:v") << QStringLiteral("msmpeg4v2") << mp3; break;
    case Kind::H264: args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-bf") << QStringLiteral("3") << mp3; break;
    case Kind::Ac3: args << xvid << QStringLiteral("-c:a") << QStringLiteral("ac3"); break;
    }
    return madeOnce(args.mid(3), out); // without the options every run gets
}

QString SampleMedia::makeWith(const QString &folder, const QString &name, const QStringList &arguments)
{
    return madeOnce(arguments, folder + u'/' + name);
}

QString SampleMedia::makeOpenDml(const QString &folder, const QString &name)
{
    return makeWith(folder, name,
                    {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=1920x1080:rate=25"),
                     QStringLiteral("-frames:v"), QStringLiteral("380"), QStringLiteral("-c:v"), QStringLiteral("rawvideo"),
                     QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")});
}

namespace {
QString probe(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), QStringList{QStringLiteral("-v"), QStringLiteral("error")} + args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

QStringList SampleMedia::packets(const QString &path)
{
    QStringList out;
    for (const QString &line : probe({QStringLiteral("-count_packets"), QStringLiteral("-show_entries"),
                                      QStringLiteral("stream=codec_type,nb_read_packets"), QStringLiteral("-of"),
                                      QStringLiteral("csv=p=0"), path})
                                   .split(u'\n', Qt::SkipEmptyParts))
        out << line.trimmed().replace(u',', u' ');
    return out;
}

double SampleMedia::soundSeconds(const QString &path, int track)
{
    double end = -1;
    for (const QString &line : probe({QStringLiteral("-select_streams"), QStringLiteral("a:%1").arg(track), QStringLiteral("-show_entries"),
                                      QStringLiteral("packet=pts_time,duration_time"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path})
                                   .split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u',');
        if (f.size() == 2)
            end = std::max(end, f[0].toDouble() + f[1].toDouble());
    }
    return end;
}

QStringList SampleMedia::videoChecksums(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-map"),
                                            QStringLiteral("0:v"), QStringLiteral("-c"), QStringLiteral("copy"), QStringLiteral("-f"),
                                            QStringLiteral("framemd5"), QStringLiteral("-")});
    ffmpeg.waitForFinished(120000);
    QStringList sums;
    for (const QString &line : QString::fromUtf8(ffmpeg.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'#'))
            sums << line.section(u',', -1).trimmed();
    return sums;
}

int SampleMedia::decoderErrors(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-f"),
                                            QStringLiteral("null"), QStringLiteral("-")});
    ffmpeg.waitForFinished(120000);
    return static_cast<int>(QString::fromUtf8(ffmpeg.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts).size());
}

int SampleMedia::encoderFrames(const QString &path)
{
    QProcess mencoder;
    mencoder.start(QStringLiteral("mencoder"), {QStringLiteral("-mc"), QStringLiteral("0"), QStringLiteral("-noskip"), QStringLiteral("-oac"),
                                                QStringLiteral("copy"), QStringLiteral("-ovc"), QStringLiteral("copy"), path, QStringLiteral("-o"),
                                                QStringLiteral("/dev/null")});
    mencoder.waitForFinished(120000);
    const QString out = QString::fromUtf8(mencoder.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral(" frames"), out.indexOf(QStringLiteral("Video stream:")));
    if (at < 0)
        return -1;
    return out.left(at).section(u' ', -1).toInt();
}

QStringList SampleMedia::playerChecksums(const QString &path)
{
    if (QStandardPaths::findExecutable(QStringLiteral("mplayer")).isEmpty())
        return {};
    QTemporaryDir dir;
    const QString sums = dir.path() + QStringLiteral("/sums");
    QProcess mplayer;
    mplayer.start(QStringLiteral("mplayer"), {QStringLiteral("-really-quiet"), QStringLiteral("-benchmark"), QStringLiteral("-nosound"),
                                             QStringLiteral("-vo"), QStringLiteral("md5sum:outfile=") + sums, path});
    mplayer.waitForFinished(120000);
    QFile f(sums);
    f.open(QIODevice::ReadOnly);
    QStringList out;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.isEmpty())
            out << QString::fromLatin1(line.left(32));
    return out;
}

double SampleMedia::packetTime(const QString &path, qint64 pos)
{
    for (const QString &line : probe({QStringLiteral("-show_entries"), QStringLiteral("packet=pts_time,pos"), QStringLiteral("-of"),
                                      QStringLiteral("csv=p=0"), path})
                                   .split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u',');
        if (f.size() == 2 && f[1].toLongLong() == pos)
            return f[0].toDouble();
    }
    return -1;
}

QString SampleMedia::keyFlags(const QString &path)
{
    QString flags;
    for (const QString &line : probe({QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                      QStringLiteral("packet=flags"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path})
                                   .split(u'\n', Qt::SkipEmptyParts))
        flags += line.startsWith(u'K') ? u'K' : u'-';
    return flags;
}

QString SampleMedia::pictureAt(const QString &path, int frame, bool seek)
{
    QStringList args{QStringLiteral("-v"), QStringLiteral("quiet")};
    if (seek)
        args << QStringLiteral("-ss") << QString::number(frame / 25.0, 'f', 3) << QStringLiteral("-i") << path;
    else
        args << QStringLiteral("-i") << path << QStringLiteral("-vf") << QStringLiteral("select=eq(n\\,%1)").arg(frame);
    args << QStringLiteral("-map") << QStringLiteral("0:v") << QStringLiteral("-frames:v") << QStringLiteral("1") << QStringLiteral("-f")
         << QStringLiteral("framemd5") << QStringLiteral("-");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    ffmpeg.waitForFinished(120000);
    for (const QString &line : QString::fromUtf8(ffmpeg.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'#'))
            return line.section(u',', -1).trimmed();
    return QString();
}

QStringList SampleMedia::picture(const QString &size, int rate)
{
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("testsrc=size=%1:rate=%2").arg(size).arg(rate)};
}

QStringList SampleMedia::sine(int sampleRate, double seconds)
{
    QString source = QStringLiteral("sine=frequency=440:sample_rate=%1").arg(sampleRate);
    if (seconds > 0)
        source += QStringLiteral(":duration=%1").arg(seconds);
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source};
}

int SampleMedia::videoFrames(const QString &path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v:0"),
                 QStringLiteral("-count_packets"), QStringLiteral("-show_entries"),
                 QStringLiteral("stream=nb_read_packets"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
    probe.waitForFinished(120000);
    bool ok = false;
    const int n = QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toInt(&ok);
    return ok ? n : -1;
}
