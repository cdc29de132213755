#pragma once

#include <chrono>

class QWidget;

namespace forms::wayland {

// Where the compositor draws title bars itself (xdg-decoration), Qt asks for one only for a
// window it makes with a frame, and cannot take it away while the window shows. A window
// given to this is frameless to Qt and asks the compositor for its title bar itself, each
// time it shows, so that the title bar can go for a moment. Call before the window first
// shows. False, and nothing changed, where no compositor draws title bars.
bool OwnTitleBar(QWidget& window);

// Asks the compositor to stop drawing the window's title bar and waits until it agrees: the
// window's next frame shows without it, and may be taller by as much. It comes back when
// the window next shows. True when no title bar of the compositor's is left, false when
// bound ran out.
bool DropTitleBar(QWidget& window, std::chrono::milliseconds bound);

// Once the window is hidden, gives it back the size it had with its title bar, so that it
// shows again as it was.
void RestoreTitleBar(QWidget& window);

} // namespace forms::wayland
