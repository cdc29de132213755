#pragma once

#include <span>
#include <vector>

namespace plotter {

// One polygon vertex in drawing units of the main window (pixels, y growing downwards).
struct Vertex {
    float X = 0;
    float Y = 0;
    friend bool operator==(const Vertex&, const Vertex&) = default;
};

// The polygon being plotted, in the order the user placed its vertices. The main window
// writes it; the coordinate list reads it. The closing edge back to the first vertex is
// implied.
std::vector<Vertex>& VertexList();

// Area enclosed by the polygon, in square plane units (Scale drawing units per unit),
// rounded to 10 decimal places with ties to even. Every point the outline winds around
// counts once, so concave and self-crossing outlines are measured correctly.
double ComputeArea(std::span<const Vertex> polygon, int Scale);
double ComputeArea(int Scale);

} // namespace plotter
