#pragma once

#include "capture/grab/Desktop.h"

namespace capture {

// The portable grab through QScreen::grabWindow: used off X11 and whenever the X server
// cannot share memory with us. Coordinates are logical pixels relative to the window
// (0 = the whole screen).
forms::Picture GrabWithQt(WindowHandle window, int left, int top, int width, int height);

// Each monitor grabbed on its own and placed at its device position in one picture of
// bounds (device pixels), black between them.
forms::Picture GrabMonitorsWithQt(const QList<Monitor>& monitors, const QRect& bounds);

} // namespace capture
