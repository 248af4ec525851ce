#include "SampleMedia.h"

#include <QProcess>
#include <algorithm>
#include <QStringList>

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
    args << out;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    ffmpeg.waitForFinished(120000);
    return ffmpeg.exitCode() == 0 ? out : QString();
}

QString SampleMedia::makeWith(const QString &folder, const QString &name, const QStringList &arguments)
{
    const QString out = folder + u'/' + name;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} + arguments + QStringList{out});
    ffmpeg.waitForFinished(120000);
    return ffmpeg.exitCode() == 0 ? out : QString();
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
