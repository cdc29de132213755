#include "coordinates/CoordinateText.h"

namespace coordinates {
namespace {

constexpr double kUnitsPerCell = 30.0;
constexpr double kOriginCellsLeft = 5.0; // the y axis is 5 cells from the left edge
constexpr double kOriginCellsDown = 15.0; // the x axis is 15 cells from the top edge

} // namespace

float PlaneX(float X)
{
    return static_cast<float>(static_cast<double>(X) / kUnitsPerCell - kOriginCellsLeft);
}

float PlaneY(float Y)
{
    return static_cast<float>(-static_cast<double>(Y) / kUnitsPerCell + kOriginCellsDown);
}

float DrawingX(double x)
{
    return static_cast<float>((x + kOriginCellsLeft) * kUnitsPerCell);
}

float DrawingY(double y)
{
    return static_cast<float>((kOriginCellsDown - y) * kUnitsPerCell);
}

QString PlaneNumberText(float value, const QLocale& locale)
{
    if (value == 0.0f)
        value = 0.0f; // no "-0" for a point on an axis
    // ASCII digits and sign whatever the locale, so other programs can read the list back;
    // only the decimal separator is the locale's.
    QString text = QLocale::c().toString(value, 'g', 7);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString CoordinateText(const plotter::Vertex& vertex, const QLocale& locale)
{
    return QLatin1Char('(') + PlaneNumberText(PlaneX(vertex.X), locale) + QLatin1String(", ")
           + PlaneNumberText(PlaneY(vertex.Y), locale) + QLatin1Char(')');
}

QString JoinCoordinateLines(const QStringList& lines)
{
    return lines.join(QLatin1Char(','));
}

} // namespace coordinates
