#pragma once

#include <chrono>

class QWidget;

namespace capture {

// True once a hidden window no longer shows on the screen: the X server has unmapped
// it and the window manager's frame around it (elsewhere: Qt reports it unexposed).
bool IsOffScreen(const QWidget& window);

// Processes events until the hidden window is off the screen (IsOffScreen) or bound has
// run out; false then.
bool WaitUntilOffScreen(const QWidget& window, std::chrono::milliseconds bound);

// Where the screen cannot be read back: allows the windows a hidden one uncovered a
// moment to repaint (ours through the event loop, other programs' in their own time),
// at most bound, then syncs with the display.
void SettleAfterHiding(std::chrono::milliseconds bound);

// Returns when the display server has carried out every request we have sent it
// (our own repaints included). A no-op where there is no such round trip.
void SyncWithDisplay();

} // namespace capture
