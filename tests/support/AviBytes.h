#pragma once
#include <QByteArray>
#include <QList>

// AVI files built byte by byte, for tests that need a structure no muxer writes.
namespace AviBytes {
QByteArray chunk(const char *id, const QByteArray &data);
QByteArray chunkOfSize(const char *id, quint32 declaredSize, const QByteArray &data); // a size that lies
QByteArray list(const char *type, const QByteArray &children);
QByteArray listOfSize(const char *type, quint32 declaredSize, const QByteArray &children);
// A RIFF "AVI " with one video stream (25 fps, 320x240, "XVID") and the given movi content; no index.
QByteArray withMovi(const QByteArray &moviContent, const QByteArray &afterMovi = {});
QByteArray u32(quint32 v);
// A muxer's file rebuilt without its index (as a recording stopped before it was
// written): its movi list's and RIFF's sizes as given (-1: what it holds), its
// odd-sized chunks without their pad byte if asked.
QByteArray unfinished(const QByteArray &file, qint64 moviSize, qint64 riffSize, bool dropPads);
} // namespace AviBytes
