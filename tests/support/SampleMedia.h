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
// Packets ffprobe reads of each stream, "video 50", "audio 78", in stream order.
QStringList packets(const QString &path);
// Where the sound of a track ends, by ffprobe's packet times; -1 on failure.
double soundSeconds(const QString &path, int track = 0);
// The checksum of every video packet, in order (ffmpeg's framemd5).
QStringList videoChecksums(const QString &path);
// Lines the decoders complain with while everything is decoded.
int decoderErrors(const QString &path);
// Frames the encoder reads from the file's own index (no rebuild, no sync fixes).
int encoderFrames(const QString &path);
// The pictures MPlayer decodes, as checksums in order; empty when MPlayer is not installed.
QStringList playerChecksums(const QString &path);
// Where a packet whose data lies at byte pos plays, in seconds; -1 when none does.
double packetTime(const QString &path, qint64 pos);
// Each video packet's key flag as ffprobe reads it: "K" or "-", in order.
QString keyFlags(const QString &path);
// The checksum of frame n as decoded from the start, or (seek) as a seek to its
// time at 25 fps decodes it; empty when none is decoded.
QString pictureAt(const QString &path, int frame, bool seek);
// Arguments for ffmpeg: 25 fps test picture, a sine of the given rate and length.
QStringList picture(const QString &size = QStringLiteral("320x240"), int rate = 25);
QStringList sine(int sampleRate = 44100, double seconds = -1);
} // namespace SampleMedia
