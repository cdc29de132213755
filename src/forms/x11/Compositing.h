#pragma once

#include <xcb/xcb.h>

namespace forms::x11 {

// Whether a compositing manager draws the screen of root: it owns _NET_WM_CM_S<screen>.
// Such a manager may go on showing a window for a while after the server has unmapped it.
bool CompositorRuns(xcb_connection_t* conn, xcb_window_t root);

} // namespace forms::x11
