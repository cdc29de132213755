#pragma once

#include "forms/Picture.h"

#include <QPoint>
#include <QRect>

#include <optional>

namespace capture::xcbshm {

// Direct X11 screen grabs through the shared-memory extension: the server writes the
// pixels straight into a shared segment that becomes the picture's pixel buffer, so a
// grab costs one transfer and no copy. Every function answers nullopt when the X server
// or the display format does not allow it; callers then fall back to Qt's grab.

// True on X11 when the server shares memory with us in a pixel layout we read.
bool Available();

// The root window, or nullopt off X11.
std::optional<quintptr> RootWindow();

// Where a window's client area (or, with frame, its outermost ancestor below the root:
// the window manager's frame) starts on the root window, in device pixels.
std::optional<QPoint> WindowOrigin(quintptr window, bool frame);

// The same window's whole area on the root window, in device pixels.
std::optional<QRect> WindowRect(quintptr window, bool frame);

// The root window's pixels in deviceRect (device pixels); areas off the root are black.
std::optional<forms::Picture> GrabRoot(const QRect& deviceRect);

// Shared segments kept for reuse once their picture is released: at most one of each
// size in use, two in all.
int SpareSegments();

} // namespace capture::xcbshm
