#pragma once

#include "vertices/Module.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace coordinates {

// The most points a list may hold: as many as the list's 16-bit counter can count.
inline constexpr int kMaxListPoints = 32767;

// What makes a text something other than a coordinate list.
enum class ListFault {
    None,
    Empty, // no coordinate at all
    NotACoordinate, // a line that is not "(x, y)"
    OffThePlane, // a point outside x -5 to 35, y -5 to 15
    TooManyPoints, // a line beyond kMaxListPoints
    ClosesEarly, // a line before the last that lands on vertex 1 of three or more
};

struct ListReading {
    std::vector<plotter::Vertex> points; // drawing units, in the list's order
    ListFault fault = ListFault::None;
    int line = 0; // the coordinate line at fault, counted from 1
    QString text; // that line as written
    bool ok() const { return fault == ListFault::None; }
};

// Reads a coordinate list as the list writes it: "(x, y)" lines in plane units with the
// locale's decimal separator, joined by "," as on the clipboard or one per line (CR LF or
// LF) as in the list file. Lines are counted as the list shows them, one per coordinate.
// A decimal comma has no blank after it; the comma between x and y has one.
ListReading ReadCoordinateList(const QString& text, const QLocale& locale = QLocale());

// What is wrong with a reading, for the user: which line and why.
QString ListFaultText(const ListReading& reading, const QLocale& locale = QLocale());

} // namespace coordinates
