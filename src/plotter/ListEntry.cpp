#include "plotter/ListEntry.h"

#include "plotter/GridSnap.h"

namespace plotter {

ListPresses PressesForList(std::span<const Vertex> points, float spacing)
{
    ListPresses plan;
    plan.presses.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        Vertex press = points[i];
        AlignToGrid(press.X, press.Y, spacing);
        // Every press before this one added a vertex, so i vertices exist.
        const bool closes = i >= 3 && press == plan.presses.front();
        if (closes && i + 1 < points.size()) {
            plan.closesEarly = i;
            break;
        }
        plan.presses.push_back(press);
    }
    return plan;
}

} // namespace plotter
