#pragma once

#include <chrono>

class QWidget;

namespace capture {

// True where a hidden window cannot learn when the screen stops showing it: a Wayland
// compositor sends no word of the frames it draws to a client whose window has gone.
bool LeavesByTransparency();

// Readies a window for ShowTransparentFrame, where it is used. Must run before the
// window is first shown: a translucent surface is chosen when the native window is made.
void PrepareTransparentFrame(QWidget& window);

// Shows the window fully transparent, with no title bar the compositor draws, and returns once the compositor has drawn that frame, as its
// frame callback tells, or after bound. False when the bound ran out.
bool ShowTransparentFrame(QWidget& window, std::chrono::milliseconds bound);

// Makes the window, once hidden, opaque and as large as it was, for the next time it shows.
void EndTransparentFrame(QWidget& window);

} // namespace capture
