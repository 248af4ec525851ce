#pragma once
#include <QString>

// Sample AVIs made by ffmpeg for a test, cached per run in one folder.
namespace SampleMedia {
enum class Kind { Xvid640, Xvid320, Dx50, Mjpg, AudioOnly, XvidVbrMp3, MjpgPcm, NoAudio, Mp42, H264, Ac3 };
// seconds of video at 25 frames per second, with MP3 sound unless AudioOnly.
QString make(Kind kind, const QString &folder, const QString &name, int seconds = 1);
// Any AVI: ffmpeg with these arguments (inputs, codecs) writing folder/name.
QString makeWith(const QString &folder, const QString &name, const QStringList &arguments);
// An OpenDML AVI of 1.1 GiB: 380 raw 1080p frames, a RIFF AVIX chunk after the first GiB.
QString makeOpenDml(const QString &folder, const QString &name);
// Number of video frames ffprobe counts by reading the packets; -1 on failure.
int videoFrames(const QString &path);
} // namespace SampleMedia
