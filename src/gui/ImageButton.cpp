#include "ImageButton.h"
#include "Resources.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace {
QPixmap picture(const QString &svg, bool pressed)
{
    ensureResources();
    const qreal ratio = 2.0; // sharp on high-density screens too
    QPixmap pm(QSize(36, 36) * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0.5, 0.5, 35, 35);
    QLinearGradient g(0, 0, 0, 36);
    g.setColorAt(0, pressed ? QColor(0xc9, 0xd3, 0xe0) : QColor(0xfb, 0xfc, 0xfe));
    g.setColorAt(1, pressed ? QColor(0xe6, 0xeb, 0xf2) : QColor(0xdf, 0xe5, 0xee));
    p.setBrush(g);
    p.setPen(QColor(0x9a, 0xa8, 0xb8));
    p.drawRoundedRect(frame, 4, 4);
    QSvgRenderer(svg).render(&p, pressed ? QRectF(7, 7, 23, 23) : QRectF(6, 6, 24, 24));
    return pm;
}
} // namespace

ImageButton::ImageButton(const QString &objectName, const QString &svgResource, const QString &toolTip, QWidget *parent)
    : QWidget(parent), m_normal(picture(svgResource, false)), m_pressedPicture(picture(svgResource, true))
{
    ensureResources();
    setObjectName(objectName);
    setToolTip(toolTip);
    setFixedSize(36, 36);
    setCursor(Qt::PointingHandCursor);
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, m_pressed ? m_pressedPicture : m_normal);
}

void ImageButton::mousePressEvent(QMouseEvent *)
{
    m_pressed = true;
    update();
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = false;
    update();
    const bool inside = rect().contains(event->position().toPoint());
    Q_EMIT released(event->button());
    if (inside)
        Q_EMIT clicked();
}
