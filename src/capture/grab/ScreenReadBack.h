#pragma once

#include "forms/Picture.h"

#include <QRect>

#include <chrono>
#include <optional>

class QWidget;

namespace capture {

// Tells when the screen no longer shows a window, by reading back the area where it stood.
// A compositing manager may fade a hidden window out or repaint late, so the server's word
// that the window is unmapped does not mean the screen shows it gone.
class ScreenReadBack {
public:
    // Reads the window's outer area (its frame included) as the screen shows it now. Nullopt
    // where the screen cannot be read back cheaply (the X server shares no memory with us).
    static std::optional<ScreenReadBack> Watch(const QWidget& window);

    // Once the window has been hidden (or made transparent): returns when the area shows
    // something other than when watched and has kept still for a frame (two under a
    // compositing manager), or when bound runs out, or when the area has not begun to
    // change within start. True when the screen gave that evidence.
    bool WaitUntilGone(std::chrono::milliseconds bound, std::chrono::milliseconds start) const;
    bool WaitUntilGone(std::chrono::milliseconds bound) const
    {
        return WaitUntilGone(bound, bound);
    }

    // Once the area was seen without the window: returns when it has kept still for a frame
    // from now (two where a compositing window manager framed it), or false when bound runs
    // out first.
    bool WaitUntilStill(std::chrono::milliseconds bound) const;

    // Whether a compositing manager draws the screen, and may animate the window's going.
    bool composited() const { return composited_; }

private:
    ScreenReadBack(QRect area, forms::Picture shown, bool composited, bool framed,
                   std::chrono::nanoseconds frame);

    // Reads the area until it has kept still for still, once it differs from the window
    // (at once when gone), or until start passes with no change from it, or bound.
    bool waitUntil(std::chrono::milliseconds bound, std::chrono::milliseconds start,
                   std::chrono::nanoseconds still, bool gone) const;

    QRect area_; // device pixels of the root window, on the screen
    forms::Picture shown_;
    bool composited_;
    bool framed_; // a window manager put a frame around the window
    std::chrono::nanoseconds frame_;
};

} // namespace capture
