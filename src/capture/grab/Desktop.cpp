#include "capture/grab/Desktop.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include <cmath>
#include <cstring>

namespace capture {

int ToDevicePixels(int logical, qreal ratio)
{
    return static_cast<int>(std::lrint(logical * ratio));
}
namespace {

// The palette entry closest to black, for palette pictures QPainter cannot paint on.
uchar blackIndex(const forms::Picture& picture)
{
    const QList<QRgb> table = picture.colorTable();
    int best = 0;
    for (int i = 1; i < table.size(); ++i) {
        if (qRed(table[i]) + qGreen(table[i]) + qBlue(table[i])
            < qRed(table[best]) + qGreen(table[best]) + qBlue(table[best]))
            best = i;
    }
    return static_cast<uchar>(best);
}

} // namespace

Monitor MonitorOf(QScreen& screen)
{
    const QRect logical = screen.geometry();
    const qreal ratio = screen.devicePixelRatio();
    // Qt keeps each screen's top-left corner at its device position and scales only the
    // size, so logical coordinates of screens at different ratios leave gaps or overlap.
    const QSize size(int(std::lrint(logical.width() * ratio)),
                     int(std::lrint(logical.height() * ratio)));
    return Monitor {&screen, logical, QRect(logical.topLeft(), size), ratio};
}

QList<Monitor> DesktopMonitors()
{
    QList<Monitor> monitors;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        monitors.append(MonitorOf(*primary));
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            monitors.append(MonitorOf(*screen));
    }
    return monitors;
}

QRect DesktopBounds(const QList<Monitor>& monitors)
{
    QRect bounds;
    for (const Monitor& monitor : monitors)
        bounds |= monitor.device;
    return bounds;
}

void BlackenUnshown(forms::Picture& picture, QPoint origin, const QList<Monitor>& monitors)
{
    QRegion unshown(QRect(origin, picture.size()));
    for (const Monitor& monitor : monitors)
        unshown -= monitor.device;
    if (unshown.isEmpty())
        return;
    if (picture.format() == QImage::Format_Indexed8) {
        const uchar black = blackIndex(picture);
        for (const QRect& area : unshown) {
            const QRect local = area.translated(-origin);
            for (int y = local.top(); y <= local.bottom(); ++y)
                std::memset(picture.scanLine(y) + local.left(), black, size_t(local.width()));
        }
        return;
    }
    QPainter painter(&picture);
    painter.scale(1 / picture.devicePixelRatio(), 1 / picture.devicePixelRatio());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& area : unshown)
        painter.fillRect(area.translated(-origin), Qt::black);
}

} // namespace capture
