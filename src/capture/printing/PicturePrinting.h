#pragma once

#include "forms/Picture.h"

#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

namespace capture {

// Screen scale: one logical picture pixel per 1/96 inch on paper.
constexpr double kScreenDpi = 96.0;

// Paints picture at the top-left of a page area of pageSize device pixels at resolution dpi,
// at screen scale, never scaled to fit: what falls outside the area is cut off.
void PaintPictureAtScreenScale(QPainter& painter, const QSizeF& pageSize, int resolution,
                               const forms::Picture& picture);

// Prints picture as one page on the default printer, at the top-left corner of the printable
// area at screen scale, white elsewhere. Returns the cause when nothing was printed.
std::optional<QString> PrintOnDefaultPrinter(const forms::Picture& picture,
                                             const QString& jobTitle);

} // namespace capture
