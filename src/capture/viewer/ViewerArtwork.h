#pragma once

#include <QIcon>

namespace capture {

// Images of the viewer's toolbar, by their place in the image list (1 to 11):
// 1 exit, 2 open, 3 save, 4 capture rectangle, 5 capture full screen, 6 about,
// 7 print image, 8 printer, 9 copy to clipboard, 10 picture, 11 crop.
// Drawn as vectors, so they stay sharp at any device pixel ratio.
QIcon ToolbarImage(int index);
constexpr int kToolbarImageCount = 11;

// The viewer's window icon (16 x 16 and 32 x 32, and larger for high-density screens).
QIcon ViewerWindowIcon();

} // namespace capture
