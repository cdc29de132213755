#pragma once

namespace forms {

// True when Qt can paint a window on the primary screen. Qt's raster engine has no pixel
// format for some displays (an 8-bit palette display, say): every window there would stay
// black, so the program refuses such a display instead.
bool CanPaintOnDisplay();

} // namespace forms
