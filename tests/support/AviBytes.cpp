#include "AviBytes.h"

#include <QtEndian>

QByteArray AviBytes::u32(quint32 v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return b;
}

QByteArray AviBytes::chunkOfSize(const char *id, quint32 declaredSize, const QByteArray &data)
{
    QByteArray c = QByteArray(id, 4) + u32(declaredSize) + data;
    if (data.size() & 1)
        c += '\0';
    return c;
}

QByteArray AviBytes::chunk(const char *id, const QByteArray &data) { return chunkOfSize(id, static_cast<quint32>(data.size()), data); }

QByteArray AviBytes::listOfSize(const char *type, quint32 declaredSize, const QByteArray &children)
{
    return QByteArray("LIST", 4) + u32(declaredSize) + QByteArray(type, 4) + children;
}

QByteArray AviBytes::list(const char *type, const QByteArray &children)
{
    return listOfSize(type, static_cast<quint32>(children.size() + 4), children);
}

QByteArray AviBytes::withMovi(const QByteArray &moviContent, const QByteArray &afterMovi)
{
    QByteArray avih(56, 0), strh(56, 0), strf(40, 0);
    avih.replace(0, 4, u32(40000));
    avih.replace(24, 4, u32(1)); // streams
    strh.replace(0, 8, QByteArray("vidsXVID"));
    strh.replace(20, 4, u32(1));  // scale
    strh.replace(24, 4, u32(25)); // rate
    strf.replace(0, 4, u32(40));
    strf.replace(4, 4, u32(320));
    strf.replace(8, 4, u32(240));
    strf.replace(16, 4, QByteArray("XVID"));
    const QByteArray hdrl = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    const QByteArray body = QByteArray("AVI ", 4) + hdrl + list("movi", moviContent) + afterMovi;
    return QByteArray("RIFF", 4) + u32(static_cast<quint32>(body.size())) + body;
}

QByteArray AviBytes::unfinished(const QByteArray &clip, qint64 moviSize, qint64 riffSize, bool dropPads)
{
    const qsizetype movi = clip.indexOf("movi") - 8, idx1 = clip.lastIndexOf("idx1");
    QByteArray out = clip.left(movi + 12);
    for (qsizetype at = movi + 12; at + 8 <= idx1;) {
        const quint32 size = qFromLittleEndian<quint32>(clip.constData() + at + 4);
        out += clip.mid(at, 8 + size + (dropPads ? 0 : size & 1));
        at += 8 + size + (size & 1);
    }
    const auto put = [&](qsizetype at, qint64 value) { out.replace(at, 4, u32(static_cast<quint32>(value))); };
    put(movi + 4, moviSize >= 0 ? moviSize : out.size() - movi - 8);
    put(4, riffSize >= 0 ? riffSize : out.size() - 8);
    return out;
}
