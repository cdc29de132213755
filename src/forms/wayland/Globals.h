#pragma once

struct wl_display;
struct wl_shm;
struct zxdg_decoration_manager_v1;

namespace forms::wayland {

// Qt's connection to the compositor, or nullptr off Wayland.
wl_display* QtDisplay();

// The compositor's globals Qt does not hand out, bound once on Qt's connection and released
// with the application. Their objects answer on Qt's queue, which Qt's event loop dispatches.
// Nullptr off Wayland or where the compositor offers none.
wl_shm* Shm();
zxdg_decoration_manager_v1* DecorationManager();

} // namespace forms::wayland
