#pragma once

#include <QRegion>

#include <vector>

class QImage;
class QWidget;

namespace forms {
class LineControl;
}

namespace capture {

// A frozen picture held by the X server for a window: it goes once into a server pixmap
// that becomes the window's background, so the server repaints it by itself and the
// process keeps no screen-sized window buffer beside the picture it already holds.

// True on the xcb platform when picture's pixels can go to the server as they are
// (32-bit RGB on a true-colour screen of the same layout).
bool BackdropSupported(const QImage& picture);

// Makes picture (device pixels) the background of widget's native window, creating that
// window. False, with the window's background as it was, if the server refused.
bool SetBackdrop(QWidget& widget, const QImage& picture);

// Shows region (widget coordinates) of the background again, then draws lines over it.
void PaintBackdrop(QWidget& widget, const QRegion& region,
                   const std::vector<const forms::LineControl*>& lines);

} // namespace capture
