#pragma once

#include "capture/Capture.h"

namespace capture {

// The portable grab through QScreen::grabWindow: used off X11 and whenever the X server
// cannot share memory with us. Coordinates are logical pixels relative to the window
// (0 = the whole screen).
forms::Picture GrabWithQt(WindowHandle window, int left, int top, int width, int height);

} // namespace capture
