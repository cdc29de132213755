#pragma once

#include <xcb/xcb.h>

#include <optional>

namespace forms::x11 {

// The window manager's frame around window (its ancestor just below the root), or window
// itself when nothing reparented it; nullopt when the server no longer knows the window.
std::optional<xcb_window_t> Outermost(xcb_connection_t* conn, xcb_window_t window);

} // namespace forms::x11
