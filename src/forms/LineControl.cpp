#include "forms/LineControl.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace forms {
namespace {

// How far a piece of a line's repaint region may reach across the line.
constexpr double kPiece = 24.0;

} // namespace

LineControl::LineControl(QWidget& host)
    : host_(host)
{
}

void LineControl::setLine(const QLineF& line)
{
    if (line == line_)
        return;
    const QRegion before = region();
    line_ = line;
    changed(before);
}

void LineControl::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    const QRegion before = region();
    visible_ = visible;
    changed(before);
}

void LineControl::setBorderColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    changed(QRegion());
}

void LineControl::setBorderWidth(int width)
{
    if (width == width_)
        return;
    const QRegion before = region();
    width_ = std::max(1, width);
    changed(before);
}

void LineControl::setBorderStyle(Qt::PenStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    changed(QRegion());
}

void LineControl::paint(QPainter& painter) const
{
    if (!visible_)
        return;
    QPen pen(color_, width_, style_, Qt::SquareCap);
    if (style_ != Qt::SolidLine && width_ <= 1)
        pen.setCosmetic(true);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    if (line_.p1() == line_.p2())
        painter.drawPoint(line_.p1());
    else
        painter.drawLine(line_);
    painter.restore();
}

QRegion LineControl::region() const
{
    if (!visible_)
        return QRegion();
    const int pad = width_ + 2;
    // Enough pieces that each one's box is at most kPiece across the line's minor
    // direction: an upright or level line is a single strip.
    const double minor = std::min(std::abs(line_.dx()), std::abs(line_.dy()));
    const int pieces = std::max(1, static_cast<int>(std::ceil(minor / kPiece)));
    QRegion area;
    for (int i = 0; i < pieces; ++i) {
        const QPointF a = line_.pointAt(static_cast<double>(i) / pieces);
        const QPointF b = line_.pointAt(static_cast<double>(i + 1) / pieces);
        area += QRectF(a, b).normalized().toAlignedRect().adjusted(-pad, -pad, pad, pad);
    }
    return area;
}

void LineControl::changed(const QRegion& before)
{
    const QRegion dirty = before + region();
    if (!dirty.isEmpty())
        host_.update(dirty);
}

} // namespace forms
