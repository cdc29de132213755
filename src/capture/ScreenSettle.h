#pragma once

#include <chrono>

class QWidget;

namespace capture {

// True once a hidden window no longer shows on the screen: the X server has unmapped
// it and the window manager's frame around it (elsewhere: Qt reports it unexposed).
bool IsOffScreen(const QWidget& window);

// How long the screen beneath a window that just left takes to show: on X11 the programs
// uncovered redraw in their own time (x11Settle); a Wayland compositor holds every other
// window's picture and needs one frame.
std::chrono::nanoseconds RepaintTime(std::chrono::nanoseconds x11Settle);

// Returns when the display server has carried out every request we have sent it
// (our own repaints included). A no-op where there is no such round trip.
void SyncWithDisplay();

} // namespace capture
