#pragma once

namespace forms {
class DrawingSurface;
}

namespace plotter {

// Draws the coordinate plane (grid, axes with arrow heads, labels) at pen width 1.
void DrawPlane(forms::DrawingSurface& surface);

} // namespace plotter
