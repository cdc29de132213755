#include "plotter/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <algorithm>

namespace plotter {

QImage AppIconImage(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    const double cell = size / 4.0;
    // Lines thicken with the size, so a menu's large icon reads like the window's small one.
    painter.setPen(QPen(QColor(128, 128, 128), std::max(1, size / 64)));
    for (int i = 0; i <= 4; ++i) {
        painter.drawLine(QPointF(i * cell, 0), QPointF(i * cell, size));
        painter.drawLine(QPointF(0, i * cell), QPointF(size, i * cell));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF polygon {QPointF(0.5, 3.5) * cell, QPointF(3.5, 3.5) * cell,
                             QPointF(3.5, 0.5) * cell, QPointF(1.5, 1.5) * cell};
    painter.setPen(QPen(QColor(0, 0, 255), size >= 32 ? std::max(2, size / 16) : 1));
    painter.setBrush(QColor(0, 0, 255, 60));
    painter.drawPolygon(polygon);
    return image;
}

QIcon AppIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(AppIconImage(16)));
    icon.addPixmap(QPixmap::fromImage(AppIconImage(32)));
    return icon;
}

} // namespace plotter
