#pragma once

class QWidget;

namespace forms {

// A whole top-level window, its drawing and every control, at one opacity. Where the
// platform sets window opacity (X11 with a compositor, Windows) the platform does it;
// on a Wayland session (Qt's Wayland platform, or X11 through Xwayland) it cannot, so there
// the window paints itself translucent.

// Readies a window for fading. Must run before the window is first shown: a translucent
// surface is chosen when the native window is created.
void PrepareFade(QWidget& window);

// Shows the window and everything in it at opacity (0 to 1).
void FadeWindow(QWidget& window, double opacity);

// True when the window paints its own opacity rather than the platform applying it.
bool FadesBySelf();

} // namespace forms
