#pragma once

#include <QString>

namespace forms {

// The window system Qt's platform speaks to: the one place that asks.
enum class WindowSystem { X11, Wayland, Other };
WindowSystem CurrentWindowSystem();

// True on a Wayland session, whether this program runs there as a Wayland client or as an
// X11 client through Xwayland: no client may read the screen or set its own opacity there.
bool OnWaylandSession();

// Whether the desktop names itself so in XDG_CURRENT_DESKTOP ("KDE", "GNOME", ...).
bool CurrentDesktopIs(const QString& name);

} // namespace forms
