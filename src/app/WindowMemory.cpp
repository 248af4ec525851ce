#include "WindowMemory.h"
#include "Settings.h"
#include "TextFormats.h"

#include <QStringList>

namespace {
using namespace SettingsKeys;

int number(const SettingsKeys::Key &key, bool *ok)
{
    bool good = false;
    const qint64 n = TextFormats::wholeNumber(Settings::read(key), &good);
    *ok = *ok && good;
    return static_cast<int>(n);
}

void writeIfChanged(const SettingsKeys::Key &key, const QString &value)
{
    if (Settings::read(key) != value)
        Settings::write(key, value);
}
} // namespace

WindowMemory::Saved WindowMemory::read()
{
    Saved s;
    bool ok = true;
    const QRect r(number(kWindowLeft, &ok), number(kWindowTop, &ok), number(kWindowWidth, &ok), number(kWindowHeight, &ok));
    if (ok && r.width() > 0 && r.height() > 0)
        s.geometry = r;
    s.maximized = Settings::read(kWindowMaximized) == QStringLiteral("1");
    const QStringList widths = Settings::read(kWindowColumns).split(u',', Qt::SkipEmptyParts);
    for (const QString &w : widths) {
        bool good = false;
        const int n = w.trimmed().toInt(&good);
        if (!good || n < 0 || n > 10000)
            return {s.geometry, s.maximized, {}};
        s.columns << n;
    }
    return s;
}

void WindowMemory::writeGeometry(const QRect &geometry, bool maximized)
{
    writeIfChanged(kWindowMaximized, maximized ? QStringLiteral("1") : QStringLiteral("0"));
    if (maximized)
        return; // the normal frame is what comes back
    writeIfChanged(kWindowLeft, QString::number(geometry.left()));
    writeIfChanged(kWindowTop, QString::number(geometry.top()));
    writeIfChanged(kWindowWidth, QString::number(geometry.width()));
    writeIfChanged(kWindowHeight, QString::number(geometry.height()));
}

void WindowMemory::writeColumns(const QList<int> &widths)
{
    QStringList texts;
    for (const int w : widths)
        texts << QString::number(w);
    writeIfChanged(kWindowColumns, texts.join(u','));
}

QRect WindowMemory::placeOnScreens(const QRect &saved, const QList<QRect> &screens, const QSize &minimum)
{
    if (screens.isEmpty() || saved.isEmpty())
        return saved;
    QRect screen = screens.first();
    for (const QRect &s : screens)
        if (s.intersects(saved)) {
            const QRect common = s.intersected(saved);
            // Enough of the frame on this screen to take hold of it.
            if (common.width() >= qMin(100, saved.width()) && common.height() >= qMin(50, saved.height())) {
                screen = s;
                break;
            }
        }
    QRect r = saved;
    r.setWidth(qBound(qMin(minimum.width(), screen.width()), r.width(), screen.width()));
    r.setHeight(qBound(qMin(minimum.height(), screen.height()), r.height(), screen.height()));
    r.moveLeft(qBound(screen.left(), r.left(), screen.right() - r.width() + 1));
    r.moveTop(qBound(screen.top(), r.top(), screen.bottom() - r.height() + 1));
    return r;
}
