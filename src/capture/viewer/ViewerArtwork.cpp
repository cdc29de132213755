#include "capture/viewer/ViewerArtwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace capture {
namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kPaper(250, 250, 250);
const QColor kBlue(40, 110, 200);
const QColor kYellow(238, 190, 60);
const QColor kGreen(60, 150, 80);
const QColor kRed(200, 50, 50);

QPen ink(qreal width = 1.0)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void exitDoor(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(8, 8.5), 0.7, 0.7);
    p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(9, 8), QPointF(14, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF({QPointF(12, 4.5), QPointF(15.5, 8), QPointF(12, 11.5)}));
}

void folder(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(kYellow.darker(115));
    p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5),
                             QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF(
        {QPointF(1.5, 13.5), QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5)}));
}

void floppy(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(1.5, 1.5), QPointF(12.5, 1.5), QPointF(14.5, 3.5),
                             QPointF(14.5, 14.5), QPointF(1.5, 14.5)}));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
    p.setBrush(kInk);
    p.drawRect(QRectF(9, 2.5, 1.5, 3));
}

void selection(QPainter& p)
{
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.setBrush(QColor(180, 210, 250));
    p.drawRect(QRectF(1.5, 3.5, 10, 8));
    p.setPen(QPen(kRed, 1.5));
    p.drawLine(QPointF(12, 9), QPointF(12, 15));
    p.drawLine(QPointF(9, 12), QPointF(15, 12));
}

void monitor(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(0.5, 1.5, 15, 10));
    p.setBrush(QColor(120, 180, 240));
    p.drawRect(QRectF(2, 3, 12, 7));
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(6.5, 11.5, 3, 2));
    p.drawRect(QRectF(3.5, 13.5, 9, 1.5));
}

void about(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
    p.drawRect(QRectF(7, 7, 2, 5.5));
}

void printer(QPainter& p, bool withPicture)
{
    p.setPen(ink());
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12.5, 8.5), 0.8, 0.8);
    if (withPicture) {
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF(
            {QPointF(5, 6), QPointF(7.5, 3), QPointF(9, 5), QPointF(10, 4), QPointF(11, 6)}));
    }
}

void clipboard(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(2.5, 2.5, 11, 12));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 4.5, 7, 8));
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(5.5, 1.5, 5, 2.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF(
        {QPointF(5, 12), QPointF(7.5, 8), QPointF(9, 10), QPointF(10, 9), QPointF(11, 12)}));
}

void picture(QPainter& p)
{
    p.setPen(ink());
    p.setBrush(QColor(200, 225, 250));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF(
        {QPointF(2, 13), QPointF(6.5, 7), QPointF(9.5, 10.5), QPointF(11, 9), QPointF(14, 13)}));
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(11.5, 5.5), 1.5, 1.5);
}

void crop(QPainter& p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4, 0.5), QPointF(4, 12), QPointF(15.5, 12)}));
    p.drawPolyline(QPolygonF({QPointF(0.5, 4), QPointF(12, 4), QPointF(12, 15.5)}));
    p.setPen(QPen(kRed, 1, Qt::DashLine));
    p.drawRect(QRectF(5.5, 5.5, 5, 5));
}

void windowIcon(QPainter& p)
{
    monitor(p);
    p.setPen(QPen(kRed, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 4.5, 6, 4));
}

Drawing drawingFor(int index)
{
    switch (index) {
    case 1:
        return exitDoor;
    case 2:
        return folder;
    case 3:
        return floppy;
    case 4:
        return selection;
    case 5:
        return monitor;
    case 6:
        return about;
    case 7:
        return [](QPainter& p) { printer(p, true); };
    case 8:
        return [](QPainter& p) { printer(p, false); };
    case 9:
        return clipboard;
    case 10:
        return picture;
    case 11:
        return crop;
    default:
        return {};
    }
}

QPixmap render(const Drawing& draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return pixmap;
}

QIcon iconOf(const Drawing& draw, std::initializer_list<int> sizes)
{
    QIcon icon;
    if (!draw)
        return icon;
    for (int size : sizes)
        icon.addPixmap(render(draw, size));
    return icon;
}

} // namespace

QIcon ToolbarImage(int index)
{
    return iconOf(drawingFor(index), {16, 32, 48});
}

QIcon ViewerWindowIcon()
{
    return iconOf(windowIcon, {16, 32, 64});
}

} // namespace capture
