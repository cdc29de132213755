#pragma once

namespace forms {

// True on a Wayland session, whether this program runs there as a Wayland client or as an
// X11 client through Xwayland: no client may read the screen or set its own opacity there.
bool OnWaylandSession();

} // namespace forms
