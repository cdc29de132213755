#pragma once

#include "vertices/Module.h"

#include <optional>
#include <span>
#include <vector>

namespace plotter {

// The presses a coordinate list becomes on a fresh plane at a grid spacing: each point
// snapped as a press there would be. A press on vertex 1 with three or more vertices closes
// the polygon; a list's last point may do that (it is then the closing click), but one
// before the last would close it early and start another polygon with the rest, so
// closesEarly gives its index and the presses stop before it.
struct ListPresses {
    std::vector<Vertex> presses;
    std::optional<std::size_t> closesEarly;
};
ListPresses PressesForList(std::span<const Vertex> points, float spacing);

} // namespace plotter
