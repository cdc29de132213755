#include "plotter/GridSnap.h"

#include <cmath>

namespace plotter {

float SnapToGrid(float coordinate, float spacing)
{
    const float cells = coordinate / spacing;
    const float whole = std::nearbyint(cells); // default rounding mode: ties to even
    return spacing * whole;
}

void AlignToGrid(float& X, float& Y, float GridSpacing)
{
    X = SnapToGrid(X, GridSpacing);
    Y = SnapToGrid(Y, GridSpacing);
}

float GridSpacing(float snapFraction)
{
    return snapFraction * 30.0f;
}

} // namespace plotter
