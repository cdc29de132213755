#pragma once

#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <array>

namespace capture {

// The four sides of the rubber band from the anchor to the pointer, Line1 to Line4:
// Line1 horizontal and Line2 vertical through the anchor, Line3 vertical and Line4
// horizontal through the pointer.
std::array<QLineF, 4> BandLines(QPointF anchor, QPointF pointer);

// A logical position moved onto the nearest image-pixel boundary (ratio image pixels per
// logical pixel), halves rounded to even, so band edges land on whole image pixels.
QPointF SnapToPixel(QPointF logical, qreal ratio);

// The rectangle the band selects, in image pixels: on each axis the smaller and larger of
// the ends of Line1 and Line2, each edge converted by ratio and rounded half to even; a
// zero extent is widened to one pixel.
QRect BandBounds(const QLineF& line1, const QLineF& line2, qreal ratio);

// The part of band that lies on a picture of the given size, never less than one pixel
// while the picture has any: a band wholly off the picture keeps the nearest edge pixel.
// Empty when the picture is empty.
QRect ClipToPicture(const QRect& band, const QSize& picture);

} // namespace capture
