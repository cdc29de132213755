#pragma once

#include "vertices/Module.h"

#include <span>
#include <vector>

namespace forms {
class DrawingSurface;
class LineControl;
} // namespace forms

namespace plotter {

// Draws a polygon being entered as entry draws it: the dot at vertex 1, then the edges in
// the order they were placed, at pen width 2.
void DrawTrace(forms::DrawingSurface& surface, std::span<const Vertex> vertices);

// Removes the last vertex and rebuilds the part of the drawing its edge (or, for vertex 1,
// its dot) covered: a fresh plane there with what is left of the polygon on it, so the
// result equals a drawing of the shorter list. False when there is no vertex.
bool TakeBackVertex(forms::DrawingSurface& surface, std::vector<Vertex>& vertices);

// Points a shown rubber band from the last vertex to where it ends now, dark blue when it
// ends on vertex 1 of three or more; hides it when there is no vertex.
void AimBand(forms::LineControl& band, std::span<const Vertex> vertices);

} // namespace plotter
