#pragma once

#include <chrono>

class QWindow;

namespace forms::wayland {

// Puts a fully transparent buffer of our own on the window's surface and waits until the
// compositor has drawn it, as its frame callback tells: unlike a frame Qt paints, it is
// surely committed. The window's next frame from Qt replaces it. False when the window has no
// Wayland surface or bound ran out.
bool ShowClear(QWindow& window, std::chrono::milliseconds bound);

} // namespace forms::wayland
