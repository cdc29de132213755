#pragma once

namespace plotter {

// Snaps one coordinate to the nearest multiple of spacing in single precision, ties to
// even: with spacing 30, 75 and 45 both give 60.
float SnapToGrid(float coordinate, float spacing);

// Snaps X, then Y, in place.
void AlignToGrid(float& X, float& Y, float GridSpacing);

// Grid spacing in drawing units for a fraction of a plane unit (1, 0.5, 0.25, 0.2).
float GridSpacing(float snapFraction);

} // namespace plotter
