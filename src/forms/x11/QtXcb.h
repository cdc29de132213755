#pragma once

#include <xcb/xcb.h>

namespace forms::x11 {

// The X server connection Qt's xcb platform uses, or null on any other platform.
xcb_connection_t* QtXcbConnection();

} // namespace forms::x11
