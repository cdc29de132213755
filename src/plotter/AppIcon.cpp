#include "plotter/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace plotter {
namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(QColor(192, 192, 192));
    QPainter painter(&pixmap);
    const double cell = size / 4.0;
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    for (int i = 0; i <= 4; ++i) {
        painter.drawLine(QPointF(i * cell, 0), QPointF(i * cell, size));
        painter.drawLine(QPointF(0, i * cell), QPointF(size, i * cell));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF polygon{QPointF(0.5, 3.5) * cell, QPointF(3.5, 3.5) * cell,
                            QPointF(3.5, 0.5) * cell, QPointF(1.5, 1.5) * cell};
    painter.setPen(QPen(QColor(0, 0, 255), size >= 32 ? 2 : 1));
    painter.setBrush(QColor(0, 0, 255, 60));
    painter.drawPolygon(polygon);
    return pixmap;
}

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    icon.addPixmap(drawIcon(16));
    icon.addPixmap(drawIcon(32));
    return icon;
}

} // namespace plotter
