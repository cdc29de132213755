#include "capture/overlay/BandGeometry.h"

#include <algorithm>
#include <cmath>

namespace capture {
namespace {

// Halves to even, in the default rounding mode.
int roundEven(double v)
{
    return static_cast<int>(std::lrint(v));
}

} // namespace

std::array<QLineF, 4> BandLines(QPointF anchor, QPointF pointer)
{
    const double x0 = anchor.x(), y0 = anchor.y(), x = pointer.x(), y = pointer.y();
    return {QLineF(x0, y0, x, y0), QLineF(x0, y0, x0, y), QLineF(x, y0, x, y), QLineF(x0, y, x, y)};
}

QPointF SnapToPixel(QPointF logical, qreal ratio)
{
    return QPointF(roundEven(logical.x() * ratio) / ratio, roundEven(logical.y() * ratio) / ratio);
}

QRect BandBounds(const QLineF& line1, const QLineF& line2, qreal ratio)
{
    const double xs[] = {line1.x1(), line1.x2(), line2.x1(), line2.x2()};
    const double ys[] = {line1.y1(), line1.y2(), line2.y1(), line2.y2()};
    const auto [minX, maxX] = std::minmax_element(std::begin(xs), std::end(xs));
    const auto [minY, maxY] = std::minmax_element(std::begin(ys), std::end(ys));
    // Edges are converted, not extents, so a band and its neighbour never overlap or gap.
    const int left = roundEven(*minX * ratio);
    const int top = roundEven(*minY * ratio);
    const int right = std::max(roundEven(*maxX * ratio), left + 1);
    const int bottom = std::max(roundEven(*maxY * ratio), top + 1);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect ClipToPicture(const QRect& band, const QSize& picture)
{
    if (picture.isEmpty())
        return QRect();
    const int left = std::clamp(band.left(), 0, picture.width() - 1);
    const int top = std::clamp(band.top(), 0, picture.height() - 1);
    const int right = std::clamp(band.left() + band.width(), left + 1, picture.width());
    const int bottom = std::clamp(band.top() + band.height(), top + 1, picture.height());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace capture
