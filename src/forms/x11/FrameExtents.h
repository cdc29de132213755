#pragma once

#include <QMargins>

#include <optional>

namespace forms::x11 {

// Asks the X11 window manager which frame it would give window once mapped
// (_NET_REQUEST_FRAME_EXTENTS). QMargins() when no window manager runs; nullopt off X11,
// or when the manager does not answer in time.
std::optional<QMargins> RequestFrameExtents(unsigned window);

} // namespace forms::x11
