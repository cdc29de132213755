#pragma once

#include <chrono>

class QWindow;

namespace forms::wayland {

// Commits the window's surface once more, asking for a frame callback, and waits until the
// compositor answers it: the frame it has then drawn holds everything the window committed
// before. Other events run meanwhile. False when the window has no Wayland surface or bound
// ran out.
bool WaitUntilDrawn(QWindow& window, std::chrono::milliseconds bound);

} // namespace forms::wayland
