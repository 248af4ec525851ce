#pragma once
#include <QString>

// A small XFS file system with reflink, in an image file mounted for as long as
// this lives: where joins can share blocks with their parts. Needs root, loop
// devices and xfsprogs; why() says what was missing.
class XfsImage
{
public:
    explicit XfsImage(const QString &folder, qint64 bytes = 320LL << 20);
    ~XfsImage();
    XfsImage(const XfsImage &) = delete;
    XfsImage &operator=(const XfsImage &) = delete;
    bool ok() const { return m_why.isEmpty(); }
    QString why() const { return m_why; }
    QString path() const { return m_mount; } // its mount point
    double freeBytes() const;

private:
    QString m_image, m_mount, m_why;
    bool m_mounted = false;
};
