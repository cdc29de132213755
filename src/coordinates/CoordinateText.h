#pragma once

#include "vertices/Module.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace coordinates {

// Plane units of a drawing point, each rounded to a 32-bit float.
float PlaneX(float X);
float PlaneY(float Y);

// Drawing units of a point in plane units, the inverse of PlaneX and PlaneY.
float DrawingX(double x);
float DrawingY(double y);

// A plane coordinate as text: up to 7 significant digits, no trailing zeros, the locale's
// decimal separator, ASCII digits and sign, never a group separator.
QString PlaneNumberText(float value, const QLocale& locale = QLocale());

// The line that stands for a vertex in the list, on the clipboard and in the list file:
// "(x, y)" in plane units.
QString CoordinateText(const plotter::Vertex& vertex, const QLocale& locale = QLocale());

// The clipboard text: the lines joined by "," with nothing around them.
QString JoinCoordinateLines(const QStringList& lines);

} // namespace coordinates
