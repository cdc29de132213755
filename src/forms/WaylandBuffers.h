#pragma once

namespace forms {

// Every window paints with Qt's raster engine into shared memory, which any Wayland
// compositor takes. Qt's Wayland platform would still load EGL and a GL driver for its
// first window (to learn whether it may draw its own title bar): tens of megabytes, never
// used. This names no GL integration, unless the user named one, and keeps Qt's two lines
// about its absence quiet. Call before the application object exists.
void PaintWithoutGl();

} // namespace forms
