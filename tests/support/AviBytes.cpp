#include "AviBytes.h"

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
