#pragma once

class QWidget;

namespace capture {

// True once a hidden window no longer shows on the screen: the X server has unmapped
// it and the window manager's frame around it (elsewhere: Qt reports it unexposed).
bool IsOffScreen(const QWidget& window);

// Returns when the display server has carried out every request we have sent it
// (our own repaints included). A no-op where there is no such round trip.
void SyncWithDisplay();

} // namespace capture
