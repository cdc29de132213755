#pragma once

#include <cstdint>

class QWidget;

namespace plotter {

// Gives the whole window (its drawing and every control) the opacity Alpha / 255.
// On X11 this is the window's _NET_WM_WINDOW_OPACITY, which a compositor honours; on
// Wayland the window paints itself translucent (PrepareFade must have run before it showed).
void SetTransparency(QWidget& window, std::uint8_t Alpha);

} // namespace plotter
