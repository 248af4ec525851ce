#pragma once
#include <QByteArray>
#include <QString>

namespace TextCodec {
// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252, so that text
// files written on Windows keep their accented names. Every character is
// kept, a leading byte-order mark too.
QString decode(const QByteArray &bytes);
QString decodeWindows1252(const QByteArray &bytes);
}
